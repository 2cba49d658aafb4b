#include "host_context.h"

#include "adaptor_path.h"
#include "cli_error.h"

#include "imaqhost/host_error.h"
#include "vexcam/vexcam.h"

#include <cstdlib>
#include <filesystem>

namespace orximaq {
namespace {

void installRigFile(const std::string& path)
{
    try {
        vexcam::useRigFile(path);
    } catch (const vexcam::RigError& error) {
        throw CliError(std::string("rig ") + error.what());
    }
}

std::string chooseAdaptorPath(const GlobalOptions& options)
{
    const std::string path = options.adaptorPath.empty() ? defaultAdaptorPath().string() : options.adaptorPath;
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        throw CliError("adaptor module not found: " + path +
                       (options.adaptorPath.empty() ? " (name another with --adaptor PATH)" : ""));
    return path;
}

} // namespace

HostContext::HostContext(const GlobalOptions& options, NoticeLog& log)
    : log_(log), adaptorPath_(chooseAdaptorPath(options))
{
    if (!options.rigFile.empty())
        installRigFile(options.rigFile);
    // The camera library reads the GenICam interfaces when it starts.
    if (!options.genicam.empty())
        setenv("ORX_GENICAM", options.genicam.c_str(), 1);
    // And the GStreamer pipelines, one a line, after those the environment names.
    if (!options.gstreamer.empty()) {
        const char* earlier = std::getenv("ORX_GSTREAMER_PIPELINES");
        std::string pipelines = earlier ? earlier : "";
        for (const auto& pipeline : options.gstreamer) pipelines += "\n" + pipeline;
        setenv("ORX_GSTREAMER_PIPELINES", pipelines.c_str(), 1);
    }
    try {
        session_.emplace(imaqhost::Session::load(adaptorPath_));
    } catch (const imaqhost::HostError& error) {
        // The camera library refuses to start over a bad ORX_SIM_RIG, or GenICam
        // cameras it cannot search for (none in this build, an unknown interface).
        const std::string rigProblem = vexcam::lastInitError();
        if (!rigProblem.empty())
            throw CliError("the camera library cannot start: " + rigProblem);
        throw CliError(error.what());
    }
}

} // namespace orximaq
