#include "support/leak_check.h"

#include "imaqhost/testing/accounting.h"
#include "win32seam/testing/win32_seam.h"

#if __has_include("vexcam/com_objects.h")
#include "vexcam/com_objects.h"
#define ORX_TEST_HAS_COM_OBJECT_COUNT 1
#endif

namespace orx::test {

std::vector<LeakCounter> leakCounters()
{
    std::vector<LeakCounter> counters{
        {"task memory blocks", win32seam::outstandingTaskMemBlocks()},
        {"BSTRs", win32seam::outstandingBstrs()},
        {"imaqmalloc blocks", imaqhost::outstandingImaqBlocks()},
        {"host frames", imaqhost::liveFrames()},
    };
#if defined(ORX_TEST_HAS_COM_OBJECT_COUNT)
    counters.push_back({"COM objects", static_cast<std::int64_t>(vexcam::liveComObjects())});
#endif
    return counters;
}

void expectNoLeaks(const std::vector<LeakCounter>& before)
{
    const auto after = leakCounters();
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i].value, before[i].value) << "leaked " << after[i].name;
}

void LeakCheckedTest::SetUp()
{
    before_ = leakCounters();
}

void LeakCheckedTest::TearDown()
{
    expectNoLeaks(before_);
}

} // namespace orx::test
