// Frames from the camera's delivery thread to the host: every pixel layout
// whole and in order, refused frames, unwanted images and a lost device.
#include "imaqhost/testing/accounting.h"
#include "imaqhost/testing/video_input_inspector.h"
#include "support/adaptor_session.h"
#include "vexcam/pattern.h"
#include "vexcam/pixel_layout.h"
#include "vexcam/testing/camera_testing.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace orx::test;
using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

struct LayoutCase {
    const char* colorformat;
    vexcam::PixelLayout delivered;
};

class StreamingFrameDelivery : public AdaptorSessionTest {
protected:
    imaqhost::VideoInput& openCamera(const std::string& colorformat, vexcam::DeviceFaults faults = {})
    {
        // A second description keeps the device in the catalogue when BY8 is excluded.
        auto device = deviceWithoutNorms("Camera", {}, {listedDescription(colorformat, {96, 64}, {96, 64}, {}),
                                                        listedDescription("Y800", {32, 32}, {32, 32}, {})});
        device.faults = faults;
        install({device});
        return openWithName("Camera", colorformat + " (96x64)");
    }
};

class StreamingLayouts : public StreamingFrameDelivery, public ::testing::WithParamInterface<LayoutCase> {};

// Every frame is whole, of the full size, in order and stamped in order.
TEST_P(StreamingLayouts, FramesAreWholeAndInOrder)
{
    const LayoutCase c = GetParam();
    auto& input = openCamera(c.colorformat);
    std::vector<std::uint32_t> numbers;
    std::vector<std::string> problems;
    std::vector<double> stamps;
    const auto stats = input.acquire(8, [&](const imaqhost::FrameView& frame) {
        stamps.push_back(frame.time);
        EXPECT_EQ(frame.width, 96);
        EXPECT_EQ(frame.height, 64);
        EXPECT_EQ(static_cast<std::size_t>(frame.bytesPerPixel), vexcam::bytesPerPixel(c.delivered));
        const auto check = vexcam::pattern::checkFrame(c.delivered, frame.pixels, frame.width, frame.height, 0, 0);
        if (!check) problems.push_back(check.problem);
        numbers.push_back(check.frameNumber);
    });
    EXPECT_EQ(stats.end, imaqhost::AcquisitionEnd::Completed);
    EXPECT_EQ(stats.received, 8);
    EXPECT_EQ(stats.counted, 8);
    EXPECT_TRUE(problems.empty()) << problems.front();
    for (std::size_t i = 1; i < numbers.size(); ++i) EXPECT_GT(numbers[i], numbers[i - 1]);
    ASSERT_EQ(stamps.size(), 8u);
    for (std::size_t i = 1; i < stamps.size(); ++i) EXPECT_GE(stamps[i], stamps[i - 1]);
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, StreamingLayouts,
                         ::testing::Values(LayoutCase{"Y800", vexcam::PixelLayout::Gray8},
                                           LayoutCase{"Y16", vexcam::PixelLayout::Gray16},
                                           LayoutCase{"RGB24", vexcam::PixelLayout::Rgb24},
                                           LayoutCase{"RGB32", vexcam::PixelLayout::Rgb32},
                                           LayoutCase{"BY8", vexcam::PixelLayout::Rgb24}),
                         [](const auto& info) { return std::string(info.param.colorformat); });

// A frame the host cannot make: box, warning, image dropped, not counted.
TEST_F(StreamingFrameDelivery, RefusedFrameIsReportedAndNotCounted)
{
    auto& input = openCamera("Y800");
    imaqhost::failNextMakeFrames(2);
    const auto stats = input.acquire(3);
    EXPECT_EQ(stats.end, imaqhost::AcquisitionEnd::Completed);
    EXPECT_EQ(stats.refused, 2);
    EXPECT_EQ(stats.received, 3);
    EXPECT_EQ(stats.counted, 3);
    ASSERT_EQ(boxes_.boxCount(), 2u);
    EXPECT_EQ(boxes_.boxes()[0].text, "Failed to create a new frame.");
    EXPECT_EQ(boxes_.boxes()[0].caption, "ORX_IMAQ Error");
    EXPECT_EQ(boxes_.boxes()[0].style, MB_ICONERROR);
    EXPECT_EQ(warningTexts(), (Texts{"Failed to create a new Matlab frame.", "Failed to create a new Matlab frame."}));
    EXPECT_EQ(vexcam::lockedBuffers(), 0);
}

// Images the host does not want are neither locked nor turned into frames.
TEST_F(StreamingFrameDelivery, UnwantedImagesAreDroppedUntouched)
{
    auto& input = openCamera("Y800");
    const auto before = vexcam::framesDelivered();
    ASSERT_TRUE(imaqhost::inspect(input).adaptor().startCapture()); // live, but no acquisition asks for frames
    while (vexcam::framesDelivered() < before + 20) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(input.closeDevice());
    EXPECT_EQ(imaqhost::inspect(input).framesOutsideAcquisition(), 0);
    EXPECT_EQ(input.framesDelivered(), 0);
    EXPECT_EQ(vexcam::lockedBuffers(), 0);
}

// A lost device shows its box and warning; the adaptor's state is unchanged.
TEST_F(StreamingFrameDelivery, LostDeviceIsReported)
{
    vexcam::DeviceFaults lost;
    lost.lostAfterFrames = 3;
    auto& input = openCamera("Y800", lost);
    const auto stats = input.acquire(10, {}, 2s);
    EXPECT_EQ(stats.end, imaqhost::AcquisitionEnd::DeviceLost);
    EXPECT_EQ(stats.received, 3);
    ASSERT_GE(boxes_.boxCount(), 1u);
    EXPECT_EQ(boxes_.boxes()[0].text, "Device lost!");
    EXPECT_EQ(boxes_.boxes()[0].caption, "ORX_IMAQ Error");
    const auto texts = warningTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "The device is lost."), texts.end());
}

} // namespace
