// Builds a rig from the fuzzer's bytes and takes every device of it through
// the adaptor end to end: discovery, device attributes of every format, a
// video input, a read and a write of every property, a region apply and a
// short free-running acquisition. Any crash or sanitizer report fails, and so
// does any resource (COM object, BSTR, task memory, imaqmalloc block, host
// frame) still held after the run.
#include "rig_decoder.h"

#include "reliability/journey.h"
#include "reliability/soak.h"
#include "common/resource_counts.h"
#include "support/core_entry_points.h"

#include "imaqhost/host_error.h"
#include "imaqhost/session.h"
#include "imaqhost/warnings.h"
#include "win32seam/testing/win32_seam.h"
#include "vexcam/vexcam.h"
#include "vexcam/testing/camera_testing.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void quietHost()
{
    imaqhost::setWarningEcho(false);
    win32seam::setMessageBoxEcho(false);
    vexcam::setFreeRunning(true);
}

void runEveryDevice(const vexcam::Rig& rig)
{
    orx::test::JourneyOptions options;
    options.frames = 2;
    options.timeout = std::chrono::milliseconds(50);
    options.everyFormat = true;
    imaqhost::Session session(orx::test::coreEntryPoints());
    for (const auto& device : rig.devices) {
        auto journey = orx::test::runJourney(session, device.name, options);
        journey.input.reset();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = (quietHost(), true);
    (void)quiet;
    const auto before = orx::apps::resourceCounts();
    const vexcam::Rig rig = orx::fuzz::decodeRig(data, size);
    vexcam::installRig(rig);
    imaqhost::failNextImaqmallocs(0);
    imaqhost::failNextMakeFrames(0);
    try {
        runEveryDevice(rig);
    } catch (const imaqhost::HostError&) {
        // initializeAdaptor refused: a sound answer, nothing to run.
    }
    vexcam::clearInstalledRig();
    imaqhost::clearWarnings();
    const std::string leaks = orx::apps::leakReport(before, orx::apps::resourceCounts());
    if (!leaks.empty()) {
        std::fprintf(stderr, "leaked: %s\n", leaks.c_str());
        std::abort();
    }
    return 0;
}
