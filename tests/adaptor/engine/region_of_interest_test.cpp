// Region of interest: rounding and clamping, the format and frame-rate change,
// the partial-scan offsets, live restarts, and the failure warnings.
#include "engine/region_of_interest.h"
#include "imaqhost/testing/video_input_inspector.h"
#include "support/adaptor_session.h"
#include "vexcam/pattern.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace orx::test;
using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

constexpr const char* kPartialScan = "Partial Scan Offset";

vexcam::ElementSpec offsetElement(const char* name, const GUID& id, std::int32_t max)
{
    vexcam::ElementSpec element;
    element.name = name;
    element.id = id;
    element.integerRange = vexcam::IntegerRangeSpec{0, max, 0, 0};
    return element;
}

vexcam::ItemSpec partialScanItem()
{
    vexcam::ElementSpec autoCenter;
    autoCenter.name = "Auto-center";
    autoCenter.id = Vexlib::AutoCenterElementId;
    autoCenter.switchState = vexcam::SwitchSpec{-1};
    return {kPartialScan,
            Vexlib::PartialScanOffsetItemId,
            {autoCenter, offsetElement("X Offset", Vexlib::OffsetXElementId, 1264),
             offsetElement("Y Offset", Vexlib::OffsetYElementId, 956)}};
}

// The monochrome region-of-interest camera: step (4, 2), minimum (16, 4), maximum (1280, 960).
vexcam::DeviceSpec roiCamera()
{
    auto device = deviceWithoutNorms(
        "Roi", {format("Y800", 1280, 960)}, {gridDescription("Y800", {16, 4}, {1280, 960}, {4, 2}, true)});
    device.sensor = {1280, 960};
    device.frameRates = {};
    device.frameRates.pixelRate = 1280.0 * 960 * 60;
    device.frameRates.maxFps = 480;
    device.frameRates.minFps = 3.75;
    device.properties = {partialScanItem()};
    return device;
}

vexcam::PropertyFault fault(vexcam::PropertyObject object, const char* element, int slot)
{
    vexcam::PropertyFault f;
    f.object = object;
    f.item = kPartialScan;
    f.element = element;
    f.slot = slot;
    f.status = E_FAIL;
    return f;
}

class RegionOfInterest : public AdaptorSessionTest {
protected:
    imaqhost::VideoInput& openRoi(std::vector<vexcam::PropertyFault> faults = {})
    {
        auto device = roiCamera();
        device.faults.properties = std::move(faults);
        install({device});
        return openWithName("Roi", "Y800 (1280x960)");
    }
    imaqhost::Region readRegion()
    {
        imaqhost::Region r;
        adaptor().getROI(&r.x, &r.y, &r.width, &r.height);
        return r;
    }
    SIZE cameraSize() { return adaptor().camera().getVideoFormat().getSize(); }
};

// (13, 7, 1023, 481) becomes (12, 6, 1020, 480) on the camera and in the host's store.
TEST_F(RegionOfInterest, OffsetsAndSizeAreRoundedToTheStep)
{
    auto& input = openRoi();
    EXPECT_TRUE(imaqhost::inspect(input).adaptor().setROI(13, 7, 1023, 481));
    EXPECT_EQ(readRegion(), (imaqhost::Region{12, 6, 1020, 480}));
    EXPECT_EQ(cameraSize().cx, 1020);
    EXPECT_EQ(cameraSize().cy, 480);
    EXPECT_TRUE(warningTexts().empty());
    // The sizes of construction stay.
    EXPECT_EQ(input.maxWidth(), 1280);
    EXPECT_EQ(input.maxHeight(), 960);
}

// A width below the minimum rises to it; one above the maximum falls to it.
TEST_F(RegionOfInterest, SizeIsClampedToTheDescription)
{
    auto& input = openRoi();
    imaqhost::inspect(input).adaptor().setROI(0, 0, 3, 2000);
    EXPECT_EQ(cameraSize().cx, 16);
    EXPECT_EQ(cameraSize().cy, 960);
    imaqhost::inspect(input).adaptor().setROI(0, 0, 5000, 1);
    EXPECT_EQ(cameraSize().cx, 1280);
    EXPECT_EQ(cameraSize().cy, 4);
}

// Negative offsets round toward zero and are not clamped by the adaptor.
TEST(RegionRounding, TowardZeroAndZeroStepCountsAsOne)
{
    EXPECT_EQ(orx::roundOffset(-7, 4), -4);
    EXPECT_EQ(orx::roundOffset(7, 4), 4);
    EXPECT_EQ(orx::roundOffset(7, 0), 7);
    EXPECT_EQ(orx::roundOffset(INT32_MIN, -1), INT32_MIN);
    EXPECT_EQ(orx::roundAndClampSize(1023, 0, 16, 1280), 1023);
    EXPECT_EQ(orx::roundAndClampSize(-50, 4, 16, 1280), 16);
}

// The new format runs at its highest frame rate.
TEST_F(RegionOfInterest, FrameRateIsTheHighestOfTheNewFormat)
{
    auto& input = openRoi();
    imaqhost::inspect(input).adaptor().setROI(0, 0, 320, 240);
    auto& camera = adaptor().camera();
    const auto rates = camera.getAvailableFPS_(camera.getVideoFormat());
    ASSERT_TRUE(rates && !rates->empty());
    EXPECT_DOUBLE_EQ(camera.getFPS(), *std::max_element(rates->begin(), rates->end()));
    EXPECT_DOUBLE_EQ(orx::maximumFrameRate(camera), camera.getFPS());
}

// A grabber that was not live is not started.
TEST_F(RegionOfInterest, StoppedGrabberStaysStopped)
{
    auto& input = openRoi();
    imaqhost::inspect(input).adaptor().setROI(8, 8, 64, 64);
    EXPECT_FALSE(adaptor().camera().isLive());
}

// The auto-centre switch that cannot be set: a warning, and the offsets are written all the same.
TEST_F(RegionOfInterest, AutoCenterFailureStillWritesOffsets)
{
    auto& input = openRoi({fault(vexcam::PropertyObject::Switch, "Auto-center", 14)});
    imaqhost::inspect(input).adaptor().setROI(40, 20, 64, 64);
    EXPECT_EQ(warningTexts(), Texts{"Error at PartialScanOffsetAutoCenter Switch"});
    const auto r = readRegion();
    EXPECT_EQ(r.x, 40);
    EXPECT_EQ(r.y, 20);
}

// A failed X write: a warning, the format stays changed and Y is not written.
TEST_F(RegionOfInterest, FailedOffsetWriteKeepsTheNewFormat)
{
    auto& input = openRoi({fault(vexcam::PropertyObject::IntegerRange, "X Offset", 14)});
    imaqhost::inspect(input).adaptor().setROI(40, 20, 64, 64);
    EXPECT_EQ(warningTexts(), Texts{"Error at PartialScanOffset Value"});
    EXPECT_EQ(cameraSize().cx, 64);
    EXPECT_EQ(readRegion().y, 0);
}

// A failed Y read: a warning, and X as the camera reported it.
TEST_F(RegionOfInterest, FailedReadWarnsAndKeepsWhatWasRead)
{
    auto& input = openRoi({fault(vexcam::PropertyObject::IntegerRange, "Y Offset", 13)});
    imaqhost::inspect(input).adaptor().setROI(40, 20, 64, 64);
    imaqhost::clearWarnings();
    const auto r = readRegion();
    EXPECT_EQ(r.x, 40);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(warningTexts(), Texts{"The camera is not available."});
}

// A camera without region-of-interest formats: the region goes unchanged to the host.
TEST_F(RegionOfInterest, PlainCameraPassesTheRegionOn)
{
    install({deviceWithoutNorms("Plain", {}, {gridDescription("Y800", {16, 4}, {640, 480}, {4, 2}, false)})});
    auto& input = openWithName("Plain", "Y800 (640x480)");
    EXPECT_TRUE(imaqhost::inspect(input).adaptor().setROI(13, 7, 101, 51));
    EXPECT_EQ(cameraSize().cx, 640);
    EXPECT_EQ(readRegion(), (imaqhost::Region{0, 0, 640, 480}));
    std::int32_t x = 0, y = 0, w = 0, h = 0;
    adaptor().manager()->getROI(&x, &y, &w, &h);
    EXPECT_EQ((imaqhost::Region{x, y, w, h}), (imaqhost::Region{13, 7, 101, 51}));
}

// With an empty frame-rate list the new format gets 0.0.
TEST_F(RegionOfInterest, EmptyRateListGivesZeroRate)
{
    auto device = roiCamera();
    device.faults.lists[vexcam::ListKind::Fps] = vexcam::ListFault::Empty;
    install({device});
    auto& input = openWithName("Roi", "Y800 (1280x960)");
    EXPECT_DOUBLE_EQ(orx::maximumFrameRate(adaptor().camera()), 0.0);
    imaqhost::inspect(input).adaptor().setROI(0, 0, 64, 64);
    EXPECT_TRUE(warningTexts().empty());
}

class StreamingRegionOfInterest : public RegionOfInterest {};

// Applied while live: the stream restarts and every later frame is the requested window.
TEST_F(StreamingRegionOfInterest, FramesShowTheWindowAfterALiveChange)
{
    auto& input = openRoi();
    std::vector<std::string> problems;
    bool applied = false;
    const auto stats = input.acquire(12, [&](const imaqhost::FrameView& frame) {
        if (frame.index == 2 && !applied) {
            imaqhost::inspect(input).adaptor().setROI(100, 50, 64, 32);
            applied = true;
            return;
        }
        if (!applied) return;
        if (frame.width != 64 || frame.height != 32) return; // a frame already on its way
        const auto check = vexcam::pattern::checkFrame(vexcam::PixelLayout::Gray8, frame.pixels, frame.width,
                                                       frame.height, 100, 50);
        if (!check) problems.push_back(check.problem);
    });
    EXPECT_EQ(stats.end, imaqhost::AcquisitionEnd::Completed);
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_TRUE(adaptor().camera().isLive() || !input.isAcquisitionActive());
    EXPECT_EQ(input.maxWidth(), 1280);
}

} // namespace

namespace {

using namespace orx::test;

class RegionOffsets : public RegionOfInterest {};

// An offset too large for the sensor reaches the camera unchanged; the camera
// clamps it, so the window stays on the sensor and no warning is given.
TEST_F(RegionOffsets, OversizedOffsetIsLeftToTheCamera)
{
    auto& input = openRoi();
    imaqhost::inspect(input).adaptor().setROI(5000, 3001, 64, 64);
    EXPECT_TRUE(warningTexts().empty());
    const auto r = readRegion();
    EXPECT_EQ(r.x, 1264); // the camera's own limit, not the adaptor's
    EXPECT_EQ(r.y, 956);
}

} // namespace
