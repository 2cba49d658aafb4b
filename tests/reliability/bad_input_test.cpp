// Hostile input: malformed rigs, texts with format directives, quotes, bytes
// that are not UTF-8 and 5,000 characters, colons where none belong, and
// sizes that are zero, negative or huge. A clear error or a sound result,
// never a crash, and warnings cut at their 1024-byte buffer.
#include "journey.h"
#include "imaqhost/testing/video_input_inspector.h"
#include "reference_rig.h"
#include "support/adaptor_session.h"

#include "imaqhost/host_error.h"
#include "vexcam/testing/camera_testing.h"

#include <gtest/gtest.h>

#include <climits>

namespace orx::test {
namespace {

using Texts = std::vector<std::string>;

constexpr std::size_t kWarningLimit = 1023; // the buffer's 1024 bytes less the terminating zero

// The text as the adaptor may show it: whole, or cut at the buffer's end.
std::string cut(const std::string& text)
{
    return text.substr(0, kWarningLimit);
}

class MalformedRig : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

// A rig that is not valid JSON, or not a valid rig, gives one RigError naming the origin.
TEST_P(MalformedRig, GivesOneClearError)
{
    const auto& [name, text] = GetParam();
    try {
        vexcam::parseRig(text, "bad.json");
        FAIL() << name << " was accepted";
    } catch (const vexcam::RigError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("bad.json", 0), 0u) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rigs, MalformedRig,
    ::testing::Values(std::pair{"Empty", ""}, std::pair{"NotAnObject", "[1, 2]"},
                      std::pair{"Truncated", R"({"devices": [{"name": "A")"},
                      std::pair{"NoDevices", R"({"faults": {}})"},
                      std::pair{"UnknownKey", R"({"devices": [{"name": "A", "nmae": 1}]})"},
                      std::pair{"ZeroSize", R"({"devices": [{"name": "A", "descriptions": [
                          {"colorformat": "Y800", "min": [0, 0], "max": [8, 8]}]}]})"},
                      std::pair{"NegativeSize", R"({"devices": [{"name": "A", "descriptions": [
                          {"colorformat": "Y800", "min": [-8, 4], "max": [8, 8]}]}]})"},
                      std::pair{"MinimumAboveMaximum", R"({"devices": [{"name": "A", "descriptions": [
                          {"colorformat": "Y800", "min": [16, 16], "max": [8, 8]}]}]})"},
                      std::pair{"HugeNumber", R"({"devices": [{"name": "A", "descriptions": [
                          {"colorformat": "Y800", "min": [1, 1], "max": [1e40, 8]}]}]})"},
                      std::pair{"NumberBeyondDouble", R"({"devices": [{"name": "A", "serial": 2e999}]})"},
                      std::pair{"ColonInNorm", R"({"devices": [{"name": "A", "norms": [{"name": "N:1"}]}]})"},
                      std::pair{"DuplicateDevice", R"({"devices": [{"name": "A"}, {"name": "A"}]})"},
                      std::pair{"DefaultOutsideRange", R"({"devices": [{"name": "A", "properties": [{"name": "B",
                          "elements": [{"name": "V", "range": {"min": 0, "max": 4, "default": 9}}]}]}]})"}),
    [](const auto& info) { return std::string(info.param.first); });

class StreamingBadInput : public AdaptorSessionTest {
protected:
    // A device that offers no format, so discovery warns with its name.
    static vexcam::DeviceSpec formatlessDevice(std::string name)
    {
        vexcam::DeviceSpec device;
        device.name = std::move(name);
        device.norms.push_back({});
        return device;
    }
};

// Names with format directives, quotes, broken UTF-8 or 5,000 characters reach
// the user as plain text, cut at the buffer and never past it.
TEST_F(StreamingBadInput, HostileDeviceNamesAreShownAsPlainTextAndCut)
{
    const Texts names{"100% %s%n%d%%", "\"quoted\" 'name' \\", "bad \xff\xfe utf-8 \xc3", std::string(5000, 'N')};
    std::vector<vexcam::DeviceSpec> devices;
    for (const auto& name : names) devices.push_back(formatlessDevice(name));
    install(devices);
    session().discover();

    Texts expected;
    for (const auto& name : names) expected.push_back(cut("Unable to load formats of: \"" + name + "\"."));
    EXPECT_EQ(warningTexts(), expected);
}

// A property name of 5,000 characters that is no longer found: the warning is cut, the read gives 0.
TEST_F(StreamingBadInput, LongPropertyNameInANotFoundWarningIsCut)
{
    auto rig = referenceRig();
    const std::string longName(5000, 'P');
    deviceNamed(rig, kCamera).properties[0].name = longName;
    vexcam::installRig(rig);
    auto& input = open(kCamera, "Y800 (128x96)");
    ASSERT_TRUE(input.hasProperty(longName));

    vexcam::DeviceFaults faults;
    faults.lists[vexcam::ListKind::Properties] = vexcam::ListFault::Empty;
    vexcam::setDeviceFaults(kCamera, faults);
    EXPECT_EQ(std::get<std::int32_t>(input.get(longName)), 0);
    input.set(longName, std::int32_t{5});
    EXPECT_EQ(warningTexts(), (Texts{cut("P_get() Property \"" + longName + "\" not found."),
                                     cut("Property \"" + longName + "\" not found.")}));
}

// Colons in a device name, and in a format name of a device without norms, are plain text.
TEST_F(StreamingBadInput, ColonsWhereNoneBelongAreTakenLiterally)
{
    auto rig = referenceRig();
    deviceNamed(rig, kCamera).name = "Cam:1:2";
    vexcam::installRig(rig);
    auto journey = runJourney(session(), "Cam:1:2");
    EXPECT_TRUE(contains(journey.transcript, "acquire 3: completed, received 3, refused 0"))
        << ::testing::PrintToString(journey.transcript);
    journey.input.reset();

    auto& input = openWithName("Cam:1:2", "Y800 (128x96):extra");
    EXPECT_EQ(boxes_.boxes().back().text, "Error: failed to set video format!");
    EXPECT_EQ(input.acquire(2).end, imaqhost::AcquisitionEnd::Completed);
}

// Regions of zero, negative and huge sizes never crash the adaptor; the stream works afterwards.
TEST_F(StreamingBadInput, DegenerateRegionsAreHandledSoundly)
{
    vexcam::installRig(referenceRig());
    auto& input = open(kCamera, "Y800 (128x96)");
    EXPECT_THROW(input.setRegion({0, 0, 0, 0}), imaqhost::HostError);
    EXPECT_THROW(input.setRegion({-4, -2, 16, 4}), imaqhost::HostError);
    EXPECT_THROW(input.setRegion({0, 0, INT_MAX, INT_MAX}), imaqhost::HostError);

    for (const imaqhost::Region region : {imaqhost::Region{0, 0, 0, 0}, imaqhost::Region{-5, -3, -16, -4},
                                         imaqhost::Region{INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                                         imaqhost::Region{INT_MIN, INT_MIN, INT_MIN, INT_MIN}})
        imaqhost::inspect(input).adaptor().setROI(region.x, region.y, region.width, region.height);
    imaqhost::inspect(input).adaptor().setROI(0, 0, 128, 96);
    EXPECT_EQ(input.region(), (imaqhost::Region{0, 0, 128, 96}));
    EXPECT_EQ(input.acquire(3).end, imaqhost::AcquisitionEnd::Completed);
}

// Descriptions with a zero step or sizes near the 32-bit limit still give a catalogue.
TEST_F(StreamingBadInput, ExtremeDescriptionsStillGiveACatalogue)
{
    vexcam::DeviceSpec zeroStep = deviceWithoutNorms("Zero step", {}, {gridDescription("Y800", {16, 4}, {64, 48}, {0, 0}, true)});
    vexcam::DeviceSpec huge = deviceWithoutNorms("Huge", {format("Y800", INT_MAX, INT_MAX)},
                                                 {gridDescription("Y800", {1, 1}, {INT_MAX, INT_MAX})});
    install({zeroStep, huge});
    const auto lines = discoveryLines(session());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("device 1 Zero step: added", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("device 2 Huge: added", 0), 0u) << lines[1];

    auto& input = open("Zero step", "Y800 (64x48)");
    input.setRegion({3, 3, 20, 20});
    EXPECT_EQ(input.acquire(2).end, imaqhost::AcquisitionEnd::Completed);
}

} // namespace
} // namespace orx::test
