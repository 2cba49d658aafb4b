// Parses the fuzzer's bytes as a rig file. A malformed rig must give a
// RigError and nothing else; a valid one whose sizes are small is installed
// and discovered by the adaptor.
#include "rig_decoder.h"

#include "reliability/journey.h"
#include "support/core_entry_points.h"

#include "imaqhost/host_error.h"
#include "imaqhost/session.h"
#include "imaqhost/warnings.h"
#include "vexcam/vexcam.h"

#include <string_view>

namespace {

bool small(const vexcam::Size& size)
{
    return size.cx <= orx::fuzz::kMaxSide && size.cy <= orx::fuzz::kMaxSide;
}

bool smallEnoughToDiscover(const vexcam::Rig& rig)
{
    for (const auto& device : rig.devices)
        for (const auto& norm : device.norms) {
            for (const auto& format : norm.formats)
                if (!small(format.size)) return false;
            for (const auto& description : norm.descriptions)
                if (!small(description.maxSize)) return false;
        }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    imaqhost::setWarningEcho(false);
    vexcam::Rig rig;
    try {
        rig = vexcam::parseRig(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json");
    } catch (const vexcam::RigError&) {
        return 0;
    }
    if (!smallEnoughToDiscover(rig)) return 0;
    // Fuzzed text must never choose real cameras: a GenICam interface or a
    // GStreamer pipeline could reach a network.
    rig.genicam.reset();
    rig.gstreamer.reset();
    vexcam::installRig(rig);
    {
        imaqhost::Session session(orx::test::coreEntryPoints());
        orx::test::discoveryLines(session);
    }
    vexcam::clearInstalledRig();
    imaqhost::clearWarnings();
    return 0;
}
