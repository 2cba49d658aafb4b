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

// The partial file's name, readable from the signal handler: written only
// while `partialNamed` is false.
char partialName[4096];
std::atomic<int> partialFolder{-1};
std::atomic<bool> partialNamed{false};
static_assert(std::atomic<bool>::is_always_lock_free);

constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction previous[std::size(kCaught)];

extern "C" void onInterrupt(int signal)
{
    if (caught.load() != 0) {
        // The second signal: only async-signal-safe calls from here on.
        if (partialNamed.load()) ::unlinkat(partialFolder.load(), partialName, 0);
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
    if (name.size() >= sizeof partialName) return;
    partialNamed.store(false);
    std::memcpy(partialName, name.c_str(), name.size() + 1);
    partialFolder.store(folderFd);
    partialNamed.store(true);
}

PartialFileMark::~PartialFileMark()
{
    partialNamed.store(false);
}

} // namespace orximaq
