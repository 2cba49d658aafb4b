#include "support/box_recorder.h"

#include <algorithm>
#include <atomic>

namespace orx::test {

namespace {

// Recorders may nest; the echo comes back only when the last one goes.
std::atomic<int> liveRecorders{0};

} // namespace

BoxRecorder::BoxRecorder()
{
    ++liveRecorders;
    win32seam::setMessageBoxEcho(false);
    previousBoxHook_ = win32seam::setMessageBoxHook([this](const win32seam::MessageBoxCall& call) {
        std::lock_guard lock(mutex_);
        boxes_.push_back(call);
    });
    previousDebugHook_ = win32seam::setDebugOutputHook([this](const std::string& line) {
        std::lock_guard lock(mutex_);
        debugLines_.push_back(line);
    });
}

BoxRecorder::~BoxRecorder()
{
    win32seam::setDebugOutputHook(std::move(previousDebugHook_));
    win32seam::setMessageBoxHook(std::move(previousBoxHook_));
    if (--liveRecorders == 0) win32seam::setMessageBoxEcho(true);
}

std::vector<win32seam::MessageBoxCall> BoxRecorder::boxes() const
{
    std::lock_guard lock(mutex_);
    return boxes_;
}

std::vector<std::string> BoxRecorder::debugLines() const
{
    std::lock_guard lock(mutex_);
    return debugLines_;
}

std::size_t BoxRecorder::boxCount() const
{
    std::lock_guard lock(mutex_);
    return boxes_.size();
}

bool BoxRecorder::anyBoxContains(const std::string& part) const
{
    std::lock_guard lock(mutex_);
    return std::any_of(boxes_.begin(), boxes_.end(), [&](const auto& box) {
        return box.text.find(part) != std::string::npos;
    });
}

bool BoxRecorder::anyDebugLineContains(const std::string& part) const
{
    std::lock_guard lock(mutex_);
    return std::any_of(debugLines_.begin(), debugLines_.end(), [&](const auto& line) {
        return line.find(part) != std::string::npos;
    });
}

void BoxRecorder::clear()
{
    std::lock_guard lock(mutex_);
    boxes_.clear();
    debugLines_.clear();
}

} // namespace orx::test
