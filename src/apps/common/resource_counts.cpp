#include "common/resource_counts.h"

#include "imaqhost/testing/accounting.h"
#include "vexcam/com_objects.h"
#include "vexcam/testing/camera_testing.h"
#include "vexcam/vexcam.h"
#include "win32seam/testing/win32_seam.h"

namespace orx::apps {

std::vector<ResourceCount> resourceCounts()
{
    return {
        {"task memory blocks", "TaskMemoryBlocks", win32seam::outstandingTaskMemBlocks()},
        {"BSTRs", "Bstrs", win32seam::outstandingBstrs()},
        {"imaqmalloc blocks", "ImaqBlocks", imaqhost::outstandingImaqBlocks()},
        {"host frames", "HostFrames", imaqhost::liveFrames()},
        {"COM objects", "ComObjects", vexcam::liveComObjects()},
        {"grabbers", "Grabbers", vexcam::liveGrabbers()},
        {"delivery threads", "DeliveryThreads", vexcam::runningStreams()},
        {"locked buffers", "LockedBuffers", vexcam::lockedBuffers()},
        {"camera buffers", "CameraBuffers", vexcam::liveBuffers()},
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

} // namespace orx::apps
