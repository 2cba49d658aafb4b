#include "gstreamer_source.h"

#include <cstdlib>

namespace vexcam {
namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// "[Name] pipeline": a pipeline never starts with '[', so the name is plain.
GstreamerPipelineSpec entryOf(std::string_view entry)
{
    GstreamerPipelineSpec spec;
    if (entry.starts_with('[')) {
        const auto close = entry.find(']');
        if (close != std::string_view::npos) {
            spec.name = std::string(trimmed(entry.substr(1, close - 1)));
            entry = trimmed(entry.substr(close + 1));
        }
    }
    spec.pipeline = std::string(entry);
    return spec;
}

} // namespace

std::vector<GstreamerPipelineSpec> parsePipelineList(std::string_view text)
{
    std::vector<GstreamerPipelineSpec> pipelines;
    while (!text.empty()) {
        const auto end = text.find_first_of(";\n");
        const auto entry = trimmed(text.substr(0, end));
        if (!entry.empty()) {
            auto spec = entryOf(entry);
            if (!spec.pipeline.empty()) pipelines.push_back(std::move(spec));
        }
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return pipelines;
}

std::optional<GstreamerSpec> gstreamerFromEnvironment()
{
    const char* pipelines = std::getenv("ORX_GSTREAMER_PIPELINES");
    const char* monitor = std::getenv("ORX_GSTREAMER_MONITOR");
    const bool monitoring = monitor && std::string_view(monitor) == "1";
    if ((!pipelines || !*pipelines) && !monitoring) return std::nullopt;
    GstreamerSpec spec;
    if (pipelines) spec.pipelines = parsePipelineList(pipelines);
    spec.monitor = monitoring;
    return spec;
}

} // namespace vexcam

namespace vexcam {

Discovery discoverGstreamerOfRig(const Rig& rig)
{
    auto spec = rig.gstreamer;
    if (auto fromEnvironment = gstreamerFromEnvironment()) {
        if (!spec) spec = GstreamerSpec{};
        for (auto& pipeline : fromEnvironment->pipelines) spec->pipelines.push_back(std::move(pipeline));
        spec->monitor = spec->monitor || fromEnvironment->monitor;
    }
    if (!spec) return {};
    return discoverGstreamer(*spec);
}

} // namespace vexcam
