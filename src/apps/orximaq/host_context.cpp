#include "host_context.h"

#include "adaptor_path.h"
#include "cli_error.h"

#include "imaqhost/host_error.h"
#include "vexcam/testing/camera_testing.h"
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
        throw CliError(std::string("rig ") + error.what(), "rig");
    }
}

void setEnvironment(const char* name, const std::string& value)
{
#if defined(_WIN32)
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

std::string chooseAdaptorPath(const GlobalOptions& options)
{
    const std::string path = options.adaptorPath.empty() ? defaultAdaptorPath().string() : options.adaptorPath;
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        throw CliError("adaptor module not found: " + path +
                       (options.adaptorPath.empty() ? " (name another with --adaptor PATH)" : ""), "adaptor");
    return path;
}

} // namespace

HostContext::HostContext(const GlobalOptions& options, NoticeLog& log)
    : log_(log), rigFile_(options.rigFile), adaptorPath_(chooseAdaptorPath(options))
{
    if (options.rigFile) {
        if (options.rigFile->empty())
            throw CliError("--rig: the file name is empty (leave --rig out for the built-in rig)", "rig");
        installRigFile(*options.rigFile);
    }
    // The camera library reads the GenICam interfaces when it starts.
    if (!options.genicam.empty())
        setEnvironment("ORX_GENICAM", options.genicam);
    // And the GStreamer pipelines, one a line, after those the environment names.
    if (!options.gstreamer.empty()) {
        const char* earlier = std::getenv("ORX_GSTREAMER_PIPELINES");
        std::string pipelines = earlier ? earlier : "";
        for (const auto& pipeline : options.gstreamer) pipelines += "\n" + pipeline;
        setEnvironment("ORX_GSTREAMER_PIPELINES", pipelines);
    }
    try {
        session_.emplace(imaqhost::Session::load(adaptorPath_));
    } catch (const imaqhost::HostError& error) {
        // The camera library refuses to start over a bad ORX_SIM_RIG, or GenICam
        // cameras it cannot search for (none in this build, an unknown interface).
        const std::string rigProblem = vexcam::lastInitError();
        if (!rigProblem.empty())
            throw CliError("the camera library cannot start: " + rigProblem, "rig");
        throw CliError(error.what());
    }
}

bool HostContext::paintsTestPattern(const std::string& deviceName)
{
    if (!vexcam::isPatternGenerationOn())
        return false;
    if (!rigDevices_) {
        rigDevices_.emplace();
        try {
            const char* variable = std::getenv("ORX_SIM_RIG");
            const auto rig = rigFile_                         ? vexcam::loadRigFile(*rigFile_)
                             : variable != nullptr && *variable ? vexcam::loadRigFile(variable)
                                                              : vexcam::defaultRig();
            for (const auto& device : rig.devices)
                rigDevices_->insert(device.name);
        } catch (const std::exception&) {
            // A rig that cannot be read again: no frame can be called verified.
        }
    }
    return rigDevices_->contains(deviceName);
}

} // namespace orximaq
