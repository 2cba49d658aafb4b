#include "interrupts.h"

#include "interrupt_state.h"

#include <csignal>
#include <iterator>

#include <unistd.h>

namespace orximaq {
namespace {

constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction previous[std::size(kCaught)];

extern "C" void onInterrupt(int signal)
{
    if (!noteInterrupt(signal)) {
        // The second signal: only async-signal-safe calls from here on.
        removePartialFiles();
        ::_exit(interruptExitCode(signal));
    }
}

} // namespace

InterruptGuard::InterruptGuard()
{
    clearInterrupt();
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

} // namespace orximaq
