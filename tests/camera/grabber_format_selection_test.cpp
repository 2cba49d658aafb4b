#include "camera_fixture.h"

#include "common/bstr.h"
#include "common/com_ptr.h"
#include "platform/vexlib_properties.h"

#include <cstdlib>
#include <fstream>

namespace vexcam::test {
namespace {

void setRigVariable(const std::string& value)
{
#if defined(_WIN32)
    _putenv_s("ORX_SIM_RIG", value.c_str()); // an empty value removes it
#else
    if (value.empty())
        ::unsetenv("ORX_SIM_RIG");
    else
        ::setenv("ORX_SIM_RIG", value.c_str(), 1);
#endif
}

using Vexlib::Grabber;
using Vexlib::VideoFormatItem;

// The names a format catalogue offers for a device without norms: each
// description (but the excluded subtype) tried at the standard sizes, the
// device's large sizes, its minimum and its maximum.
std::vector<VideoFormatItem> catalogueFormats(Grabber& grabber)
{
    static const SIZE kTrialSizes[] = {{320, 240},   {640, 480},   {768, 576},   {720, 576},
                                       {1024, 786},  {1280, 720},  {1280, 960},  {1920, 1080},
                                       {1600, 1200}, {2048, 1536}, {2560, 1920}};
    std::vector<SIZE> large;
    for (const auto& format : copyList(grabber.getAvailableVideoFormats_(grabber.getVideoNorm())))
        if (format.getSize().cx >= 1024) large.push_back(format.getSize());
    const GUID excludedSubtype = Vexlib::getSubtypeFromColorformat(Vexlib::eBY8);
    std::vector<VideoFormatItem> formats;
    for (const auto& description : copyList(grabber.getAvailableVideoFormatDescs_(grabber.getVideoNorm()))) {
        if (description->getSubtype() == excludedSubtype) continue;
        for (const SIZE& size : kTrialSizes)
            if (description->isValidSize(size)) formats.push_back(description->createVideoFormat(size));
        for (const SIZE& size : large)
            if (description->isValidSize(size)) formats.push_back(description->createVideoFormat(size));
        formats.push_back(description->createVideoFormat(description->getMinSize()));
        formats.push_back(description->createVideoFormat(description->getMaxSize()));
    }
    return formats;
}

class FormatSelectionTest : public CameraTest {
protected:
    void SetUp() override
    {
        CameraTest::SetUp();
        useDefaultRig();
    }
};

// Every name a catalogue offers selects exactly that format, by name and by item.
TEST_F(FormatSelectionTest, EveryCatalogueNameSelectsItsFormat)
{
    for (const char* device : {kColourCamera, kRoiCamera}) {
        Grabber grabber;
        ASSERT_TRUE(openDevice(grabber, device));
        const auto formats = catalogueFormats(grabber);
        ASSERT_GT(formats.size(), 4u) << device;
        for (const auto& format : formats) {
            const std::string name = takeText(format.toString_());
            ASSERT_TRUE(selectFormat(grabber, name)) << device << ": " << name;
            EXPECT_TRUE(grabber.getVideoFormat() == format) << name;
            ASSERT_TRUE(grabber.setVideoFormat(format)) << name;
        }
    }
}

// With norms, a format is named by its text within the current norm, or as
// "norm:format", which also selects the norm.
TEST_F(FormatSelectionTest, NormFormatNamesSelectNormAndFormat)
{
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kConverter));
    EXPECT_TRUE(selectFormat(grabber, "RGB32 (640x480)"));
    EXPECT_FALSE(selectFormat(grabber, "RGB32 (768x576)")); // a PAL format while NTSC is set
    EXPECT_TRUE(selectFormat(grabber, "PAL_B:RGB32 (768x576)"));
    EXPECT_STREQ(grabber.getVideoNorm().c_str(), "PAL_B");
    EXPECT_EQ(takeText(grabber.getVideoFormat().toString_()), "RGB32 (768x576)");
    EXPECT_FALSE(selectFormat(grabber, "NTSC_M:RGB32 (768x576)"));
    EXPECT_FALSE(selectFormat(grabber, "SECAM:Y800 (640x480)"));
    EXPECT_STREQ(grabber.getVideoNorm().c_str(), "PAL_B"); // a refused name changes nothing
    for (const auto& norm : copyList(grabber.getAvailableVideoNorms_())) {
        for (const auto& format : copyList(grabber.getAvailableVideoFormats_(norm))) {
            const std::string name = std::string(norm.c_str()) + ":" + format.c_str();
            EXPECT_TRUE(selectFormat(grabber, name)) << name;
        }
    }
}

// Names that are not formats of the device are refused and change nothing.
TEST_F(FormatSelectionTest, ForeignNamesAreRefused)
{
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kRoiCamera));
    ASSERT_TRUE(selectFormat(grabber, "Y800 (640x480)"));
    for (const char* name : {"", "Y800", "Y800 (640x481)", "Y800 (1284x960)", "RGB24 (640x480)", "Y800 (640x480) ",
                             "Y800 (0x4)", "Y800 (-16x4)", "Y800 (16x4x2)", "y800 (640x480)"})
        EXPECT_FALSE(selectFormat(grabber, name)) << '"' << name << '"';
    EXPECT_EQ(takeText(grabber.getVideoFormat().toString_()), "Y800 (640x480)");

    // A device without norms takes a name with a colon only as a whole.
    EXPECT_FALSE(selectFormat(grabber, "NTSC_M:Y800 (640x480)"));
}

// Frame-rate lists: doubles and 32-bit frame intervals (100 ns units) at the
// same positions; the current rate is set by either form.
TEST_F(FormatSelectionTest, FrameRateListsAndCurrentRate)
{
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kConverter));
    ASSERT_TRUE(selectFormat(grabber, "PAL_B:Y800 (768x576)"));
    EXPECT_TRUE(grabber.isFrameRateListAvailable());
    const auto format = grabber.getVideoFormat();
    const auto rates = copyList(grabber.getAvailableFPS_(format));
    const auto values = copyList(grabber.getAvailableFrameRates_(format));
    EXPECT_EQ(rates, (std::vector<double>{25, 12.5, 6.25}));
    EXPECT_EQ(values, (std::vector<std::int32_t>{400000, 800000, 1600000}));
    EXPECT_EQ(grabber.getFPS(), 25.0);
    EXPECT_EQ(grabber.getFrameRate(), 400000);

    EXPECT_TRUE(grabber.setFrameRate(800000));
    EXPECT_EQ(grabber.getFPS(), 12.5);
    EXPECT_FALSE(grabber.setFrameRate(800001));
    EXPECT_TRUE(grabber.setFPS(6.26)); // the listed rate within half a percent
    EXPECT_EQ(grabber.getFrameRate(), 1600000);
    EXPECT_FALSE(grabber.setFPS(30.0));
    EXPECT_FALSE(grabber.setFPS(0.0));
    EXPECT_EQ(grabber.getFPS(), 6.25);

    // A format change keeps a rate the new format offers too.
    ASSERT_TRUE(selectFormat(grabber, "RGB24 (768x576)"));
    EXPECT_EQ(grabber.getFPS(), 6.25);
    ASSERT_TRUE(selectFormat(grabber, "NTSC_M:RGB24 (640x480)"));
    EXPECT_EQ(grabber.getFPS(), 29.97); // not offered: the highest
    EXPECT_EQ(grabber.getFrameRate(), 333667);
}

// On the region-of-interest camera the rates scale with the window: a smaller
// window runs faster, up to the camera's ceiling.
TEST_F(FormatSelectionTest, RatesScaleWithTheWindow)
{
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kRoiCamera));
    const auto descriptions = copyList(grabber.getAvailableVideoFormatDescs_(grabber.getVideoNorm()));
    const auto full = copyList(grabber.getAvailableFPS_(descriptions[0]->createVideoFormat(1280, 960)));
    const auto half = copyList(grabber.getAvailableFPS_(descriptions[0]->createVideoFormat(640, 480)));
    const auto tiny = copyList(grabber.getAvailableFPS_(descriptions[0]->createVideoFormat(16, 4)));
    ASSERT_FALSE(full.empty());
    EXPECT_EQ(full.front(), 60.0);
    EXPECT_EQ(half.front(), 240.0);
    EXPECT_EQ(tiny.front(), 480.0);
    EXPECT_EQ(full, (std::vector<double>{60, 30, 15, 7.5, 3.75}));
    EXPECT_EQ(copyList(grabber.getAvailableFrameRates_(descriptions[0]->createVideoFormat(16, 4))).size(), tiny.size());

    ASSERT_TRUE(grabber.setVideoFormat(descriptions[0]->createVideoFormat(640, 480)));
    EXPECT_EQ(grabber.getFPS(), 60.0); // still offered, so kept
    EXPECT_TRUE(grabber.setFPS(half.front()));
    EXPECT_EQ(grabber.getFPS(), 240.0);
}

// A camera without a frame-rate list reports none and refuses rates.
TEST_F(FormatSelectionTest, NoFrameRateList)
{
    useRig(R"json({"devices": [{"name": "Fixed", "formats": ["Y800 (64x8)"],
                                "frameRates": {"default": [30], "available": false}}]})json");
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, "Fixed"));
    EXPECT_FALSE(grabber.isFrameRateListAvailable());
    EXPECT_TRUE(copyList(grabber.getAvailableFPS_(grabber.getVideoFormat())).empty());
    EXPECT_EQ(grabber.getFPS(), 0.0);
    EXPECT_EQ(grabber.getFrameRate(), 0);
    EXPECT_FALSE(grabber.setFPS(30.0));
}

// Property values belong to the device for the life of the library: a value
// written through one grabber is seen through the next, until ExitLibrary.
TEST_F(FormatSelectionTest, PropertyValuesOutliveTheGrabber)
{
    const auto path = [] {
        return orx::Bstr(OLESTR("{2CED6FD6-AB4D-4C74-904C-D682E53B9CC5}:{5E59F654-7B47-4458-B4C6-5D4F0D175FC1}:")
                         OLESTR("{99B44940-BFE1-4083-ADA1-BE703F4B8E03}"));
    };
    const auto offsetX = [&](Grabber& grabber) {
        auto items = grabber.getAvailableVCDProperties();
        EXPECT_TRUE(items);
        orx::ComPtr<IUnknown> found;
        const auto bstr = path();
        EXPECT_EQ(items->findInterfaceByPath(bstr.get(), found.put()), S_OK);
        orx::ComPtr<Vexlib::IntegerRangeInterface> range;
        EXPECT_GE(found->QueryInterface(Vexlib::IntegerRangeInterfaceId, range.putVoid()), 0);
        return range;
    };
    {
        Grabber grabber;
        ASSERT_TRUE(openDevice(grabber, kRoiCamera));
        EXPECT_EQ(offsetX(grabber)->put_Value(100), S_OK);
    }
    LONG value = 0;
    {
        Grabber grabber;
        ASSERT_TRUE(openDevice(grabber, kRoiCamera));
        EXPECT_EQ(offsetX(grabber)->get_Value(&value), S_OK);
        EXPECT_EQ(value, 100);
    }
    stop();
    start();
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, kRoiCamera));
    EXPECT_EQ(offsetX(grabber)->get_Value(&value), S_OK);
    EXPECT_EQ(value, 0);
}

class LibraryLifetimeTest : public CameraTest {};

// Without InitLibrary there are no devices; ExitLibrary ends them.
TEST_F(LibraryLifetimeTest, DevicesExistOnlyWhileInitialised)
{
    installRig(defaultRig());
    Grabber grabber;
    EXPECT_FALSE(isLibraryInitialised());
    EXPECT_TRUE(copyList(grabber.getAvailableVideoCaptureDevices_()).empty());
    EXPECT_FALSE(openDevice(grabber, kColourCamera));
    start();
    EXPECT_EQ(copyList(grabber.getAvailableVideoCaptureDevices_()).size(), 4u);
    stop();
    EXPECT_TRUE(copyList(grabber.getAvailableVideoCaptureDevices_()).empty());
}

// ORX_SIM_RIG names the rig when none is installed; a bad one makes
// InitLibrary fail with the reason kept, and leaves no devices.
TEST_F(LibraryLifetimeTest, EnvironmentRig)
{
    const std::string path = ::testing::TempDir() + "vexsim_env_rig.json";
    std::ofstream(path) << R"json({"devices": [{"name": "Env Cam", "formats": ["Y800 (64x8)"]}]})json";
    setRigVariable(path);
    start();
    Grabber grabber;
    auto devices = copyList(grabber.getAvailableVideoCaptureDevices_());
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_STREQ(devices[0].c_str(), "Env Cam");
    stop();

    std::ofstream(path) << R"json({"devices": [{"name": "Env Cam", "formats": 7}]})json";
    EXPECT_FALSE(Vexlib::InitLibrary());
    EXPECT_NE(lastInitError().find(path + ": at /devices/0/formats"), std::string::npos) << lastInitError();
    EXPECT_TRUE(copyList(grabber.getAvailableVideoCaptureDevices_()).empty());
    Vexlib::ExitLibrary();
    setRigVariable("");
    std::remove(path.c_str());
}

// useRigFile installs at once while initialised, and a bad file changes nothing.
TEST_F(LibraryLifetimeTest, UseRigFile)
{
    useDefaultRig();
    const std::string path = ::testing::TempDir() + "vexsim_use_rig.json";
    std::ofstream(path) << R"json({"devices": [{"name": "File Cam"}, {"name": "Other Cam"}]})json";
    useRigFile(path);
    Grabber grabber;
    EXPECT_EQ(copyList(grabber.getAvailableVideoCaptureDevices_()).size(), 2u);
    EXPECT_THROW(useRigFile(path + ".missing"), RigError);
    EXPECT_EQ(copyList(grabber.getAvailableVideoCaptureDevices_()).size(), 2u);
    std::remove(path.c_str());
}

} // namespace
} // namespace vexcam::test
