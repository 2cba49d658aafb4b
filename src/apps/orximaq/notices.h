// What the adaptor told the user on the way: its warnings and its message
// boxes. Both are collected, not echoed, so that each command shows them in
// its own summary (or its JSON document).
#pragma once

#include "imaqhost/warnings.h"
#include "win32seam/testing/win32_seam.h"

#include <mutex>
#include <vector>

namespace orximaq {

struct Notices {
    std::vector<imaqhost::Warning> warnings;
    std::vector<win32seam::MessageBoxCall> boxes;
    bool empty() const { return warnings.empty() && boxes.empty(); }
};

// While it exists, warnings and message boxes are kept instead of being
// written to standard error. Boxes may come from the camera's delivery thread.
class NoticeLog {
public:
    NoticeLog();
    ~NoticeLog();
    NoticeLog(const NoticeLog&) = delete;
    NoticeLog& operator=(const NoticeLog&) = delete;

    // The notices that arrived since the last call.
    Notices take();

private:
    std::mutex mutex_;
    std::vector<win32seam::MessageBoxCall> boxes_;
    std::size_t boxesTaken_ = 0;
    std::size_t warningsTaken_ = 0;
    win32seam::MessageBoxHook previousHook_;
};

// One line each, as the text summaries show them: a warning's message, or
// "message box \"<caption>\": <text>".
std::vector<std::string> noticeLines(const Notices& notices);

} // namespace orximaq
