// Construction of the adaptor object: norm and format selection, colour
// format, sink, failure paths; and the constant answers of its table.
#include "engine/colour_format_table.h"
#include "engine/create_instance.h"
#include "imaqhost/testing/accounting.h"
#include "support/adaptor_session.h"
#include "vexcam/testing/camera_testing.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace orx::test;
using Texts = std::vector<std::string>;

constexpr const char* kNormBox = "Error: failed to set video norm!\n Please use \"norm:format\" string.";
constexpr const char* kFormatBox = "Error: failed to set video format!";

vexcam::DeviceSpec converter()
{
    const std::vector<vexcam::FormatSpec> formats = {format("Y800", 640, 480), format("RGB24", 640, 480)};
    auto device = deviceWithNorms("Converter", {{"NTSC_M", formats, {}}, {"PAL_B", formats, {}}});
    device.channels = {"Composite", "S-Video"};
    return device;
}

vexcam::DeviceSpec camera(std::vector<vexcam::DescriptionSpec> descriptions)
{
    return deviceWithoutNorms("Camera", {}, std::move(descriptions));
}

vexcam::DescriptionSpec vga(const std::string& colorformat)
{
    return listedDescription(colorformat, {640, 480}, {640, 480}, {});
}

class AdaptorConstruction : public AdaptorSessionTest {
protected:
    // The error boxes of construction (device attributes show plain OK boxes).
    std::vector<win32seam::MessageBoxCall> errorBoxes() const
    {
        std::vector<win32seam::MessageBoxCall> found;
        for (const auto& box : boxes_.boxes())
            if (box.style == MB_ICONERROR) found.push_back(box);
        return found;
    }
    Texts boxTexts() const
    {
        Texts texts;
        for (const auto& box : errorBoxes()) texts.push_back(box.text);
        return texts;
    }
    std::string currentNorm() { return adaptor().camera().getVideoNorm().c_str(); }
    std::string currentFormat() { return adaptor().camera().getVideoFormat().c_str(); }
};

// "norm:format" sets the norm, then the format text.
TEST_F(AdaptorConstruction, NormAndFormatAreSplitAtTheColon)
{
    install({converter()});
    openWithName("Converter", "PAL_B:RGB24 (640x480)");
    EXPECT_EQ(currentNorm(), "PAL_B");
    EXPECT_EQ(currentFormat(), "RGB24 (640x480)");
    EXPECT_EQ(boxes_.boxCount(), 0u);
}

// Two colons: split at the first; the format text keeps the second and is refused.
TEST_F(AdaptorConstruction, SecondColonStaysInTheFormatText)
{
    install({converter()});
    openWithName("Converter", "PAL_B:Y800 (640x480):x");
    EXPECT_EQ(currentNorm(), "PAL_B");
    EXPECT_EQ(boxTexts(), Texts{kFormatBox});
    EXPECT_EQ(errorBoxes()[0].caption, "Converter");
}

// No colon on a device with norms: the whole name is tried as norm, then as format.
TEST_F(AdaptorConstruction, NameWithoutColonIsNormAndFormat)
{
    install({converter()});
    openWithName("Converter", "Y800 (640x480)");
    EXPECT_EQ(boxTexts(), Texts{kNormBox});
    EXPECT_EQ(currentFormat(), "Y800 (640x480)");
}

// An empty name passes an empty norm and an empty format: both refused.
TEST_F(AdaptorConstruction, EmptyNameRefusesNormAndFormat)
{
    install({converter()});
    openWithName("Converter", "");
    EXPECT_EQ(boxTexts(), (Texts{kNormBox, kFormatBox}));
}

// A colon on a device without norms goes whole to the format selection.
TEST_F(AdaptorConstruction, ColonOnDeviceWithoutNormsIsPassedWhole)
{
    install({camera({vga("Y800")})});
    openWithName("Camera", "A:Y800 (640x480)");
    EXPECT_EQ(boxTexts(), Texts{kFormatBox});
}

// The frame size and type follow the format the device has after a refusal.
TEST_F(AdaptorConstruction, RefusedFormatKeepsTheDevicesFormat)
{
    auto device = camera({vga("Y800")});
    device.faults.refuseFormat = true;
    install({device});
    auto& input = openWithName("Camera", "Y800 (640x480)");
    EXPECT_EQ(boxTexts(), Texts{kFormatBox});
    const SIZE size = adaptor().camera().getVideoFormat().getSize();
    EXPECT_EQ(input.maxWidth(), size.cx);
    EXPECT_EQ(input.maxHeight(), size.cy);
}

struct ColourCase {
    const char* colorformat;
    std::uint32_t frameType;
    bool overlayReset;
};

class ColourFormats : public AdaptorConstruction, public ::testing::WithParamInterface<ColourCase> {};

// The colour format decides the frame type; only Y16 moves the overlay path.
TEST_P(ColourFormats, FrameTypeAndOverlayFollowTheColourFormat)
{
    const ColourCase c = GetParam();
    // A second description keeps the device in the catalogue when BY8 is excluded.
    install({camera({vga(c.colorformat), listedDescription("Y800", {320, 240}, {320, 240}, {})})});
    const std::int32_t before = Vexlib::Grabber().getOverlayBitmapPathPosition();
    auto& input = openWithName("Camera", std::string(c.colorformat) + " (640x480)");
    EXPECT_EQ(input.frameType(), c.frameType);
    EXPECT_EQ(input.maxWidth(), 640);
    EXPECT_EQ(input.maxHeight(), 480);
    EXPECT_EQ(input.numberOfBands(), 3);
    EXPECT_EQ(adaptor().camera().getOverlayBitmapPathPosition(), c.overlayReset ? 0 : before);
}

INSTANTIATE_TEST_SUITE_P(Table, ColourFormats,
                         ::testing::Values(ColourCase{"Y800", 0x11010000u, false},
                                           ColourCase{"Y16", 0x11010004u, true},
                                           ColourCase{"RGB24", 0x01030101u, false},
                                           ColourCase{"BY8", 0x01030101u, false},
                                           ColourCase{"RGB32", 0x01030103u, false},
                                           ColourCase{"UYVY", 0x01030103u, false}),
                         [](const auto& info) { return std::string(info.param.colorformat); });

// Only exact, case-sensitive names match a row; anything else is 32-bit RGB.
TEST(ColourFormatTable, PartialMatchesTakeTheLastRow)
{
    for (const char* name : {"Y80", "Y8000", "RGB24X", "rgb24", "Y16 ", "", "BY"}) {
        const auto& row = orx::colourFormatTable(name);
        EXPECT_EQ(row.cameraFormat, Vexlib::eRGB32) << name;
        EXPECT_EQ(row.frameType, 0x01030103u) << name;
        EXPECT_FALSE(row.resetsOverlayPosition) << name;
    }
    EXPECT_EQ(orx::colourFormatTable("BY8").cameraFormat, Vexlib::eRGB24);
    EXPECT_EQ(orx::colourFormatTable("Y800").cameraFormat, Vexlib::eY800);
    EXPECT_EQ(orx::colourFormatTable("Y16").cameraFormat, Vexlib::eY16);
}

// The constant answers of the table.
TEST_F(AdaptorConstruction, DescriptionVersionAndOpen)
{
    install({camera({vga("Y800")})});
    auto& input = open("Camera", "1");
    EXPECT_EQ(input.driverDescription(), "Orixen Plugin for Matlab");
    EXPECT_EQ(input.driverVersion(), "3.3.0");
    EXPECT_TRUE(input.openDevice());
}

// A device that does not open still gives an adaptor, with its listeners.
TEST_F(AdaptorConstruction, DeviceThatDoesNotOpenStillGivesAnAdaptor)
{
    auto device = camera({vga("Y800")});
    install({device});
    session().discover();
    device.opens = false;
    install({device});
    auto& input = openDiscovered("Camera", "1");
    EXPECT_FALSE(adaptor().camera().isDevValid());
    EXPECT_EQ(boxes_.boxCount(), 0u);
    EXPECT_TRUE(input.openDevice());
    EXPECT_TRUE(input.closeDevice());
    EXPECT_EQ(warningTexts(), Texts{"Unable to close device. Device Invalid."});
    input.selectSource(input.sources().front().name); // the engine listener is there
}

// No storage for the adaptor: null, and nothing else happens.
TEST_F(AdaptorConstruction, NoStorageGivesNull)
{
    install({camera({vga("Y800")})});
    imaqhost::failNextImaqmallocs(1);
    EXPECT_EQ(orx::createInstance(nullptr, nullptr, "Y800 (640x480)"), nullptr);
}

// Host objects just good enough to construct an adaptor outside a session.
struct NamedDevice final : imaqkit::IDeviceInfo {
    imaqkit::IDeviceFormat* createDeviceFormat(std::int32_t, const char*) override { return nullptr; }
    void addDeviceFormat(imaqkit::IDeviceFormat*, bool) override {}
    void deviceInfoReserved3() override {}
    const char* getDeviceName() override { return "Camera"; }
    void setDeviceFileSupport(bool) override {}
};

// An engine whose property containers cannot be had: the listener
// registration at the end of construction throws.
struct EngineWithoutContainers final : imaqkit::IEngine {
    imaqkit::IFrame* makeFrame(std::uint32_t, std::int32_t, std::int32_t) override { return nullptr; }
    void receiveFrame(imaqkit::IFrame*) override {}
    void engineReserved3() override {}
    void engineReserved4() override {}
    imaqkit::IEnginePropContainer* getEnginePropContainer() override { throw std::runtime_error("no containers"); }
    imaqkit::IPropContainer* getAdaptorPropContainer() override { throw std::runtime_error("no containers"); }
};

// An exception during construction returns the storage, deletes the adaptor
// manager, closes the device and reaches the caller unchanged.
TEST_F(AdaptorConstruction, ExceptionDuringConstructionLeavesNothingBehind)
{
    install({camera({vga("Y800")})});
    ASSERT_TRUE(Vexlib::InitLibrary());
    NamedDevice device;
    EngineWithoutContainers engine;
    EXPECT_THROW(orx::createInstance(&engine, &device, "Y800 (640x480)"), std::runtime_error);
    EXPECT_EQ(vexcam::liveGrabbers(), 0);
    Vexlib::ExitLibrary();
}

} // namespace
