// Windows has no SIGHUP or SIGQUIT, and its console events arrive on a thread
// of their own: Ctrl-C counts as SIGINT, Ctrl-Break as SIGBREAK, and closing
// the console window (or logging off, shutting down) as SIGTERM.
#include "interrupts.h"

#include "interrupt_state.h"

#include <windows.h>

#include <csignal>
#include <cstdlib>

namespace orximaq {
namespace {

int signalOf(DWORD event) noexcept
{
    switch (event) {
    case CTRL_C_EVENT: return SIGINT;
    case CTRL_BREAK_EVENT: return SIGBREAK;
    default: return SIGTERM; // CTRL_CLOSE_EVENT, CTRL_LOGOFF_EVENT, CTRL_SHUTDOWN_EVENT
    }
}

BOOL WINAPI onConsoleEvent(DWORD event)
{
    const int signal = signalOf(event);
    if (!noteInterrupt(signal)) {
        removePartialFiles();
        std::_Exit(interruptExitCode(signal));
    }
    // The system ends the process as soon as this returns from a closing
    // event: wait (within the few seconds it grants) for the run to finish
    // its file and summary and exit by itself.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        ::Sleep(4000);
    return TRUE;
}

} // namespace

InterruptGuard::InterruptGuard()
{
    clearInterrupt();
    // A program started in a new process group has Ctrl-C turned off.
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

InterruptGuard::~InterruptGuard()
{
    ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
}

const char* signalName(int signal) noexcept
{
    switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGBREAK: return "SIGBREAK";
    default: return "a signal";
    }
}

} // namespace orximaq
