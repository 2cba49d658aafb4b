// The whole adaptor, in a host session, on a GStreamer test source: the
// source element's settings as host properties, read and written through
// the adaptor, and the end of the stream as a lost device. Runs only inside
// a network namespace that has no interface but loopback (`unshare -n`).
#include "support/adaptor_session.h"
#include "support/network_namespace.h"
#include "imaqhost/host_error.h"
#include "vexcam/gstreamer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class GstreamerAdaptorTest : public orx::test::AdaptorSessionTest {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(orx::test::onlyLoopback()) << "run under unshare -n"; }

    void SetUp() override
    {
        AdaptorSessionTest::SetUp();
        ASSERT_TRUE(vexcam::hasGstreamerSupport());
        objectsBefore_ = vexcam::gstreamerLiveObjects();
        vexcam::Rig rig;
        rig.gstreamer = vexcam::GstreamerSpec{{{"Bars", "videotestsrc pattern=smpte is-live=true"},
                                               {"Five", "videotestsrc is-live=true num-buffers=5"},
                                               {"Balanced", "videotestsrc pattern=smpte is-live=true ! videobalance"}},
                                              false};
        vexcam::installRig(rig);
        // The adaptor session's free-running switch is for the simulated pattern only.
        vexcam::setFreeRunning(false);
    }

    void TearDown() override
    {
        AdaptorSessionTest::TearDown();
        EXPECT_EQ(vexcam::gstreamerLiveObjects(), objectsBefore_);
    }

    std::vector<std::uint8_t> oneFrame(imaqhost::VideoInput& input)
    {
        std::vector<std::uint8_t> pixels;
        const auto stats = input.acquire(1, [&](const imaqhost::FrameView& frame) {
            pixels.assign(frame.pixels, frame.pixels + frame.bytes);
        });
        EXPECT_EQ(stats.received, 1);
        return pixels;
    }

    std::int64_t objectsBefore_ = 0;
};

// The pattern is an enumeration of its names; writing "ball" changes the
// frames, and reading it back answers "ball".
TEST_F(GstreamerAdaptorTest, PatternIsAnEnumerationWhoseWritesChangeTheFrames)
{
    auto& input = open("Bars", "Y800 (320x240)");
    const auto pattern = input.describe("pattern");
    EXPECT_EQ(pattern.type, imaqhost::PropertyType::Enumeration);
    EXPECT_TRUE(std::any_of(pattern.enumValues.begin(), pattern.enumValues.end(),
                            [](const imaqhost::EnumValue& value) { return value.text == "ball"; }));
    EXPECT_EQ(input.get("pattern"), imaqhost::PropertyValue(std::string("smpte")));
    const auto bars = oneFrame(input);
    input.set("pattern", std::string("ball"));
    EXPECT_EQ(input.get("pattern"), imaqhost::PropertyValue(std::string("ball")));
    const auto ball = oneFrame(input);
    ASSERT_EQ(bars.size(), ball.size());
    EXPECT_NE(bars, ball);
    // A ball on black: most pixels are black (16 in GStreamer's grey).
    EXPECT_GT(std::count_if(ball.begin(), ball.end(), [](std::uint8_t v) { return v <= 16; }),
              std::ptrdiff_t(ball.size() * 3 / 4));
}

// The adaptor names a property after its item without the hyphens
// ("foreground-color" is "foregroundcolor").
// Integers beyond 32 bits (the 32-bit colour) are doubles with the element's
// range; 32-bit integers are integer ranges; both read back what was written.
TEST_F(GstreamerAdaptorTest, NumericSettingsKeepTheElementsRangesAndValues)
{
    auto& input = open("Bars", "Y800 (320x240)");
    const auto colour = input.describe("foregroundcolor");
    EXPECT_EQ(colour.type, imaqhost::PropertyType::DoubleRange);
    EXPECT_DOUBLE_EQ(colour.doubleLower, 0.0);
    EXPECT_DOUBLE_EQ(colour.doubleUpper, 4294967295.0);
    input.set("foregroundcolor", 4278255360.0); // opaque green
    EXPECT_EQ(input.get("foregroundcolor"), imaqhost::PropertyValue(4278255360.0));

    const auto speed = input.describe("horizontalspeed");
    EXPECT_EQ(speed.type, imaqhost::PropertyType::IntegerRange);
    input.set("horizontalspeed", std::int32_t{7});
    EXPECT_EQ(input.get("horizontalspeed"), imaqhost::PropertyValue(std::int32_t{7}));
    if (speed.intUpper < INT32_MAX) {
        EXPECT_THROW(input.set("horizontalspeed", speed.intUpper + 1), imaqhost::HostError);
    }
    // Base-source machinery is not offered.
    EXPECT_FALSE(input.hasProperty("num-buffers"));
    EXPECT_FALSE(input.hasProperty("name"));
}

// The colour balance channels of an element in the pipeline (videobalance
// here, a V4L2 camera's controls on v4l2src) are integer ranges named by
// their labels; brightness written through the adaptor brightens the frames.
TEST_F(GstreamerAdaptorTest, ColourBalanceChannelsAreRangesThatReachTheFrames)
{
    auto& input = open("Balanced", "Y800 (320x240)");
    const auto brightness = input.describe("BRIGHTNESS");
    EXPECT_EQ(brightness.type, imaqhost::PropertyType::IntegerRange);
    EXPECT_EQ(brightness.intLower, -1000);
    EXPECT_EQ(brightness.intUpper, 1000);
    EXPECT_TRUE(input.hasProperty("CONTRAST"));
    const auto mean = [](const std::vector<std::uint8_t>& pixels) {
        double sum = 0;
        for (const auto v : pixels) sum += v;
        return pixels.empty() ? 0.0 : sum / double(pixels.size());
    };
    const double before = mean(oneFrame(input));
    input.set("BRIGHTNESS", std::int32_t{500});
    EXPECT_EQ(input.get("BRIGHTNESS"), imaqhost::PropertyValue(std::int32_t{500}));
    EXPECT_GT(mean(oneFrame(input)), before + 40.0);
}

// The end of the stream ends the acquisition as a lost device.
TEST_F(GstreamerAdaptorTest, EndOfStreamEndsTheAcquisitionAsDeviceLost)
{
    auto& input = open("Five", "Y800 (320x240)");
    const auto stats = input.acquire(50);
    EXPECT_EQ(stats.end, imaqhost::AcquisitionEnd::DeviceLost);
    EXPECT_EQ(stats.received, 5);
}

} // namespace
