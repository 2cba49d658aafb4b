// A short soak: thousands of frames while properties change on another
// thread and regions change between frames. Runs under the thread sanitizer.
#include "reference_rig.h"
#include "soak.h"
#include "support/adaptor_session.h"

#include <gtest/gtest.h>

namespace orx::test {
namespace {

class StreamingSoak : public AdaptorSessionTest {};

// Every frame asked for arrives or is counted as refused, whole and in order,
// and property traffic on another thread never fails.
TEST_F(StreamingSoak, FramesStayWholeAndInOrderUnderPropertyAndRegionTraffic)
{
    vexcam::installRig(referenceRig());
    auto& input = open(kCamera, "Y800 (128x96)");
    const SoakFigures figures = runSoak(input, 2000, 250, 700);

    EXPECT_EQ(figures.end, "completed");
    EXPECT_EQ(figures.received, 2000);
    EXPECT_EQ(figures.refused, figures.refusalsInjected);
    EXPECT_EQ(figures.torn, 0) << figures.firstProblem;
    EXPECT_EQ(figures.outOfOrder, 0);
    EXPECT_EQ(figures.regionApplies, 8);
    EXPECT_GT(figures.propertyOperations, 0);
    EXPECT_EQ(figures.propertyFailures, 0);
    EXPECT_EQ(warningTexts().size(), static_cast<std::size_t>(figures.refusalsInjected));
    EXPECT_EQ(boxes_.boxCount(), static_cast<std::size_t>(figures.refusalsInjected));
}

} // namespace
} // namespace orx::test
