// The kit's free functions: counted imaqmalloc with its fault switch, warnings
// kept and shown as plain text, a monotonic clock.
#include "host_test.h"

#include "platform/win32.h"
#include "support/box_recorder.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <thread>

namespace hosttest {
namespace {

class KitBasicsTest : public HostTest {};

TEST_F(KitBasicsTest, ImaqmallocCountsBlocksAndFailsOnRequest)
{
    const auto before = imaqhost::outstandingImaqBlocks();
    void* block = imaqkit::imaqmalloc(0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(imaqhost::outstandingImaqBlocks(), before + 1);

    imaqhost::failNextImaqmallocs(2);
    EXPECT_EQ(imaqkit::imaqmalloc(16), nullptr);
    EXPECT_EQ(imaqkit::imaqmalloc(16), nullptr);
    void* next = imaqkit::imaqmalloc(16);
    EXPECT_NE(next, nullptr);

    imaqkit::imaqfree(next);
    imaqkit::imaqfree(block);
    imaqkit::imaqfree(nullptr);
    EXPECT_EQ(imaqhost::outstandingImaqBlocks(), before);
}

// A '%' in a warning is text, never a format directive.
TEST_F(KitBasicsTest, WarningsAreKeptAndEchoedVerbatim)
{
    imaqhost::setWarningEcho(true);
    ::testing::internal::CaptureStderr();
    imaqkit::adaptorWarn("ORXadaptor:constructor", "Unable to load formats of: \"100% %s %n\".");
    imaqkit::adaptorWarn(nullptr, nullptr);
    const std::string echoed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(echoed, "Warning: Unable to load formats of: \"100% %s %n\".\nWarning: \n");

    const auto kept = imaqhost::warnings();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].identifier, "ORXadaptor:constructor");
    EXPECT_EQ(kept[0].message, "Unable to load formats of: \"100% %s %n\".");
    EXPECT_EQ(kept[1].identifier, "");

    imaqhost::setWarningEcho(false);
    ::testing::internal::CaptureStderr();
    imaqkit::adaptorWarn("id", "quiet");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    imaqhost::clearWarnings();
    EXPECT_TRUE(imaqhost::warnings().empty());
}

// Warnings from several threads are all kept, each whole.
TEST_F(KitBasicsTest, StreamingWarningsFromManyThreadsAreAllKept)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 100; ++i)
                imaqkit::adaptorWarn("id", ("thread " + std::to_string(t)).c_str());
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(imaqhost::warnings().size(), 400u);
}

TEST_F(KitBasicsTest, CurrentTimeIsMonotonicSeconds)
{
    const double first = imaqkit::getCurrentTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const double second = imaqkit::getCurrentTime();
    EXPECT_GE(second - first, 0.019);
    EXPECT_LT(second - first, 5.0);
}

// The fixture's check names each counter that did not come back.
TEST(LeakCheck, ReportsEveryCounterThatMoved)
{
    static std::vector<orx::test::LeakCounter> before;
    before = orx::test::leakCounters();
    void* block = imaqkit::imaqmalloc(8);
    EXPECT_NONFATAL_FAILURE(orx::test::expectNoLeaks(before), "leaked imaqmalloc blocks");
    imaqkit::imaqfree(block);
    BSTR text = SysAllocString(OLESTR("x"));
    EXPECT_NONFATAL_FAILURE(orx::test::expectNoLeaks(before), "leaked BSTRs");
    SysFreeString(text);
    void* memory = CoTaskMemAlloc(4);
    EXPECT_NONFATAL_FAILURE(orx::test::expectNoLeaks(before), "leaked task memory blocks");
    CoTaskMemFree(memory);
    orx::test::expectNoLeaks(before);
}

// Boxes and debugger lines are recorded, not shown, while a recorder lives;
// the previous hooks come back after it.
TEST(BoxRecorder, RecordsBoxesAndDebugLinesQuietly)
{
    orx::test::BoxRecorder outer;
    {
        orx::test::BoxRecorder inner;
        ::testing::internal::CaptureStderr();
        MessageBoxA(nullptr, "Device lost!", "ORX_IMAQ Error", MB_ICONERROR);
        OutputDebugStringA("Property : Brightness\n");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        ASSERT_EQ(inner.boxCount(), 1u);
        EXPECT_EQ(inner.boxes()[0].caption, "ORX_IMAQ Error");
        EXPECT_EQ(inner.boxes()[0].style, MB_ICONERROR);
        EXPECT_TRUE(inner.anyBoxContains("lost"));
        EXPECT_TRUE(inner.anyDebugLineContains("Brightness"));
        EXPECT_EQ(outer.boxCount(), 0u);
    }
    MessageBoxA(nullptr, "after", "caption", MB_OK);
    EXPECT_EQ(outer.boxCount(), 1u);
    outer.clear();
    EXPECT_EQ(outer.boxCount(), 0u);
    EXPECT_TRUE(outer.debugLines().empty());
}

} // namespace
} // namespace hosttest
