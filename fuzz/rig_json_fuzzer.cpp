// Parses the fuzzer's bytes as a rig file. A malformed rig must give a
// RigError and nothing else; a valid one whose sizes are small is installed
// and discovered by the adaptor.
#include "rig_decoder.h"

#include "reliability/journey.h"
#include "support/core_entry_points.h"

#include "imaqsim/host_error.h"
#include "imaqsim/session.h"
#include "imaqsim/warnings.h"
#include "vexsim/vexsim.h"

#include <string_view>

namespace {

bool small(const vexsim::Size& size)
{
    return size.cx <= orx::fuzz::kMaxSide && size.cy <= orx::fuzz::kMaxSide;
}

bool smallEnoughToDiscover(const vexsim::Rig& rig)
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
    imaqsim::setWarningEcho(false);
    vexsim::Rig rig;
    try {
        rig = vexsim::parseRig(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json");
    } catch (const vexsim::RigError&) {
        return 0;
    }
    if (!smallEnoughToDiscover(rig)) return 0;
    vexsim::installRig(rig);
    {
        imaqsim::Session session(orx::test::coreEntryPoints());
        orx::test::discoveryLines(session);
    }
    vexsim::clearInstalledRig();
    imaqsim::clearWarnings();
    return 0;
}
