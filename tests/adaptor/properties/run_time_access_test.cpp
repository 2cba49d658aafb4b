// Reads and writes of device properties at run time, against an open simulated camera.
#include "properties/run_time_access.h"

#include "properties/property_model.h"
#include "property_fakes.h"
#include "property_rig.h"
#include "support/box_recorder.h"
#include "support/leak_check.h"

#include "imaqhost/warnings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace orx::test {
namespace {

using vexcam::ElementSpec;
using vexcam::ItemSpec;
using vexcam::PropertyObject;

constexpr std::int32_t kUntouched = 0x5A5A5A5A;

ItemSpec listItem(const std::string& name, std::int32_t min, std::int32_t value)
{
    return {name, testGuid(50), {listElement("Value", Vexlib::ValueElementId, {min, value, value, {"a", "b", "c", "d"}})}};
}

ItemSpec switchItem(const std::string& name, std::int16_t state)
{
    return {name, testGuid(60), {switchElement("Enable", Vexlib::ValueElementId, state)}};
}

ItemSpec doubleItem(const std::string& name, double value)
{
    return {name, testGuid(70), {doubleElement("Value", Vexlib::ValueElementId, {0.0, 10.0, 1.0, value})}};
}

ItemSpec buttonItem(const std::string& name)
{
    return {name, testGuid(80), {buttonElement("Value", Vexlib::ValueElementId)}};
}

class RunTimeAccessTest : public QuietWarningsTest {
protected:
    static std::int32_t readInt(Vexlib::Grabber& grabber, const std::string& name,
                                std::int32_t initial = kUntouched)
    {
        std::int64_t buffer = initial; // the host's 8-byte value buffer
        FakePropInfo info(name);
        readDeviceProperty(grabber, &info, &buffer);
        std::int32_t value = 0;
        std::memcpy(&value, &buffer, sizeof value);
        return value;
    }
    static double readDouble(Vexlib::Grabber& grabber, const std::string& name)
    {
        double buffer = -1;
        FakePropInfo info(name);
        readDeviceProperty(grabber, &info, &buffer);
        return buffer;
    }
    static std::int32_t writeInt(Vexlib::Grabber& grabber, const std::string& name, std::int32_t value)
    {
        FakePropInfo info(name);
        writeDeviceProperty(grabber, &info, &value);
        return value;
    }
    static void writeDouble(Vexlib::Grabber& grabber, const std::string& name, double value)
    {
        FakePropInfo info(name);
        writeDeviceProperty(grabber, &info, &value);
    }
    static std::vector<std::string> warningTexts()
    {
        std::vector<std::string> texts;
        for (const auto& warning : imaqhost::warnings()) {
            EXPECT_EQ(warning.identifier, "ORXadaptor:constructor");
            texts.push_back(warning.message);
        }
        return texts;
    }
};

// The camera's current value of the element published under `name`, as integer.
std::int32_t cameraListValue(Vexlib::Grabber& grabber, const std::string& name)
{
    const auto element = findCameraElement(grabber, name);
    ComPtr<Vexlib::StringListInterface> list;
    lookUpInterface(*element.get(), list);
    LONG value = 0;
    EXPECT_EQ(list->get_Value(&value), S_OK);
    return value;
}

VARIANT_BOOL cameraSwitchState(Vexlib::Grabber& grabber, const std::string& name)
{
    const auto element = findCameraElement(grabber, name);
    ComPtr<Vexlib::SwitchInterface> switchInterface;
    lookUpInterface(*element.get(), switchInterface);
    VARIANT_BOOL state = 0;
    EXPECT_EQ(switchInterface->get_Switch(&state), S_OK);
    return state;
}

std::int32_t serialReadAs(std::int64_t serial)
{
    auto device = cameraDevice();
    device.serial = serial;
    OpenCamera camera(device);
    std::int64_t buffer = 0;
    FakePropInfo info("SerialNo");
    readDeviceProperty(camera.grabber(), &info, &buffer);
    return static_cast<std::int32_t>(buffer);
}

// The hexadecimal digits of the low 32 bits read back as a decimal number, up to the first letter.
TEST_F(RunTimeAccessTest, SerialNumberReadsHexDigitsAsDecimal)
{
    EXPECT_EQ(serialReadAs(0x123), 123);
    EXPECT_EQ(serialReadAs(0xF01), 0);
    EXPECT_EQ(serialReadAs(0x1A), 1);
    EXPECT_EQ(serialReadAs(0x12), 12);
    EXPECT_EQ(serialReadAs(0x7FFFFFFF00000099LL), 99);
    EXPECT_EQ(serialReadAs(0x99999999), 99999999);
}

// Without a serial number the host's buffer is left as it was, without a warning.
TEST_F(RunTimeAccessTest, SerialNumberAbsentLeavesBufferAsPassed)
{
    OpenCamera camera(cameraDevice());
    EXPECT_EQ(readInt(camera.grabber(), "SerialNo"), kUntouched);
    EXPECT_TRUE(warningTexts().empty());
}

// The fixed names are compared first: a camera property of the same name is never reached.
TEST_F(RunTimeAccessTest, FixedNamesAreServedBeforeCameraProperties)
{
    auto device = cameraDevice({integerItem("FrameRate", {0, 100, 77, 77}), integerItem("InputChannel", {0, 100, 77, 77}),
                                integerItem("SerialNo", {0, 100, 77, 77}), integerItem("serialno", {0, 100, 77, 77})});
    device.serial = 0x42;
    device.channels = {"Composite", "S-Video"};
    device.frameRates.defaults = {30, 15};
    OpenCamera camera(device);
    auto& grabber = camera.grabber();
    EXPECT_EQ(readInt(grabber, "SerialNo"), 42);
    EXPECT_EQ(readInt(grabber, "serialno"), 77);
    writeInt(grabber, "InputChannel", 1);
    EXPECT_EQ(readInt(grabber, "InputChannel"), 1);
    writeInt(grabber, "FrameRate", 1);
    EXPECT_EQ(readInt(grabber, "FrameRate"), 1);
    writeInt(grabber, "FrameRate", 0);
    EXPECT_EQ(readInt(grabber, "FrameRate"), 0);
}

// A rate value found twice reads as the later position; outside writes change nothing.
TEST_F(RunTimeAccessTest, FrameRateReadsLastMatchAndIgnoresPositionsOutside)
{
    auto device = cameraDevice();
    device.frameRates.defaults = {30, 15, 30};
    OpenCamera camera(device);
    auto& grabber = camera.grabber();
    writeInt(grabber, "FrameRate", 1);
    const std::int32_t fifteen = grabber.getFrameRate();
    EXPECT_EQ(readInt(grabber, "FrameRate"), 1);
    for (const std::int32_t outside : {3, 4, -1, 0x7FFFFFFF}) {
        writeInt(grabber, "FrameRate", outside);
        EXPECT_EQ(grabber.getFrameRate(), fifteen) << outside;
    }
    writeInt(grabber, "FrameRate", 0);
    EXPECT_EQ(readInt(grabber, "FrameRate"), 2);
    EXPECT_TRUE(warningTexts().empty());
}

// Without a rate list (unavailable, empty or missing) nothing is read or written.
TEST_F(RunTimeAccessTest, FrameRateWithoutListChangesNothing)
{
    auto device = cameraDevice();
    device.frameRates.defaults = {30, 15};
    {
        OpenCamera camera(device);
        auto& grabber = camera.grabber();
        const std::int32_t before = grabber.getFrameRate();
        for (const auto fault : {vexcam::ListFault::Empty, vexcam::ListFault::Missing}) {
            vexcam::DeviceFaults faults;
            faults.lists[vexcam::ListKind::FrameRates] = fault;
            camera.setFaults(faults);
            EXPECT_EQ(readInt(grabber, "FrameRate"), kUntouched);
            writeInt(grabber, "FrameRate", 1);
            EXPECT_EQ(grabber.getFrameRate(), before);
        }
    }
    device.frameRates.available = false;
    OpenCamera camera(device);
    const std::int32_t before = camera.grabber().getFrameRate();
    writeInt(camera.grabber(), "FrameRate", 1);
    EXPECT_EQ(camera.grabber().getFrameRate(), before);
}

// Integer, double, string-list, switch and button values in both directions.
TEST_F(RunTimeAccessTest, CameraValuesTravelThroughTheirInterfaces)
{
    OpenCamera camera(cameraDevice({integerItem("Brightness", {0, 255, 128, 100}), doubleItem("Exposure", 0.25),
                                    listItem("Strobe Mode", 2, 5), switchItem("Trigger", -1), buttonItem("One Push")}));
    auto& grabber = camera.grabber();
    EXPECT_EQ(readInt(grabber, "Brightness"), 100);
    writeInt(grabber, "Brightness", 200);
    EXPECT_EQ(readInt(grabber, "Brightness"), 200);

    EXPECT_DOUBLE_EQ(readDouble(grabber, "Exposure"), 0.25);
    writeDouble(grabber, "Exposure", 7.5);
    EXPECT_DOUBLE_EQ(readDouble(grabber, "Exposure"), 7.5);

    EXPECT_EQ(readInt(grabber, "StrobeMode"), 3);
    writeInt(grabber, "StrobeMode", 0);
    EXPECT_EQ(cameraListValue(grabber, "StrobeMode"), 2);
    EXPECT_EQ(readInt(grabber, "StrobeMode"), 0);

    EXPECT_EQ(readInt(grabber, "Trigger"), 1);
    writeInt(grabber, "Trigger", 0);
    EXPECT_EQ(cameraSwitchState(grabber, "Trigger"), 0);
    writeInt(grabber, "Trigger", 5);
    EXPECT_EQ(cameraSwitchState(grabber, "Trigger"), VARIANT_TRUE);

    BoxRecorder recorder;
    EXPECT_EQ(readInt(grabber, "OnePush"), 0);
    EXPECT_EQ(recorder.debugLines().back(), "... OK\n");
    EXPECT_TRUE(recorder.anyDebugLineContains("P_Set "));
    writeInt(grabber, "OnePush", 1);
    writeInt(grabber, "OnePush", 0);
    EXPECT_TRUE(warningTexts().empty());
}

// A switch reads 1 only for the state -1.
TEST_F(RunTimeAccessTest, SwitchReadsOnOnlyForMinusOne)
{
    OpenCamera camera(cameraDevice({switchItem("A", 1), switchItem("B", 0), switchItem("C", -2), switchItem("D", -1)}));
    EXPECT_EQ(readInt(camera.grabber(), "A"), 0);
    EXPECT_EQ(readInt(camera.grabber(), "B"), 0);
    EXPECT_EQ(readInt(camera.grabber(), "C"), 0);
    EXPECT_EQ(readInt(camera.grabber(), "D"), 1);
}

// An element offering both ranges is served as a double.
TEST_F(RunTimeAccessTest, DoubleRangeWinsOverIntegerRange)
{
    ItemSpec exposure{"Exposure", testGuid(1), {}};
    exposure.elements.push_back(integerElement("Value", Vexlib::ValueElementId, {0, 100, 5, 5}));
    exposure.elements.back().doubleRange = vexcam::DoubleRangeSpec{0.0, 1.0, 0.5, 0.5};
    OpenCamera camera(cameraDevice({exposure}));
    EXPECT_DOUBLE_EQ(readDouble(camera.grabber(), "Exposure"), 0.5);
}

// Of several items holding the name, the last wins; within an item its first element.
TEST_F(RunTimeAccessTest, LastMatchingItemWinsFirstElementWithinIt)
{
    ItemSpec first = integerItem("Gain", {0, 100, 1, 1});
    ItemSpec last = integerItem("Gain", {0, 100, 2, 2});
    last.elements.push_back(integerElement(" ", testGuid(90), {0, 100, 3, 3}));
    OpenCamera camera(cameraDevice({first, last}));
    EXPECT_EQ(readInt(camera.grabber(), "Gain"), 2);
    writeInt(camera.grabber(), "Gain", 9);
    EXPECT_EQ(readInt(camera.grabber(), "Gain"), 9);
}

// Unknown names: a warning with the name as plain text, and 0 in the host's buffer.
TEST_F(RunTimeAccessTest, UnknownNameWarnsAndWritesZero)
{
    OpenCamera camera(cameraDevice({integerItem("Gain", {0, 100, 1, 1})}));
    EXPECT_EQ(readInt(camera.grabber(), "gain"), 0);
    EXPECT_EQ(writeInt(camera.grabber(), "100%s Gain", 7), 0);
    EXPECT_EQ(warningTexts(), (std::vector<std::string>{"P_get() Property \"gain\" not found.",
                                                         "Property \"100%s Gain\" not found."}));
}

// An element without typed interfaces is neither read nor written, without a warning.
TEST_F(RunTimeAccessTest, ElementWithoutInterfacesIsLeftAlone)
{
    OpenCamera camera(cameraDevice({{"Info", testGuid(1), {plainElement("Value", Vexlib::ValueElementId)}}}));
    EXPECT_EQ(readInt(camera.grabber(), "Info"), kUntouched);
    EXPECT_EQ(writeInt(camera.grabber(), "Info", 3), 3);
    EXPECT_TRUE(warningTexts().empty());
}

// On an invalid device every property, fixed ones included, warns and gives 0.
TEST_F(RunTimeAccessTest, InvalidDeviceWarnsAndGivesZero)
{
    auto device = cameraDevice({integerItem("Gain", {0, 100, 1, 1})});
    device.opens = false;
    device.serial = 0x123;
    OpenCamera camera(device);
    for (const char* name : {"SerialNo", "FrameRate", "InputChannel", "Gain"}) {
        EXPECT_EQ(readInt(camera.grabber(), name), 0);
        EXPECT_EQ(writeInt(camera.grabber(), name, 5), 0);
    }
    const auto texts = warningTexts();
    ASSERT_EQ(texts.size(), 8u);
    EXPECT_EQ(texts[0], "Unable to get property. Device invalid.");
    EXPECT_EQ(texts[1], "Unable to set property. Device invalid.");
}

// A null value pointer or property information is no crash.
TEST_F(RunTimeAccessTest, NullPointersAreHarmless)
{
    OpenCamera camera(cameraDevice({integerItem("Gain", {0, 100, 1, 1})}));
    FakePropInfo info("Gain");
    EXPECT_NO_THROW(readDeviceProperty(camera.grabber(), &info, nullptr));
    EXPECT_NO_THROW(writeDeviceProperty(camera.grabber(), &info, nullptr));
    std::int32_t value = 3;
    readDeviceProperty(camera.grabber(), nullptr, &value);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(warningTexts(), std::vector<std::string>{"P_get() Property \"\" not found."});
}

struct FailingAccess {
    const char* name;
    PropertyObject object;
    const char* item;
    int slot;
    bool write;
};

class RunTimeAccessFailureTest : public RunTimeAccessTest,
                                 public ::testing::WithParamInterface<FailingAccess> {};

// A negative status from any slot reaches the caller as itself, with nothing leaked.
TEST_P(RunTimeAccessFailureTest, NegativeStatusReachesTheCaller)
{
    const HRESULT status = static_cast<HRESULT>(0x8007139Fu);
    const auto& access = GetParam();
    auto device = cameraDevice({integerItem("Brightness", {0, 255, 128, 100}), doubleItem("Exposure", 0.25),
                                listItem("Strobe", 2, 5), switchItem("Trigger", -1), buttonItem("Push")});
    device.faults.properties.push_back({access.object, access.item, access.object == PropertyObject::Items ? "" : "Value",
                                        access.slot, status});
    if (access.object == PropertyObject::Switch) device.faults.properties.back().element = "Enable";
    OpenCamera camera(device);
    std::optional<std::int32_t> thrown;
    try {
        if (access.write)
            writeDouble(camera.grabber(), access.item, 1.0);
        else
            readDouble(camera.grabber(), access.item);
    } catch (std::int32_t caught) {
        thrown = caught;
    }
    ASSERT_TRUE(thrown.has_value());
    EXPECT_EQ(*thrown, status);
    EXPECT_TRUE(warningTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Slots, RunTimeAccessFailureTest,
    ::testing::Values(FailingAccess{"ItemCount", PropertyObject::Items, "Brightness", 9, false},
                      FailingAccess{"ItemName", PropertyObject::Item, "Exposure", 7, true},
                      FailingAccess{"IntegerGet", PropertyObject::IntegerRange, "Brightness", 13, false},
                      FailingAccess{"IntegerPut", PropertyObject::IntegerRange, "Brightness", 14, true},
                      FailingAccess{"DoubleGet", PropertyObject::DoubleRange, "Exposure", 13, false},
                      FailingAccess{"DoublePut", PropertyObject::DoubleRange, "Exposure", 14, true},
                      FailingAccess{"ListGet", PropertyObject::StringList, "Strobe", 13, false},
                      FailingAccess{"ListMinimumOnRead", PropertyObject::StringList, "Strobe", 15, false},
                      FailingAccess{"ListMinimumOnWrite", PropertyObject::StringList, "Strobe", 15, true},
                      FailingAccess{"ListPut", PropertyObject::StringList, "Strobe", 14, true},
                      FailingAccess{"SwitchGet", PropertyObject::Switch, "Trigger", 13, false},
                      FailingAccess{"SwitchPut", PropertyObject::Switch, "Trigger", 14, true},
                      FailingAccess{"ButtonPush", PropertyObject::Button, "Push", 13, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace orx::test
