// Soak: 100,000 frames from a free-running camera while another thread reads
// and writes properties and the host thread applies regions between frames.
// Prints its figures and exits non-zero when a frame went missing, arrived
// torn or out of order, a property call failed, or anything leaked.
#include "reliability/reference_rig.h"
#include "reliability/soak.h"
#include "support/core_entry_points.h"

#include "common/resource_counts.h"

#include "imaqhost/session.h"
#include "imaqhost/warnings.h"
#include "win32seam/testing/win32_seam.h"
#include "vexcam/testing/camera_testing.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    using namespace orx::test;
    const std::int64_t frames = argc > 1 ? std::atoll(argv[1]) : 100000;
    imaqhost::setWarningEcho(false);
    win32seam::setMessageBoxEcho(false);
    vexcam::setFreeRunning(true);
    vexcam::installRig(referenceRig());
    const auto before = orx::apps::resourceCounts();

    SoakFigures figures;
    {
        imaqhost::Session session(coreEntryPoints());
        session.discover();
        auto input = session.open(std::string(kCamera), std::string("Y800 (128x96)"));
        figures = runSoak(*input, frames, 5000, 20000);
    }
    const auto after = orx::apps::resourceCounts();

    std::printf("frames requested      %lld\n", static_cast<long long>(figures.requested));
    std::printf("frames received       %lld (%s)\n", static_cast<long long>(figures.received), figures.end.c_str());
    std::printf("frames refused        %lld of %lld refusals injected", static_cast<long long>(figures.refused),
                static_cast<long long>(figures.refusalsInjected));
    if (figures.refusalsUnmet > 0)
        std::printf(" (%lld more armed after the last frame was made)", static_cast<long long>(figures.refusalsUnmet));
    std::printf("\n");
    std::printf("torn frames           %lld\n", static_cast<long long>(figures.torn));
    std::printf("out of order          %lld\n", static_cast<long long>(figures.outOfOrder));
    std::printf("property operations   %lld (%lld failed)\n", static_cast<long long>(figures.propertyOperations),
                static_cast<long long>(figures.propertyFailures));
    std::printf("region applies        %lld\n", static_cast<long long>(figures.regionApplies));
    std::printf("elapsed               %.2f s (%.0f frames/s)\n", figures.seconds,
                static_cast<double>(figures.received) / figures.seconds);
    const std::string leaks = orx::apps::leakReport(before, after);
    const bool leaked = !leaks.empty();
    if (leaked) std::printf("LEAK                  %s\n", leaks.c_str());
    const bool sound = figures.end == "completed" && figures.received == figures.requested &&
                       figures.refused == figures.refusalsInjected && figures.torn == 0 && figures.outOfOrder == 0 &&
                       figures.propertyFailures == 0 && !leaked;
    std::printf("%s\n", sound ? "soak passed" : "SOAK FAILED");
    if (!figures.firstProblem.empty()) std::printf("first problem: %s\n", figures.firstProblem.c_str());
    return sound ? 0 : 1;
}
