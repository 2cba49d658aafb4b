#include "com_object.h"

#include "vexcam/com_objects.h"

#include <atomic>

namespace vexcam {
namespace {

std::atomic<std::int64_t> liveObjects{0};

} // namespace

namespace com {

void noteObjectCreated() noexcept { liveObjects.fetch_add(1, std::memory_order_relaxed); }
void noteObjectDestroyed() noexcept { liveObjects.fetch_sub(1, std::memory_order_relaxed); }

} // namespace com

std::int64_t liveComObjects() { return liveObjects.load(std::memory_order_relaxed); }

} // namespace vexcam
