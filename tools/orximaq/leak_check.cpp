#include "leak_check.h"

#include "imaqsim/accounting.h"
#include "win32sim/win32_seam.h"
#include "vexsim/com_objects.h"
#include "vexsim/vexsim.h"

namespace orximaq {

std::vector<ResourceCount> resourceCounts()
{
    return {
        {"task memory blocks", win32seam::outstandingTaskMemBlocks()},
        {"BSTRs", win32seam::outstandingBstrs()},
        {"imaqmalloc blocks", imaqsim::outstandingImaqBlocks()},
        {"host frames", imaqsim::liveFrames()},
        {"COM objects", vexsim::liveComObjects()},
        {"grabbers", vexsim::liveGrabbers()},
        {"delivery threads", vexsim::runningStreams()},
        {"locked buffers", vexsim::lockedBuffers()},
        {"camera buffers", vexsim::liveBuffers()},
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
