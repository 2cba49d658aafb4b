// imaqmalloc/imaqfree with a count of live blocks and a switch that makes the
// next allocations fail.
#include "imaqhost/testing/accounting.h"
#include "platform/imaqkit.h"

#include "fault_counter.h"

#include <atomic>
#include <cstdlib>

namespace {

std::atomic<std::int64_t> liveBlocks{0};
imaqhost::FaultCounter mallocFailures;

} // namespace

namespace imaqkit {

void* imaqmalloc(std::size_t bytes)
{
    if (mallocFailures.consume()) return nullptr;
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block) ++liveBlocks;
    return block;
}

void imaqfree(void* block)
{
    if (!block) return;
    --liveBlocks;
    std::free(block);
}

} // namespace imaqkit

namespace imaqhost {

std::int64_t outstandingImaqBlocks()
{
    return liveBlocks.load();
}

void failNextImaqmallocs(int count)
{
    mallocFailures.arm(count);
}

} // namespace imaqhost
