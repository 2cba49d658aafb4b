// An acquisition's event log and the notifications waiting for a front-end.
// Events are recorded on any thread (the delivery thread included) and only
// queued; the front-end takes them on its own thread, so no front-end code
// ever runs on the camera's thread.
#pragma once

#include "imaqhost/acquisition.h"
#include "ring_buffer.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace imaqhost {

class EventRecorder {
public:
    // Start, Trigger, Stop, Error and Overrun go to the log and the queue;
    // FramesAcquired and Timer to the queue only.
    void record(const AcquisitionEvent& event);
    // Empties the log (a new acquisition); pending notifications stay.
    void clearLog();

    std::vector<AcquisitionEvent> log() const;
    std::vector<AcquisitionEvent> takeNotifications();
    // True once a notification is pending, false when the time passed first.
    bool waitForNotification(std::chrono::milliseconds timeout);
    std::int64_t droppedNotifications() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable pending_;
    std::vector<AcquisitionEvent> log_;
    // A ring: a steady stream of FramesAcquired notifications, taken by the
    // front-end as they come, allocates nothing on the delivery thread.
    RingBuffer<AcquisitionEvent> queue_;
    std::int64_t dropped_ = 0;
};

} // namespace imaqhost
