// The whole adaptor, in a host session, against Aravis' in-process fake
// camera: the region of interest and the camera's features as the host sees
// them, each checked on the camera itself. Runs only inside
// a network namespace that has no interface but loopback (`unshare -n`).
#include "genicam_session_test.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kDevice = "Aravis Fake 1";

using GenicamAdaptorTest = orx::test::GenicamSessionTest;

TEST_F(GenicamAdaptorTest, RegionOfInterestSetsTheCamerasWindowAndOffsets)
{
    auto& input = open(kDevice, "Y800 (640x480)");
    input.setRegion({100, 50, 320, 240});
    std::vector<std::pair<std::int32_t, std::int32_t>> sizes;
    const auto stats = input.acquire(3, [&](const imaqhost::FrameView& frame) {
        sizes.emplace_back(frame.width, frame.height);
        EXPECT_EQ(frame.bytes, std::size_t(320) * 240);
    });
    ASSERT_EQ(stats.received, 3);
    EXPECT_EQ(sizes, (std::vector<std::pair<std::int32_t, std::int32_t>>(3, {320, 240})));
    EXPECT_EQ(vexcam::genicamInteger(kDevice, "OffsetX"), 100);
    EXPECT_EQ(vexcam::genicamInteger(kDevice, "OffsetY"), 50);
    EXPECT_EQ(vexcam::genicamInteger(kDevice, "Width"), 320);
    EXPECT_EQ(vexcam::genicamInteger(kDevice, "Height"), 240);

    // A window in the far corner moves the offsets there; back to the whole
    // frame, they return to the origin.
    input.setRegion({640 - 64, 480 - 32, 64, 32});
    sizes.clear();
    ASSERT_EQ(input.acquire(2, [&](const imaqhost::FrameView& frame) { sizes.emplace_back(frame.width, frame.height); })
                  .received,
              2);
    EXPECT_EQ(sizes, (std::vector<std::pair<std::int32_t, std::int32_t>>(2, {64, 32})));
    EXPECT_EQ(vexcam::genicamInteger(kDevice, "OffsetX"), 576);
    EXPECT_EQ(vexcam::genicamInteger(kDevice, "OffsetY"), 448);
    input.setRegion({0, 0, 640, 480});
    ASSERT_EQ(input.acquire(1).received, 1);
    EXPECT_EQ(vexcam::genicamInteger(kDevice, "OffsetX"), 0);
    EXPECT_EQ(vexcam::genicamInteger(kDevice, "OffsetY"), 0);
    EXPECT_EQ(vexcam::genicamInteger(kDevice, "Width"), 640);
}

TEST_F(GenicamAdaptorTest, GainAndExposureShowTheCamerasBoundsAndWritesReachIt)
{
    auto& input = open(kDevice, "Y800 (640x480)");
    const auto gain = input.describe("Gain");
    EXPECT_EQ(gain.type, imaqhost::PropertyType::IntegerRange);
    EXPECT_EQ(gain.intLower, 0);
    EXPECT_EQ(gain.intUpper, 10);
    const auto exposure = input.describe("Exposure");
    EXPECT_EQ(exposure.type, imaqhost::PropertyType::DoubleRange);
    EXPECT_DOUBLE_EQ(exposure.doubleLower, 10.0);
    EXPECT_DOUBLE_EQ(exposure.doubleUpper, 1e7);
    EXPECT_TRUE(input.hasProperty("GainAuto"));

    input.set("Gain", std::int32_t{7});
    input.set("Exposure", 2000.0);
    EXPECT_EQ(vexcam::genicamInteger(kDevice, "GainRaw"), 7);
    EXPECT_NEAR(*vexcam::genicamFloat(kDevice, "ExposureTimeAbs"), 2000.0, 1e-6);
    EXPECT_EQ(input.get("Gain"), imaqhost::PropertyValue(std::int32_t{7}));
    EXPECT_EQ(input.get("Exposure"), imaqhost::PropertyValue(2000.0));
    // The upper bounds themselves are accepted.
    input.set("Gain", std::int32_t{10});
    input.set("Exposure", 1e7);
    EXPECT_EQ(vexcam::genicamInteger(kDevice, "GainRaw"), 10);
    EXPECT_NEAR(*vexcam::genicamFloat(kDevice, "ExposureTimeAbs"), 1e7, 1e-3);
}

} // namespace
