#include "interrupts.h"

#include "interrupt_state.h"
#include "output/file_system.h"

#include <atomic>
#include <cstring>

namespace orximaq {
namespace {

// Atomic, as the interrupt may be handled on any thread.
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free);

// The partial files being written (one per writer thread), readable from the
// handler: a slot's name and folder are written only while its state is
// kClaimed, and read only while it is kNamed.
constexpr int kFree = 0;
constexpr int kClaimed = 1;
constexpr int kNamed = 2;
struct PartialSlot {
    std::atomic<int> state{kFree};
    int folder = -1;
    char name[512] = "";
};
PartialSlot partials[64];

} // namespace

bool noteInterrupt(int signal) noexcept
{
    if (caught.load() != 0)
        return false;
    caught.store(signal);
    return true;
}

void removePartialFiles() noexcept
{
    for (auto& slot : partials)
        if (slot.state.load() == kNamed) removeEntry(slot.folder, slot.name);
}

void clearInterrupt() noexcept
{
    caught.store(0);
}

int pendingInterrupt() noexcept
{
    return caught.load();
}

int interruptExitCode(int signal) noexcept
{
    return 128 + signal;
}

PartialFileMark::PartialFileMark(int folderFd, const std::string& name)
{
    if (name.size() >= sizeof PartialSlot::name) return;
    for (auto& slot : partials) {
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kClaimed)) continue;
        std::memcpy(slot.name, name.c_str(), name.size() + 1);
        slot.folder = folderFd;
        slot.state.store(kNamed);
        slot_ = &slot - partials;
        return;
    }
}

PartialFileMark::~PartialFileMark()
{
    if (slot_ >= 0) partials[slot_].state.store(kFree);
}

} // namespace orximaq
