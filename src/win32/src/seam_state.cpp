#include "seam_state.h"

#include <mutex>
#include <utility>

namespace win32seam {

namespace {

std::atomic<int> taskMemFailures{0};
std::atomic<int> bstrFailures{0};
std::atomic<bool> echo{true};

std::mutex hookMutex;
MessageBoxHook boxHook;
DebugOutputHook debugHook;

bool consumeFailure(std::atomic<int>& counter)
{
    int left = counter.load();
    while (left > 0)
        if (counter.compare_exchange_weak(left, left - 1)) return true;
    return false;
}

} // namespace

namespace state {

std::atomic<std::int64_t> liveTaskMem{0};
std::atomic<std::int64_t> liveBstrs{0};

bool consumeTaskMemFailure() { return consumeFailure(taskMemFailures); }
bool consumeBstrFailure() { return consumeFailure(bstrFailures); }
bool echoMessageBoxes() { return echo.load(); }

MessageBoxHook messageBoxHook()
{
    std::lock_guard lock(hookMutex);
    return boxHook;
}

DebugOutputHook debugOutputHook()
{
    std::lock_guard lock(hookMutex);
    return debugHook;
}

} // namespace state

MessageBoxHook setMessageBoxHook(MessageBoxHook hook)
{
    std::lock_guard lock(hookMutex);
    return std::exchange(boxHook, std::move(hook));
}

DebugOutputHook setDebugOutputHook(DebugOutputHook hook)
{
    std::lock_guard lock(hookMutex);
    return std::exchange(debugHook, std::move(hook));
}

void setMessageBoxEcho(bool on) { echo.store(on); }
std::int64_t outstandingTaskMemBlocks() { return state::liveTaskMem.load(); }
std::int64_t outstandingBstrs() { return state::liveBstrs.load(); }
void failNextTaskMemAllocs(int count) { taskMemFailures.store(count); }
void failNextBstrAllocs(int count) { bstrFailures.store(count); }

} // namespace win32seam
