// A camera without a hardware region keeps delivering the full image; the
// host then crops every frame to the user's region and reports that region.
#include "host_test.h"

#include "imaqhost/host_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace hosttest {
namespace {

class HostCropTest : public HostTest {};

// Frames match the region set, pixel for pixel, and ROI reads back what was set.
TEST_F(HostCropTest, FramesOfACameraWithoutHardwareRegionAreCropped)
{
    config().hardwareRegion = false;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    const imaqhost::Region region{2, 1, 4, 3};
    input->setRegion(region);
    EXPECT_TRUE(input->isHostCropping());
    EXPECT_EQ(input->region(), region);
    std::vector<std::uint8_t> pixels;
    const auto stats = input->acquire(2, [&](const imaqhost::FrameView& frame) {
        EXPECT_EQ(frame.width, 4);
        EXPECT_EQ(frame.height, 3);
        pixels.assign(frame.pixels, frame.pixels + frame.bytes);
    });
    EXPECT_EQ(stats.received, 2);
    std::vector<std::uint8_t> expected; // the fake's ramp: value = offset in the 8x6 image
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) expected.push_back(static_cast<std::uint8_t>((1 + y) * 8 + 2 + x));
    EXPECT_EQ(pixels, expected);

    // The full image again ends the cropping.
    input->setRegion({0, 0, 8, 6});
    EXPECT_FALSE(input->isHostCropping());
    EXPECT_EQ(input->region(), (imaqhost::Region{0, 0, 8, 6}));
}

// A camera that crops itself is left to do so.
TEST_F(HostCropTest, HardwareRegionIsNotCroppedAgain)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setRegion({2, 1, 4, 3});
    EXPECT_FALSE(input->isHostCropping());
    EXPECT_EQ(input->region(), (imaqhost::Region{2, 1, 4, 3}));
}

// The region cannot change while an acquisition runs, cropped or not.
TEST_F(HostCropTest, StreamingRegionIsFixedWhileRunning)
{
    config().hardwareRegion = false;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->start(imaqhost::VideoInput::kUnlimitedFrames);
    EXPECT_THROW(input->setRegion({0, 0, 2, 2}), imaqhost::HostError);
    input->stop();
    input->flushData();
    EXPECT_EQ(input->region(), (imaqhost::Region{0, 0, 8, 6}));
}

} // namespace
} // namespace hosttest
