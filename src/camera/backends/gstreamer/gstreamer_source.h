// GStreamer pipelines and video sources as devices of the library
// (backends/gstreamer). In a build without GStreamer the source exists but
// finds nothing and says why.
#pragma once

#include "backend_registry.h"
#include "item_data.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexcam {

using GstreamerDiscovery = Discovery;

// Makes one device per pipeline of `spec` (and, with `monitor`, per video
// source the device monitor lists). A pipeline that does not parse or whose
// caps cannot be read becomes a device that does not open.
GstreamerDiscovery discoverGstreamer(const GstreamerSpec& spec);

// The pipelines named by ORX_GSTREAMER_PIPELINES, if set: entries separated
// by ';' or newlines, each "[Name] pipeline" or just "pipeline";
// ORX_GSTREAMER_MONITOR=1 adds the device monitor's video sources.
std::optional<GstreamerSpec> gstreamerFromEnvironment();
// The same syntax, from a text.
std::vector<GstreamerPipelineSpec> parsePipelineList(std::string_view text);

// The rig's pipelines, then those of ORX_GSTREAMER_PIPELINES; none when
// neither names one.
Discovery discoverGstreamerOfRig(const Rig& rig);

} // namespace vexcam
