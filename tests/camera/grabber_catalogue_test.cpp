#include "camera_fixture.h"
#include "vexcam/testing/camera_testing.h"

#include <algorithm>
#include <set>

namespace vexcam::test {
namespace {

using Vexlib::Grabber;
using Vexlib::VideoFormatItem;

constexpr GUID kExcludedSubtype{0x20385942, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

std::vector<std::string> formatTexts(const std::vector<VideoFormatItem>& formats)
{
    std::vector<std::string> texts;
    for (const auto& format : formats) texts.push_back(takeText(format.toString_()));
    return texts;
}

class GrabberCatalogueTest : public CameraTest {
protected:
    void SetUp() override
    {
        CameraTest::SetUp();
        useDefaultRig();
    }
};

// The device list is the rig's, in order, with names and serial numbers.
TEST_F(GrabberCatalogueTest, DeviceListFollowsTheRig)
{
    Grabber grabber;
    const auto devices = copyList(grabber.getAvailableVideoCaptureDevices_());
    ASSERT_EQ(devices.size(), 4u);
    EXPECT_STREQ(devices[0].c_str(), kColourCamera);
    EXPECT_STREQ(devices[1].c_str(), kRoiCamera);
    EXPECT_STREQ(devices[2].c_str(), kConverter);
    EXPECT_STREQ(devices[3].c_str(), kEdgeDevice);
    std::int64_t serial = 0;
    EXPECT_TRUE(devices[0].getSerialNumber(serial));
    EXPECT_EQ(serial, 22810176);
    EXPECT_FALSE(devices[2].getSerialNumber(serial));
}

// Opening by name; an unknown name or a device that does not open leaves the
// grabber without a device, and closing ends it.
TEST_F(GrabberCatalogueTest, OpenCloseAndUnknownDevices)
{
    Grabber grabber;
    EXPECT_FALSE(grabber.isDevValid());
    EXPECT_TRUE(openDevice(grabber, kRoiCamera));
    EXPECT_TRUE(grabber.isDevValid());
    EXPECT_STREQ(grabber.getDev().c_str(), kRoiCamera);
    EXPECT_FALSE(openDevice(grabber, "ORX Nothing"));
    EXPECT_FALSE(grabber.isDevValid());
    EXPECT_FALSE(grabber.getVideoFormat().isValid());
    EXPECT_TRUE(copyList(grabber.getAvailableVideoNorms_()).empty());
    EXPECT_FALSE(grabber.getAvailableVCDProperties());
    EXPECT_TRUE(openDevice(grabber, kColourCamera));
    EXPECT_TRUE(grabber.closeDev());
    EXPECT_FALSE(grabber.isDevValid());
    EXPECT_FALSE(grabber.closeDev());

    Rig rig = defaultRig();
    rig.devices[0].opens = false;
    installRig(rig);
    EXPECT_FALSE(openDevice(grabber, kColourCamera));
    EXPECT_FALSE(grabber.isDevValid());
}

// A device without norms: an implicit norm whose lists are the device's own.
TEST_F(GrabberCatalogueTest, DeviceWithoutNormsHasAnImplicitNorm)
{
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kColourCamera));
    EXPECT_FALSE(grabber.isVideoNormAvailableWithCurDev());
    EXPECT_TRUE(copyList(grabber.getAvailableVideoNorms_()).empty());
    const auto norm = grabber.getVideoNorm();
    ASSERT_TRUE(norm.isValid());
    EXPECT_STREQ(norm.c_str(), "");
    EXPECT_EQ(formatTexts(copyList(grabber.getAvailableVideoFormats_(norm))),
              (std::vector<std::string>{"RGB24 (640x480)", "RGB24 (1280x960)", "RGB24 (1920x1080)",
                                        "RGB24 (2448x2048)", "RGB32 (640x480)", "RGB32 (2448x2048)",
                                        "BY8 (2448x2048)"}));
    const auto descriptions = copyList(grabber.getAvailableVideoFormatDescs_(norm));
    ASSERT_EQ(descriptions.size(), 3u);
    EXPECT_FALSE(descriptions[0]->isROIFormat());
    EXPECT_EQ(descriptions[2]->getSubtype(), kExcludedSubtype);
    EXPECT_TRUE(descriptions[0]->isValidSize({1280, 720}));
    EXPECT_FALSE(descriptions[0]->isValidSize({1024, 786}));
    EXPECT_EQ(takeText(grabber.getVideoFormat().toString_()), "RGB24 (640x480)");
}

// Region-of-interest descriptions accept every size on their step grid
// between minimum and maximum, and nothing else.
TEST_F(GrabberCatalogueTest, RoiDescriptionsAcceptTheirGrid)
{
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kRoiCamera));
    const auto descriptions = copyList(grabber.getAvailableVideoFormatDescs_(grabber.getVideoNorm()));
    ASSERT_EQ(descriptions.size(), 2u);
    const auto& y800 = *descriptions[0];
    EXPECT_TRUE(y800.isROIFormat());
    EXPECT_EQ(y800.getMinSize().cx, 16);
    EXPECT_EQ(y800.getMinSize().cy, 4);
    EXPECT_EQ(y800.getMaxSize().cx, 1280);
    EXPECT_EQ(y800.getMaxSize().cy, 960);
    EXPECT_EQ(y800.getStepSize().cx, 4);
    EXPECT_EQ(y800.getStepSize().cy, 2);
    EXPECT_TRUE(y800.isValidSize({16, 4}));
    EXPECT_TRUE(y800.isValidSize({1024, 786}));
    EXPECT_TRUE(y800.isValidSize({1280, 960}));
    EXPECT_FALSE(y800.isValidSize({1022, 480})); // off the width step
    EXPECT_FALSE(y800.isValidSize({1020, 481})); // off the height step
    EXPECT_FALSE(y800.isValidSize({12, 4}));     // below the minimum
    EXPECT_FALSE(y800.isValidSize({1284, 960})); // above the maximum
}

// A device with norms lists its norms; each norm has its own formats, and
// switching the norm keeps or replaces the format.
TEST_F(GrabberCatalogueTest, NormsHaveTheirOwnFormats)
{
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kConverter));
    EXPECT_TRUE(grabber.isVideoNormAvailableWithCurDev());
    const auto norms = copyList(grabber.getAvailableVideoNorms_());
    ASSERT_EQ(norms.size(), 2u);
    EXPECT_STREQ(norms[0].c_str(), "NTSC_M");
    EXPECT_STREQ(norms[1].c_str(), "PAL_B");
    EXPECT_EQ(formatTexts(copyList(grabber.getAvailableVideoFormats_(norms[1]))),
              (std::vector<std::string>{"Y800 (768x576)", "RGB24 (768x576)", "RGB32 (768x576)", "RGB24 (384x288)"}));

    EXPECT_STREQ(grabber.getVideoNorm().c_str(), "NTSC_M");
    EXPECT_TRUE(grabber.setVideoNorm(norms[1]));
    EXPECT_STREQ(grabber.getVideoNorm().c_str(), "PAL_B");
    EXPECT_EQ(takeText(grabber.getVideoFormat().toString_()), "Y800 (768x576)");
    EXPECT_TRUE(selectNorm(grabber, "NTSC_M"));
    EXPECT_FALSE(selectNorm(grabber, "SECAM"));
    EXPECT_FALSE(selectNorm(grabber, "NTSC_M:Y800 (640x480)"));
    EXPECT_STREQ(grabber.getVideoNorm().c_str(), "NTSC_M");
}

// Input channels carry their index; only an existing channel can be chosen.
TEST_F(GrabberCatalogueTest, InputChannels)
{
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kConverter));
    EXPECT_TRUE(grabber.isInputChannelAvailableWithCurDev());
    const auto channels = copyList(grabber.getAvailableInputChannels_());
    ASSERT_EQ(channels.size(), 2u);
    EXPECT_STREQ(channels[1].c_str(), "S-Video");
    EXPECT_EQ(channels[1].getIndex(), 1);
    EXPECT_EQ(grabber.getInputChannel().getIndex(), 0);
    EXPECT_TRUE(grabber.setInputChannel(1));
    EXPECT_STREQ(grabber.getInputChannel().c_str(), "S-Video");
    EXPECT_FALSE(grabber.setInputChannel(2));
    EXPECT_EQ(grabber.getInputChannel().getIndex(), 1);

    ASSERT_TRUE(openDevice(grabber, kRoiCamera));
    EXPECT_FALSE(grabber.isInputChannelAvailableWithCurDev());
    EXPECT_TRUE(copyList(grabber.getAvailableInputChannels_()).empty());
}

// The edge device opens but offers no format at all.
TEST_F(GrabberCatalogueTest, EdgeDeviceHasNoFormats)
{
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kEdgeDevice));
    EXPECT_FALSE(grabber.isVideoNormAvailableWithCurDev());
    const auto norm = grabber.getVideoNorm();
    EXPECT_TRUE(copyList(grabber.getAvailableVideoFormats_(norm)).empty());
    EXPECT_TRUE(copyList(grabber.getAvailableVideoFormatDescs_(norm)).empty());
    EXPECT_FALSE(grabber.getVideoFormat().isValid());
    EXPECT_FALSE(grabber.startLive(false));
}

// Format items: text, colour format and size; equality on colour format,
// subtype and size; ordering by colour-format name, then width, then height.
TEST_F(GrabberCatalogueTest, FormatItemsCompareAndOrder)
{
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kRoiCamera));
    const auto descriptions = copyList(grabber.getAvailableVideoFormatDescs_(grabber.getVideoNorm()));
    const auto& y800 = *descriptions[0];
    const auto& y16 = *descriptions[1];
    const VideoFormatItem small = y800.createVideoFormat(640, 480);
    EXPECT_EQ(takeText(small.toString_()), "Y800 (640x480)");
    EXPECT_STREQ(small.c_str(), "Y800 (640x480)");
    EXPECT_EQ(takeText(small.getColorformatString_()), "Y800");
    EXPECT_EQ(small.getSize().cx, 640);
    EXPECT_EQ(small.getSize().cy, 480);

    EXPECT_TRUE(small == y800.createVideoFormat(SIZE{640, 480}));
    EXPECT_FALSE(small == y16.createVideoFormat(640, 480));
    EXPECT_FALSE(small == y800.createVideoFormat(640, 482));
    EXPECT_FALSE(small == VideoFormatItem());
    EXPECT_TRUE(VideoFormatItem() == VideoFormatItem());

    // "Y16" < "Y800" by name; within a colour format by width, then height.
    EXPECT_TRUE(y16.createVideoFormat(1280, 960) < small);
    EXPECT_TRUE(small < y800.createVideoFormat(644, 4));
    EXPECT_TRUE(small < y800.createVideoFormat(640, 482));
    EXPECT_FALSE(small < y800.createVideoFormat(640, 480));
    EXPECT_TRUE(VideoFormatItem() < small);
    EXPECT_FALSE(small < VideoFormatItem());

    // A description makes formats of any size; the grabber decides what it accepts.
    const VideoFormatItem odd = y800.createVideoFormat(3, 3);
    EXPECT_TRUE(odd.isValid());
    EXPECT_FALSE(grabber.setVideoFormat(odd));
}

// Every list answers a list fault from the rig: Empty gives an empty list,
// Missing an empty handle; missing descriptions are empty handles in place.
TEST_F(GrabberCatalogueTest, ListFaults)
{
    DeviceFaults faults;
    for (auto kind : {ListKind::Norms, ListKind::Formats, ListKind::Channels, ListKind::Fps})
        faults.lists[kind] = ListFault::Missing;
    faults.lists[ListKind::Descriptions] = ListFault::None;
    faults.lists[ListKind::FrameRates] = ListFault::Empty;
    faults.missingDescriptions = {1};
    ASSERT_TRUE(setDeviceFaults(kConverter, faults));

    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kConverter));
    const auto norm = grabber.getVideoNorm();
    EXPECT_FALSE(grabber.getAvailableVideoNorms_());
    EXPECT_FALSE(grabber.getAvailableVideoFormats_(norm));
    EXPECT_FALSE(grabber.getAvailableInputChannels_());
    EXPECT_FALSE(grabber.getAvailableFPS_(grabber.getVideoFormat()));
    const auto values = grabber.getAvailableFrameRates_(grabber.getVideoFormat());
    ASSERT_TRUE(values);
    EXPECT_TRUE(values->empty());
    const auto descriptions = copyList(grabber.getAvailableVideoFormatDescs_(norm));
    ASSERT_EQ(descriptions.size(), 3u);
    EXPECT_TRUE(descriptions[0]);
    EXPECT_FALSE(descriptions[1]);
    EXPECT_TRUE(descriptions[2]);

    setDeviceListFault(ListFault::Missing);
    EXPECT_FALSE(grabber.getAvailableVideoCaptureDevices_());
    setDeviceListFault(ListFault::Empty);
    EXPECT_TRUE(copyList(grabber.getAvailableVideoCaptureDevices_()).empty());
    setDeviceListFault(ListFault::None);
}

// Refused norms and formats change nothing.
TEST_F(GrabberCatalogueTest, RefusedNormAndFormat)
{
    DeviceFaults faults;
    faults.refuseNorm = true;
    faults.refuseFormat = true;
    ASSERT_TRUE(setDeviceFaults(kConverter, faults));
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kConverter));
    EXPECT_FALSE(selectNorm(grabber, "PAL_B"));
    EXPECT_FALSE(selectFormat(grabber, "RGB24 (640x480)"));
    EXPECT_STREQ(grabber.getVideoNorm().c_str(), "NTSC_M");
    EXPECT_EQ(takeText(grabber.getVideoFormat().toString_()), "Y800 (640x480)");
    EXPECT_EQ(deviceFaults(kConverter).refuseNorm, true);
    EXPECT_FALSE(setDeviceFaults("ORX Nothing", faults));
}

// The overlay path position is recorded for tests to read back.
TEST_F(GrabberCatalogueTest, OverlayPositionIsRecorded)
{
    Grabber grabber;
    EXPECT_EQ(grabber.getOverlayBitmapPathPosition(), 2);
    EXPECT_TRUE(grabber.setOverlayBitmapPathPosition(0));
    EXPECT_EQ(grabber.getOverlayBitmapPathPosition(), 0);
}

// Colour formats map to the usual media subtypes; an invalid one to zero.
TEST_F(GrabberCatalogueTest, SubtypesOfColourFormats)
{
    EXPECT_EQ(Vexlib::getSubtypeFromColorformat(Vexlib::eY800).Data1, 0x30303859u);
    EXPECT_EQ(Vexlib::getSubtypeFromColorformat(Vexlib::eY16).Data1, 0x20363159u);
    EXPECT_EQ(Vexlib::getSubtypeFromColorformat(Vexlib::eBY8), kExcludedSubtype);
    EXPECT_EQ(Vexlib::getSubtypeFromColorformat(Vexlib::eRGB24).Data1, 0xE436EB7Du);
    EXPECT_EQ(Vexlib::getSubtypeFromColorformat(Vexlib::eRGB32).Data1, 0xE436EB7Eu);
    EXPECT_EQ(Vexlib::getSubtypeFromColorformat(Vexlib::eInvalidColorformat), GUID{});
    EXPECT_EQ(Vexlib::getSubtypeFromColorformat(static_cast<Vexlib::tColorformatEnum>(99)), GUID{});
}

} // namespace
} // namespace vexcam::test
