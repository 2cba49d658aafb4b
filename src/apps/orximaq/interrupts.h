// Ctrl-C (SIGINT), SIGTERM, SIGHUP (the terminal closed) and SIGQUIT during
// an acquisition; on Windows the console's Ctrl-C (SIGINT), Ctrl-Break
// (SIGBREAK) and its closing (SIGTERM). The first signal only
// takes note, so that the acquisition loop can stop capture, finish the file
// being written and print its summary; a second one ends the process at once,
// after removing the partial file being written, if any.
#pragma once

#include <string>

namespace orximaq {

// Catches the signals while it lives; the previous dispositions come back after.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};

// The signal that arrived (SIGINT, SIGTERM, SIGHUP, SIGQUIT or SIGBREAK), or 0.
int pendingInterrupt() noexcept;
// The exit code for it: 128 plus the signal number.
int interruptExitCode(int signal) noexcept;

// The signal's name ("SIGINT", ...).
const char* signalName(int signal) noexcept;

// Names the partial file being written (an entry of the open folder
// `folderFd`), for the immediate exit of a second signal to remove;
// forgotten again when the mark goes.
class PartialFileMark {
public:
    PartialFileMark(int folderFd, const std::string& name);
    ~PartialFileMark();
    PartialFileMark(const PartialFileMark&) = delete;
    PartialFileMark& operator=(const PartialFileMark&) = delete;

private:
    long slot_ = -1; // none when every slot was taken (the file is then not removed)
};

} // namespace orximaq
