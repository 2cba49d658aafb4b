// Control and observation of the simulated camera library, for tests, the
// command-line host and benchmarks. The adaptor never includes this header.
//
// Which rig is in force: one installed with installRig or useRigFile wins;
// otherwise the file named by the environment variable ORX_SIM_RIG (read by
// InitLibrary); otherwise the embedded default rig. Property values live per
// device from InitLibrary to the matching ExitLibrary.
#pragma once

#include "platform/vexlib.h"
#include "vexcam/rig.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vexcam {

// A rig that cannot be read or is malformed. The message names the file and
// the place: "<file>:<line>:<column>: ..." for a syntax error, "<file>: at
// <JSON pointer>: ..." for content that is not a valid rig.
class VEXLIB_API RigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    ~RigError() override;
};

// Parses a rig from JSON text; `origin` names it in error messages.
VEXLIB_API Rig parseRig(std::string_view text, std::string_view origin);
// Reads and parses a rig file; RigError when it cannot be read or parsed.
VEXLIB_API Rig loadRigFile(const std::string& path);
// The embedded default rig, and its JSON text.
VEXLIB_API Rig defaultRig();
VEXLIB_API std::string_view defaultRigJson();

// Installs a rig explicitly. When the library is initialised the devices are
// rebuilt at once (property values start again from the rig); otherwise the
// rig takes effect at the next InitLibrary. Open grabbers keep the device they
// opened until they close it.
VEXLIB_API void installRig(Rig rig);
// loadRigFile + installRig; nothing changes when the file is bad (RigError).
VEXLIB_API void useRigFile(const std::string& path);
// Forgets the explicitly installed rig: ORX_SIM_RIG or the default again.
VEXLIB_API void clearInstalledRig();
// Whether InitLibrary has run more often than ExitLibrary.
VEXLIB_API bool isLibraryInitialised();
// Why the last InitLibrary returned false (a bad ORX_SIM_RIG); empty otherwise.
VEXLIB_API std::string lastInitError();

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

// Counters, for leak checks and statistics.
VEXLIB_API std::int64_t liveGrabbers();        // Grabber objects not yet destroyed
VEXLIB_API std::int64_t runningStreams();      // delivery threads not yet joined
VEXLIB_API std::int64_t lockedBuffers();       // MemBuffer locks not yet undone
VEXLIB_API std::int64_t liveBuffers();         // MemBuffer objects not yet destroyed
VEXLIB_API std::int64_t framesDelivered();     // images handed to listeners, ever
VEXLIB_API std::int64_t framesSkipped();       // images not delivered: every buffer was locked

} // namespace vexcam
