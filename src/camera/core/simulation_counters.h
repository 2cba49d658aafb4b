// The library's counters and run-time switches (vexcam.h reports them).
#pragma once

#include <atomic>
#include <cstdint>

namespace vexcam::counters {

extern std::atomic<std::int64_t> liveGrabbers;
extern std::atomic<std::int64_t> runningStreams;
extern std::atomic<std::int64_t> lockedBuffers;
extern std::atomic<std::int64_t> liveBuffers;
extern std::atomic<std::int64_t> framesDelivered;
extern std::atomic<std::int64_t> framesSkipped;

extern std::atomic<bool> freeRunning;
extern std::atomic<bool> patternGeneration;
using FillObserver = void (*)(std::uint32_t frameNumber);
extern std::atomic<FillObserver> fillObserver;

} // namespace vexcam::counters
