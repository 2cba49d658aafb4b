#include "notices.h"

namespace orximaq {

NoticeLog::NoticeLog()
{
    imaqhost::clearWarnings();
    imaqhost::setWarningEcho(false);
    win32seam::setMessageBoxEcho(false);
    previousHook_ = win32seam::setMessageBoxHook([this](const win32seam::MessageBoxCall& call) {
        const std::lock_guard lock(mutex_);
        boxes_.push_back(call);
    });
}

NoticeLog::~NoticeLog()
{
    win32seam::setMessageBoxHook(std::move(previousHook_));
    win32seam::setMessageBoxEcho(true);
    imaqhost::setWarningEcho(true);
}

Notices NoticeLog::take()
{
    Notices notices;
    const auto warnings = imaqhost::warnings();
    if (warnings.size() > warningsTaken_)
        notices.warnings.assign(warnings.begin() + static_cast<std::ptrdiff_t>(warningsTaken_), warnings.end());
    warningsTaken_ = warnings.size();
    const std::lock_guard lock(mutex_);
    notices.boxes.assign(boxes_.begin() + static_cast<std::ptrdiff_t>(boxesTaken_), boxes_.end());
    boxesTaken_ = boxes_.size();
    return notices;
}

std::vector<std::string> noticeLines(const Notices& notices)
{
    std::vector<std::string> lines;
    for (const auto& box : notices.boxes)
        lines.push_back("message box \"" + box.caption + "\": " + box.text);
    for (const auto& warning : notices.warnings)
        lines.push_back(warning.message);
    return lines;
}

} // namespace orximaq
