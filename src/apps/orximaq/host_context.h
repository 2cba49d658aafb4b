// Everything a command needs from the host side: the rig installed, the
// adaptor module loaded and initialised, and the notices collected.
#pragma once

#include "notices.h"

#include "imaqhost/session.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orximaq {

struct GlobalOptions {
    std::optional<std::string> rigFile; // none: ORX_SIM_RIG or the default rig
    std::string genicam;      // GenICam interfaces to search as well (ORX_GENICAM)
    std::vector<std::string> gstreamer; // GStreamer pipelines to list as well (ORX_GSTREAMER_PIPELINES)
    std::string adaptorPath;  // empty: the module beside the executable
    bool checkLeaks = false;
};

class HostContext {
public:
    // Installs the rig, loads the adaptor module and initialises it. Throws
    // CliError naming the rig file or the module when that fails.
    // The notice log must outlive the context: the adaptor still warns while
    // the session closes.
    HostContext(const GlobalOptions& options, NoticeLog& log);

    imaqhost::Session& session() { return *session_; }
    const std::string& adaptorPath() const { return adaptorPath_; }
    // The warnings and message boxes that arrived since the last call.
    Notices takeNotices() { return log_.take(); }
    // Whether the named device paints the simulated camera's test pattern: a
    // camera of the rig in force, with pattern generation on (a GenICam
    // camera shows what its own source makes).
    bool paintsTestPattern(const std::string& deviceName);

private:
    NoticeLog& log_;
    std::optional<std::string> rigFile_;
    std::optional<std::set<std::string>> rigDevices_;
    std::string adaptorPath_;
    std::optional<imaqhost::Session> session_;
};

} // namespace orximaq
