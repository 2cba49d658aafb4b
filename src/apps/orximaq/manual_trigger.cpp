#include "manual_trigger.h"

namespace orximaq {
namespace {

std::atomic<std::int64_t> requested{0};
static_assert(std::atomic<std::int64_t>::is_always_lock_free);

} // namespace

std::atomic<std::int64_t>& manualTriggerRequests() noexcept
{
    return requested;
}

bool ManualTriggerRequests::take()
{
    readTerminal();
    std::int64_t waiting = requested.load();
    while (waiting > 0)
        if (requested.compare_exchange_weak(waiting, waiting - 1))
            return true;
    return false;
}

} // namespace orximaq
