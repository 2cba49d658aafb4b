// Discovery through the host's hardware-information object: which devices are
// announced and added, with which IDs, and which formats under which IDs.
#include "imaqhost/session.h"
#include "imaqhost/warnings.h"
#include "support/core_entry_points.h"
#include "support/rig_builders.h"

#include <gtest/gtest.h>

namespace {

using namespace orx::test;

std::vector<std::string> formatNames(const imaqhost::DeviceRecord& device)
{
    std::vector<std::string> names;
    for (const auto& f : device.formats) names.push_back(f.name);
    return names;
}

std::vector<std::int32_t> formatIds(const imaqhost::DeviceRecord& device)
{
    std::vector<std::int32_t> ids;
    for (const auto& f : device.formats) ids.push_back(f.id);
    return ids;
}

class Discovery : public RigTest {
protected:
    void SetUp() override
    {
        RigTest::SetUp();
        imaqhost::setWarningEcho(false);
        imaqhost::clearWarnings();
    }
    std::vector<imaqhost::DeviceRecord> discover()
    {
        imaqhost::Session session(coreEntryPoints());
        return session.discover();
    }
};

// No devices: the hardware-information object is never called.
TEST_F(Discovery, NoDevicesGivesNoEntries)
{
    install({});
    EXPECT_TRUE(discover().empty());
    EXPECT_TRUE(imaqhost::warnings().empty());
}

// A device without formats keeps its ID, is announced, warned about and left out.
TEST_F(Discovery, DeviceWithoutFormatsIsWarnedAboutAndLeftOut)
{
    const auto vga = listedDescription("Y800", {640, 480}, {640, 480}, {});
    install({deviceWithoutNorms("First", {}, {vga}), deviceWithoutNorms("Second", {}, {}),
             deviceWithoutNorms("Third", {}, {vga})});
    const auto devices = discover();
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].id, 1);
    EXPECT_TRUE(devices[0].added);
    EXPECT_EQ(devices[1].id, 2);
    EXPECT_EQ(devices[1].name, "Second");
    EXPECT_FALSE(devices[1].added);
    EXPECT_EQ(devices[1].fileSupport, true);
    EXPECT_EQ(devices[2].id, 3);
    EXPECT_TRUE(devices[2].added);
    ASSERT_EQ(imaqhost::warnings().size(), 1u);
    EXPECT_EQ(imaqhost::warnings()[0].identifier, "ORXadaptor:constructor");
    EXPECT_EQ(imaqhost::warnings()[0].message, "Unable to load formats of: \"Second\".");
}

// A device with norms is added even with no norms or no formats, silently.
TEST_F(Discovery, DeviceWithNormsIsAddedEvenWithoutFormats)
{
    auto noNorms = deviceWithNorms("Converter A", {});
    auto emptyNorms = deviceWithNorms("Converter B", {{"NTSC_M", {}, {}}, {"PAL_B", {}, {}}});
    install({noNorms, emptyNorms});
    const auto devices = discover();
    ASSERT_EQ(devices.size(), 2u);
    for (const auto& device : devices) {
        EXPECT_TRUE(device.added) << device.name;
        EXPECT_TRUE(device.formats.empty()) << device.name;
    }
    EXPECT_TRUE(imaqhost::warnings().empty());
}

// Format IDs run on across norms and restart at 1 for the next device.
TEST_F(Discovery, FormatIdsRunAcrossNormsAndRestartPerDevice)
{
    const std::vector<vexcam::FormatSpec> three = {format("Y800", 640, 480), format("RGB24", 640, 480),
                                                   format("UYVY", 720, 480)};
    install({deviceWithNorms("Converter", {{"NTSC_M", three, {}}, {"PAL_B", three, {}}}),
             deviceWithoutNorms("Camera", {}, {listedDescription("Y800", {640, 480}, {640, 480}, {})})});
    const auto devices = discover();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(formatIds(devices[0]), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(formatNames(devices[0]),
              (std::vector<std::string>{"NTSC_M:Y800 (640x480)", "NTSC_M:RGB24 (640x480)",
                                        "NTSC_M:UYVY (720x480)", "PAL_B:Y800 (640x480)",
                                        "PAL_B:RGB24 (640x480)", "PAL_B:UYVY (720x480)"}));
    for (const auto& f : devices[0].formats) {
        EXPECT_TRUE(f.added);
        EXPECT_FALSE(f.isDefault);
    }
    EXPECT_EQ(devices[1].formats.front().id, 1);
}

// A device that does not open is still announced; its (empty) lists decide the rest.
TEST_F(Discovery, DeviceThatDoesNotOpenIsAnnouncedThenLeftOut)
{
    auto broken = deviceWithoutNorms("Broken", {format("Y800", 640, 480)},
                                     {gridDescription("Y800", {640, 480}, {640, 480})});
    broken.opens = false;
    install({broken});
    const auto devices = discover();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].fileSupport, true);
    EXPECT_FALSE(devices[0].added);
    ASSERT_EQ(imaqhost::warnings().size(), 1u);
}

// A device name with '%' directives is warned about as plain text.
TEST_F(Discovery, WarningKeepsPercentSignsOfTheDeviceName)
{
    install({deviceWithoutNorms("Cam %s %n %d", {}, {})});
    discover();
    ASSERT_EQ(imaqhost::warnings().size(), 1u);
    EXPECT_EQ(imaqhost::warnings()[0].message, "Unable to load formats of: \"Cam %s %n %d\".");
}

// A very long device name is cut at the 1024-byte message buffer, never overrun.
TEST_F(Discovery, LongDeviceNameIsCutAtTheMessageBuffer)
{
    install({deviceWithoutNorms(std::string(5000, 'N'), {}, {})});
    discover();
    ASSERT_EQ(imaqhost::warnings().size(), 1u);
    EXPECT_EQ(imaqhost::warnings()[0].message.size(), 1023u);
    EXPECT_EQ(imaqhost::warnings()[0].message.rfind("Unable to load formats of: \"NNN", 0), 0u);
}

// A missing device list is treated as no devices.
TEST_F(Discovery, MissingDeviceListIsNoDevices)
{
    vexcam::Rig rig;
    rig.devices = {deviceWithoutNorms("Camera", {}, {listedDescription("Y800", {640, 480}, {640, 480}, {})})};
    rig.deviceList = vexcam::ListFault::Missing;
    vexcam::installRig(rig);
    EXPECT_TRUE(discover().empty());
}

} // namespace
