// The format catalogue of one open device: names with norms, the expanded
// list without norms, the large-size set and the region-of-interest test.
#include "common/format_catalogue.h"
#include "common/task_mem.h"
#include "support/rig_builders.h"

#include <gtest/gtest.h>

namespace {

using namespace orx::test;

class Catalogue : public RigTest {
protected:
    void TearDown() override
    {
        grabber_.reset();
        if (initialised_) Vexlib::ExitLibrary();
        RigTest::TearDown();
    }
    // Installs one device and opens it on a fresh grabber.
    Vexlib::Grabber& open(vexcam::DeviceSpec device)
    {
        const std::string name = device.name;
        install({std::move(device)});
        initialised_ = Vexlib::InitLibrary();
        grabber_ = std::make_unique<Vexlib::Grabber>();
        const auto text = orx::copyToTaskMem(name);
        grabber_->openDev(Vexlib::dstringa(text.get()));
        return *grabber_;
    }
    std::vector<std::string> expandedNames(vexcam::DeviceSpec device)
    {
        return orx::deviceFormatCatalogue(open(std::move(device))).names;
    }

private:
    std::unique_ptr<Vexlib::Grabber> grabber_;
    bool initialised_ = false;
};

using Names = std::vector<std::string>;

// Norms A and B with formats X and Y give A:X, A:Y, B:X, B:Y, unsorted.
TEST_F(Catalogue, NormNamesInNormThenFormatOrder)
{
    const std::vector<vexcam::FormatSpec> xy = {format("Y800", 720, 480), format("RGB24", 640, 480)};
    auto& grabber = open(deviceWithNorms("Converter", {{"A", xy, {}}, {"B", xy, {}}}));
    const auto catalogue = orx::deviceFormatCatalogue(grabber);
    EXPECT_TRUE(catalogue.hasVideoNorms);
    EXPECT_EQ(catalogue.names, (Names{"A:Y800 (720x480)", "A:RGB24 (640x480)", "B:Y800 (720x480)",
                                      "B:RGB24 (640x480)"}));
    EXPECT_STREQ(grabber.getVideoNorm().c_str(), "B"); // left at the last norm
}

// Duplicates within one norm stay as the library lists them.
TEST_F(Catalogue, NormFormatsAreNotMerged)
{
    const std::vector<vexcam::FormatSpec> twice = {format("Y800", 640, 480), format("Y800", 640, 480)};
    EXPECT_EQ(expandedNames(deviceWithNorms("Converter", {{"N", twice, {}}})),
              (Names{"N:Y800 (640x480)", "N:Y800 (640x480)"}));
}

// Equal minimum and maximum, no trial size accepted: exactly one format.
TEST_F(Catalogue, FixedSizeDescriptionGivesOneFormat)
{
    EXPECT_EQ(expandedNames(deviceWithoutNorms("Cam", {}, {listedDescription("Y800", {700, 500}, {700, 500}, {})})),
              Names{"Y800 (700x500)"});
}

// A description that rejects its own maximum still yields it, and its minimum.
TEST_F(Catalogue, MinimumAndMaximumAreAddedWithoutAsking)
{
    auto description = listedDescription("Y800", {100, 100}, {900, 700}, {{640, 480}});
    description.rejectedSizes = {{900, 700}, {100, 100}};
    EXPECT_EQ(expandedNames(deviceWithoutNorms("Cam", {}, {description})),
              (Names{"Y800 (100x100)", "Y800 (640x480)", "Y800 (900x700)"}));
}

// 1024 x 786 is a trial size; 1024 x 768 is not, unless a large format brings it.
TEST_F(Catalogue, TrialSizesInclude1024By786Only)
{
    const auto grid = gridDescription("Y800", {16, 16}, {1100, 800}, {2, 2});
    auto names = expandedNames(deviceWithoutNorms("Cam", {}, {grid}));
    EXPECT_NE(std::find(names.begin(), names.end(), "Y800 (1024x786)"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "Y800 (1024x768)"), names.end());
}

// A device format of width 1024 makes its size a trial size; width 1023 does not.
TEST_F(Catalogue, LargeSizeThresholdIsWidth1024)
{
    auto& grabber = open(deviceWithoutNorms("Cam", {format("Y800", 1024, 700), format("Y800", 1023, 701)}, {}));
    const auto sizes = orx::collectLargeFormatSizes(grabber);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes.begin()->cx, 1024);
    EXPECT_EQ(sizes.begin()->cy, 700);
}

// The large size of an excluded BY8 format is still tried against other descriptions;
// the excluded description itself contributes nothing.
TEST_F(Catalogue, ExcludedSubtypeStillFeedsLargeSizes)
{
    auto by8 = gridDescription("BY8", {640, 480}, {1280, 1024});
    by8.subtype = orx::kExcludedSubtype;
    const auto rgb = listedDescription("RGB24", {64, 64}, {2000, 2000}, {{1280, 1024}});
    EXPECT_EQ(expandedNames(deviceWithoutNorms("Cam", {format("BY8", 1280, 1024)}, {by8, rgb})),
              (Names{"RGB24 (64x64)", "RGB24 (1280x1024)", "RGB24 (2000x2000)"}));
}

// Only excluded descriptions, or none at all: an empty list.
TEST_F(Catalogue, NothingToExpandGivesEmptyList)
{
    auto by8 = gridDescription("BY8", {640, 480}, {640, 480});
    by8.subtype = orx::kExcludedSubtype;
    EXPECT_TRUE(expandedNames(deviceWithoutNorms("Cam", {format("Y800", 640, 480)}, {by8})).empty());
}

TEST_F(Catalogue, NoDescriptionsGivesEmptyList)
{
    EXPECT_TRUE(expandedNames(deviceWithoutNorms("Cam", {format("Y800", 640, 480)}, {})).empty());
}

// Two descriptions giving equivalent items: one entry, from the first description.
TEST_F(Catalogue, EquivalentItemsKeepTheFirstDescriptions)
{
    auto first = listedDescription("Y800", {640, 480}, {640, 480}, {});
    first.subtype = GUID{0x11111111, 0, 0, {}};
    auto second = first;
    second.subtype = GUID{0x22222222, 0, 0, {}};
    auto& grabber = open(deviceWithoutNorms("Cam", {}, {first, second}));
    const auto formats = orx::buildExpandedFormatList(grabber);
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].getSubtype().Data1, 0x11111111u);
}

// The list follows the library's ordering (colour format, width, height), not
// description order or size.
TEST_F(Catalogue, ExpandedListFollowsLibraryOrdering)
{
    const auto y16 = listedDescription("Y16", {320, 240}, {320, 240}, {});
    const auto rgb = listedDescription("RGB32", {2560, 1920}, {2560, 1920}, {});
    const auto y800 = listedDescription("Y800", {640, 480}, {1280, 960}, {{640, 480}, {1280, 960}});
    EXPECT_EQ(expandedNames(deviceWithoutNorms("Cam", {}, {y800, y16, rgb})),
              (Names{"RGB32 (2560x1920)", "Y16 (320x240)", "Y800 (640x480)", "Y800 (1280x960)"}));
}

// A description handle the library did not deliver is skipped, not dereferenced.
TEST_F(Catalogue, MissingDescriptionIsSkipped)
{
    auto device = deviceWithoutNorms("Cam", {}, {listedDescription("Y800", {640, 480}, {640, 480}, {}),
                                                 listedDescription("Y16", {640, 480}, {640, 480}, {})});
    device.faults.missingDescriptions = {0};
    EXPECT_EQ(expandedNames(device), Names{"Y16 (640x480)"});
}

// Only the first description decides whether the device is a region-of-interest device.
TEST_F(Catalogue, RoiDeviceIsDecidedByTheFirstDescriptionAlone)
{
    const auto plain = gridDescription("Y800", {16, 4}, {1280, 960}, {4, 2}, false);
    const auto roi = gridDescription("Y16", {16, 4}, {1280, 960}, {4, 2}, true);
    EXPECT_FALSE(orx::isRoiFormatDevice(open(deviceWithoutNorms("A", {}, {plain, roi}))));
}

TEST_F(Catalogue, RoiFirstDescriptionMakesRoiDevice)
{
    const auto roi = gridDescription("Y800", {16, 4}, {1280, 960}, {4, 2}, true);
    EXPECT_TRUE(orx::isRoiFormatDevice(open(deviceWithoutNorms("B", {}, {roi}))));
}

TEST_F(Catalogue, NoDescriptionsIsNoRoiDevice)
{
    EXPECT_FALSE(orx::isRoiFormatDevice(open(deviceWithoutNorms("C", {format("Y800", 640, 480)}, {}))));
}

} // namespace
