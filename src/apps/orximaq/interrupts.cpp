#include "interrupts.h"

#include <atomic>
#include <csignal>
#include <iterator>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace orximaq {
namespace {

// Atomic, as the signal may be handled on any of the host's threads.
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free);

// The partial files being written (one per writer thread), readable from the
// signal handler: a slot's name and folder are written only while its state
// is kClaimed, and read only while it is kNamed.
constexpr int kFree = 0;
constexpr int kClaimed = 1;
constexpr int kNamed = 2;
struct PartialSlot {
    std::atomic<int> state{kFree};
    int folder = -1;
    char name[512] = "";
};
PartialSlot partials[64];
static_assert(std::atomic<int>::is_always_lock_free);

constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction previous[std::size(kCaught)];

extern "C" void onInterrupt(int signal)
{
    if (caught.load() != 0) {
        // The second signal: only async-signal-safe calls from here on.
        for (auto& slot : partials)
            if (slot.state.load() == kNamed) ::unlinkat(slot.folder, slot.name, 0);
        ::_exit(128 + signal);
    }
    caught.store(signal);
}

} // namespace

InterruptGuard::InterruptGuard()
{
    caught.store(0);
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // A file being written must not fail with EINTR: the loop polls instead.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kCaught); ++i)
        sigaction(kCaught[i], &action, &previous[i]);
}

InterruptGuard::~InterruptGuard()
{
    for (std::size_t i = 0; i < std::size(kCaught); ++i)
        sigaction(kCaught[i], &previous[i], nullptr);
}

int pendingInterrupt() noexcept
{
    return caught.load();
}

int interruptExitCode(int signal) noexcept
{
    return 128 + signal;
}

const char* signalName(int signal) noexcept
{
    switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    case SIGQUIT: return "SIGQUIT";
    default: return "a signal";
    }
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
