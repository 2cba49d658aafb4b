#include "leak_check.h"

#include "imaqhost/testing/accounting.h"
#include "win32seam/testing/win32_seam.h"
#include "vexcam/com_objects.h"
#include "vexcam/vexcam.h"
#include "vexcam/testing/camera_testing.h"

namespace orximaq {

std::vector<ResourceCount> resourceCounts()
{
    return {
        {"task memory blocks", win32seam::outstandingTaskMemBlocks()},
        {"BSTRs", win32seam::outstandingBstrs()},
        {"imaqmalloc blocks", imaqhost::outstandingImaqBlocks()},
        {"host frames", imaqhost::liveFrames()},
        {"COM objects", vexcam::liveComObjects()},
        {"grabbers", vexcam::liveGrabbers()},
        {"delivery threads", vexcam::runningStreams()},
        {"locked buffers", vexcam::lockedBuffers()},
        {"camera buffers", vexcam::liveBuffers()},
    };
}

std::string leakReport(const std::vector<ResourceCount>& before, const std::vector<ResourceCount>& after)
{
    std::string report;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        const std::int64_t difference = after[i].value - before[i].value;
        if (difference != 0)
            report += (report.empty() ? "" : ", ") + std::to_string(difference) + " " + after[i].name;
    }
    return report;
}

} // namespace orximaq
