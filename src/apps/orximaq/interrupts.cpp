#include "interrupts.h"

#include <atomic>
#include <csignal>
#include <cstring>

#include <unistd.h>

namespace orximaq {
namespace {

// Atomic, as the signal may be handled on any of the host's threads.
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free);

// The partial file's name, readable from the signal handler: written only
// while `partialNamed` is false.
char partialName[4096];
std::atomic<bool> partialNamed{false};
static_assert(std::atomic<bool>::is_always_lock_free);

struct sigaction previousInt;
struct sigaction previousTerm;

extern "C" void onInterrupt(int signal)
{
    if (caught.load() != 0) {
        // The second signal: only async-signal-safe calls from here on.
        if (partialNamed.load()) ::unlink(partialName);
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
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

InterruptGuard::~InterruptGuard()
{
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

int pendingInterrupt() noexcept
{
    return caught.load();
}

int interruptExitCode(int signal) noexcept
{
    return 128 + signal;
}

PartialFileMark::PartialFileMark(const std::filesystem::path& partial)
{
    const std::string& text = partial.native();
    if (text.size() >= sizeof partialName) return;
    partialNamed.store(false);
    std::memcpy(partialName, text.c_str(), text.size() + 1);
    partialNamed.store(true);
}

PartialFileMark::~PartialFileMark()
{
    partialNamed.store(false);
}

} // namespace orximaq
