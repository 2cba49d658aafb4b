// The camera library's own API, for the front-ends, tests and benchmarks:
// which rig is in force. Fault switches, pacing switches and leak counters are
// in vexcam/testing/camera_testing.h. The adaptor never includes either.
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

// Frames handed to listeners and frames the camera skipped because every
// buffer was locked, over the library's life.
VEXLIB_API std::int64_t framesDelivered();
VEXLIB_API std::int64_t framesSkipped();

} // namespace vexcam
