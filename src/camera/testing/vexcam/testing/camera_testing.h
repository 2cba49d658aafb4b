// Test hooks of the camera library: fault switches, pacing switches and leak
// counters. Tests and benchmarks use them; the front-ends only for their
// leak checks. The adaptor never includes this header.
#pragma once

#include "platform/vexlib.h"
#include "vexcam/rig.h"

#include <cstdint>
#include <string>

namespace vexcam {

// Replaces the faults of the named device of the rig in force, at run time.
// Answers false when the library has no such device.
VEXLIB_API bool setDeviceFaults(const std::string& deviceName, const DeviceFaults& faults);
// The faults in force for the named device (empty when there is none).
VEXLIB_API DeviceFaults deviceFaults(const std::string& deviceName);
// What the device list call answers, at run time.
VEXLIB_API void setDeviceListFault(ListFault fault);

// Free-running: frames follow each other as fast as the listeners return,
// instead of at the current frame rate.
VEXLIB_API void setFreeRunning(bool freeRunning);
VEXLIB_API bool isFreeRunning();
// With generation off, every buffer is filled once when the stream starts
// (pattern of frame 0) and delivered as it is, so that benchmarks measure the
// consumer rather than the pattern generator.
VEXLIB_API void setPatternGeneration(bool generate);
VEXLIB_API bool isPatternGenerationOn();
// Called on the delivery thread when a buffer is ready to be handed to the
// listeners (filled, when generation is on), with the stream's frame number;
// null for none. For latency measurements.
VEXLIB_API void setFillObserver(void (*observer)(std::uint32_t frameNumber));

// Counters, for leak checks.
VEXLIB_API std::int64_t liveGrabbers();        // Grabber objects not yet destroyed
VEXLIB_API std::int64_t runningStreams();      // delivery threads not yet joined
VEXLIB_API std::int64_t lockedBuffers();       // MemBuffer locks not yet undone
VEXLIB_API std::int64_t liveBuffers();         // MemBuffer objects not yet destroyed


} // namespace vexcam
