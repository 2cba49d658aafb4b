// The device attributes the host asks for before it creates an adaptor: the
// fixed properties, the camera properties and the single video source.
#include "properties/device_attributes.h"

#include "property_fakes.h"
#include "property_rig.h"
#include "support/box_recorder.h"
#include "support/leak_check.h"

#include "vexcam/vexcam.h"
#include "vexcam/testing/camera_testing.h"

#include <gtest/gtest.h>

#include <optional>

namespace orx::test {
namespace {

using EnumValues = std::vector<std::pair<std::string, std::int32_t>>;

constexpr const char* kFormat = "Y800 (640x480)";

vexcam::DeviceSpec fullCamera()
{
    auto device = cameraDevice({integerItem("Gain", {0, 100, 10, 10})});
    device.serial = 0x1234;
    device.channels = {"Composite", "S-Video"};
    return device;
}

class DeviceAttributesTest : public LeakCheckedTest {
protected:
    void declare(vexcam::DeviceSpec device, const char* format = kFormat)
    {
        CameraLibrary library({std::move(device)});
        FakeDeviceInfo deviceInfo(kCameraName);
        getDeviceAttributes(&deviceInfo, format, &factory, &sources);
    }

    RecordingFactory factory;
    RecordingSources sources;
    BoxRecorder recorder;
};

// Fixed properties first, in their order, then the camera's; then the one video source.
TEST_F(DeviceAttributesTest, DeclaresFixedPropertiesThenCameraPropertiesThenSource)
{
    declare(fullCamera());
    EXPECT_EQ(factory.publishedNames(), (std::vector<std::string>{"SerialNo", "FrameRate", "InputChannel", "Gain"}));
    const auto& serial = factory.only("SerialNo");
    EXPECT_EQ(serial.kind, "int");
    EXPECT_EQ(serial.defaultValue, 0);
    EXPECT_EQ(serial.flags, 1);
    EXPECT_EQ(serial.readOnlyMode, "always");
    EXPECT_EQ(factory.only("FrameRate").readOnlyMode, "whileRunning");
    EXPECT_EQ(factory.only("InputChannel").values, (EnumValues{{"Composite", 0}, {"S-Video", 1}}));
    EXPECT_EQ(factory.only("InputChannel").readOnlyMode, "never");
    EXPECT_EQ(sources.sources, (std::vector<std::pair<std::string, std::int32_t>>{{kCameraName, 1}}));
    EXPECT_EQ(recorder.boxCount(), 0u);
    EXPECT_EQ(vexcam::liveGrabbers(), 0);
}

// Rates 15, 30, 7.5, 60, 3.75: the first highest is the initial entry, the rest follow in order.
TEST_F(DeviceAttributesTest, FrameRateEntriesStartWithTheFirstHighestRate)
{
    auto device = fullCamera();
    device.frameRates.defaults = {15, 30, 7.5, 60, 3.75};
    declare(device);
    EXPECT_EQ(factory.only("FrameRate").values,
              (EnumValues{{"60.00", 3}, {"15.00", 0}, {"30.00", 1}, {" 7.50", 2}, {" 3.75", 4}}));
    EXPECT_TRUE(recorder.anyDebugLineContains(kFormat));
}

// The first of two highest rates is the initial entry; a single rate gives one entry.
TEST_F(DeviceAttributesTest, FrameRateHighestTwiceAndSingleRate)
{
    auto twice = fullCamera();
    twice.frameRates.defaults = {30, 60, 60};
    declare(twice);
    EXPECT_EQ(factory.only("FrameRate").values, (EnumValues{{"60.00", 1}, {"30.00", 0}, {"60.00", 2}}));

    RecordingFactory single;
    auto one = fullCamera();
    one.frameRates.defaults = {120};
    CameraLibrary library({one});
    FakeDeviceInfo deviceInfo(kCameraName);
    getDeviceAttributes(&deviceInfo, kFormat, &single, &sources);
    EXPECT_EQ(single.only("FrameRate").values, (EnumValues{{"120.00", 0}}));
}

// Rates are written in single precision, five wide, cut to nine characters.
TEST_F(DeviceAttributesTest, FrameRateTextIsSinglePrecisionAndBounded)
{
    EXPECT_EQ(frameRateText(30), "30.00");
    EXPECT_EQ(frameRateText(3.75), " 3.75");
    EXPECT_EQ(frameRateText(29.995), "30.00"); // as a double it would read 29.99
    EXPECT_EQ(frameRateText(1234567.0), "1234567.0");
    EXPECT_EQ(frameRateText(0), " 0.00");
}

// No rate above 0: the first entry is the initial one.
TEST_F(DeviceAttributesTest, FrameRateWithoutPositiveRateStartsAtFirstEntry)
{
    auto device = fullCamera();
    device.frameRates.defaults = {0, -1};
    declare(device);
    EXPECT_EQ(factory.only("FrameRate").values, (EnumValues{{" 0.00", 0}, {"-1.00", 1}}));
}

// A region-of-interest device, or one without a rate list, has no "FrameRate".
TEST_F(DeviceAttributesTest, NoFrameRateForRoiDevicesOrWithoutList)
{
    auto roi = fullCamera();
    vexcam::DescriptionSpec description;
    description.colorformat = "Y800";
    description.minSize = {16, 4};
    description.maxSize = {640, 480};
    description.stepSize = {4, 2};
    description.roi = true;
    roi.norms[0].descriptions = {description};
    declare(roi);
    EXPECT_TRUE(factory.published("FrameRate").empty());
    EXPECT_EQ(factory.published("SerialNo").size(), 1u);

    RecordingFactory second;
    auto unavailable = fullCamera();
    unavailable.frameRates.available = false;
    CameraLibrary library({unavailable});
    FakeDeviceInfo deviceInfo(kCameraName);
    getDeviceAttributes(&deviceInfo, kFormat, &second, &sources);
    EXPECT_EQ(second.publishedNames(), (std::vector<std::string>{"SerialNo", "InputChannel", "Gain"}));
}

// A rate list or channel list reported available but delivered empty or not at all
// declares nothing for it, and the rest goes on.
TEST_F(DeviceAttributesTest, EmptyOrMissingListsDeclareNothingForThem)
{
    for (const auto fault : {vexcam::ListFault::Empty, vexcam::ListFault::Missing}) {
        RecordingFactory each;
        auto device = fullCamera();
        device.faults.lists[vexcam::ListKind::Fps] = fault;
        device.faults.lists[vexcam::ListKind::Channels] = fault;
        CameraLibrary library({device});
        FakeDeviceInfo deviceInfo(kCameraName);
        EXPECT_NO_THROW(getDeviceAttributes(&deviceInfo, kFormat, &each, &sources));
        EXPECT_EQ(each.publishedNames(), (std::vector<std::string>{"SerialNo", "Gain"}));
    }
    EXPECT_EQ(sources.sources.size(), 2u);
}

// No serial number: no "SerialNo"; one channel: one entry; no channels: no "InputChannel".
TEST_F(DeviceAttributesTest, NoSerialNumberAndNoChannelsDeclareNeither)
{
    auto device = fullCamera();
    device.serial.reset();
    device.channels = {"Composite"};
    declare(device);
    EXPECT_TRUE(factory.published("SerialNo").empty());
    EXPECT_EQ(factory.only("InputChannel").values, (EnumValues{{"Composite", 0}}));

    RecordingFactory second;
    auto bare = fullCamera();
    bare.channels.clear();
    CameraLibrary library({bare});
    FakeDeviceInfo deviceInfo(kCameraName);
    getDeviceAttributes(&deviceInfo, kFormat, &second, &sources);
    EXPECT_TRUE(second.published("InputChannel").empty());
}

// A device that does not open declares no property and no box, but still its source.
TEST_F(DeviceAttributesTest, DeviceThatDoesNotOpenStillGetsItsSource)
{
    auto device = fullCamera();
    device.opens = false;
    declare(device);
    EXPECT_TRUE(factory.calls.empty());
    EXPECT_EQ(recorder.boxCount(), 0u);
    EXPECT_EQ(sources.sources, (std::vector<std::pair<std::string, std::int32_t>>{{kCameraName, 1}}));
}

// A refused format shows a plain box captioned with the format name and goes on.
TEST_F(DeviceAttributesTest, RefusedFormatShowsBoxAndDeclaresCurrentFormat)
{
    auto device = fullCamera();
    device.faults.refuseFormat = true;
    declare(device, "NTSC_M:Y800 (320x240)");
    const auto boxes = recorder.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Failed to set videoformat");
    EXPECT_EQ(boxes[0].caption, "NTSC_M:Y800 (320x240)");
    EXPECT_EQ(boxes[0].style, MB_OK);
    EXPECT_EQ(factory.publishedNames(), (std::vector<std::string>{"SerialNo", "FrameRate", "InputChannel", "Gain"}));
}

// A failing camera property ends the call with its status: the source is not declared,
// the device is closed and the temporary grabber gone, nothing leaked.
TEST_F(DeviceAttributesTest, FailureInPublicationPropagatesAndClosesTheDevice)
{
    const HRESULT status = static_cast<HRESULT>(0x80070005u);
    auto device = fullCamera();
    device.faults.properties.push_back({vexcam::PropertyObject::IntegerRange, "Gain", "Value", 16, status});
    std::optional<std::int32_t> thrown;
    {
        CameraLibrary library({device});
        FakeDeviceInfo deviceInfo(kCameraName);
        try {
            getDeviceAttributes(&deviceInfo, kFormat, &factory, &sources);
        } catch (std::int32_t caught) {
            thrown = caught;
        }
        EXPECT_EQ(vexcam::liveGrabbers(), 0);
        EXPECT_EQ(vexcam::runningStreams(), 0);
    }
    ASSERT_TRUE(thrown.has_value());
    EXPECT_EQ(*thrown, status);
    EXPECT_EQ(factory.publishedNames(), (std::vector<std::string>{"SerialNo", "FrameRate", "InputChannel"}));
    EXPECT_TRUE(sources.sources.empty());
}

} // namespace
} // namespace orx::test
