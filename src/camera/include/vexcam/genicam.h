// Observation of the library's GenICam cameras (docs/genicam.md), for tests,
// the command-line host and benchmarks.
#pragma once

#include "platform/vexlib.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vexcam {

// Whether this build has GenICam support (Aravis was found).
VEXLIB_API bool hasGenicamSupport();
// Aravis objects (cameras, streams, buffers) made by the library and not yet finalised.
VEXLIB_API std::int64_t genicamLiveObjects();
// Buffers that arrived failed or incomplete, and frames the camera's frame
// identifiers show as missing, over the process's life.
VEXLIB_API std::int64_t genicamFailedBuffers();
VEXLIB_API std::int64_t genicamMissingFrames();
// Times a camera's 16-bit frame identifier started again from the bottom.
VEXLIB_API std::int64_t genicamFrameIdWraps();
// A feature of the named device's camera, read from the camera itself.
VEXLIB_API std::optional<std::int64_t> genicamInteger(const std::string& device, const std::string& feature);
VEXLIB_API std::optional<double> genicamFloat(const std::string& device, const std::string& feature);

} // namespace vexcam
