// Records message boxes and debugger lines through the Win32 seam's hooks and
// keeps message boxes off standard error while it lives. Thread-safe: the
// adaptor may show a box from a camera thread.
#pragma once

#include "win32seam/testing/win32_seam.h"

#include <mutex>
#include <string>
#include <vector>

namespace orx::test {

class BoxRecorder {
public:
    // Installs the hooks and silences the echo; the destructor restores the
    // previous hooks, and the last recorder to go turns the echo back on.
    BoxRecorder();
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    std::vector<win32seam::MessageBoxCall> boxes() const;
    std::vector<std::string> debugLines() const;
    std::size_t boxCount() const;

    // True when some box's text (or some debugger line) contains `part`.
    bool anyBoxContains(const std::string& part) const;
    bool anyDebugLineContains(const std::string& part) const;

    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<win32seam::MessageBoxCall> boxes_;
    std::vector<std::string> debugLines_;
    win32seam::MessageBoxHook previousBoxHook_;
    win32seam::DebugOutputHook previousDebugHook_;
};

} // namespace orx::test
