#include "event_recorder.h"

namespace imaqhost {

const char* toString(EventType type)
{
    switch (type) {
    case EventType::Start: return "Start";
    case EventType::Trigger: return "Trigger";
    case EventType::Stop: return "Stop";
    case EventType::Error: return "Error";
    case EventType::FramesAcquired: return "FramesAcquired";
    case EventType::Timer: return "Timer";
    case EventType::Overrun: return "Overrun";
    }
    return "Unknown";
}

void EventRecorder::record(const AcquisitionEvent& event)
{
    {
        std::lock_guard lock(mutex_);
        if (event.type != EventType::FramesAcquired && event.type != EventType::Timer)
            log_.push_back(event);
        if (queue_.size() >= kMaxPendingNotifications) {
            queue_.pop_front();
            ++dropped_;
        }
        queue_.push_back(event);
    }
    pending_.notify_all();
}

void EventRecorder::clearLog()
{
    std::lock_guard lock(mutex_);
    log_.clear();
}

std::vector<AcquisitionEvent> EventRecorder::log() const
{
    std::lock_guard lock(mutex_);
    return log_;
}

std::vector<AcquisitionEvent> EventRecorder::takeNotifications()
{
    std::lock_guard lock(mutex_);
    std::vector<AcquisitionEvent> taken;
    queue_.takeFront(queue_.size(), taken);
    return taken;
}

bool EventRecorder::waitForNotification(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return pending_.wait_for(lock, timeout, [&] { return !queue_.empty(); });
}

std::int64_t EventRecorder::droppedNotifications() const
{
    std::lock_guard lock(mutex_);
    return dropped_;
}

} // namespace imaqhost
