#include "camera_fixture.h"

#include "platform/vexlib_properties.h"

#include <cstdio>
#include <fstream>

namespace vexcam::test {
namespace {

// The message of the RigError that parsing `json` raises.
std::string parseError(std::string_view json)
{
    try {
        parseRig(json, "bad.json");
    } catch (const RigError& error) {
        return error.what();
    }
    return "no error";
}

class RigParserTest : public orx::test::LeakCheckedTest {};

// The embedded default rig is the file in rigs/ and holds one device of each kind.
TEST_F(RigParserTest, DefaultRigHasEveryKindOfDevice)
{
    const Rig rig = defaultRig();
    ASSERT_EQ(rig.devices.size(), 4u);
    const auto& colour = rig.devices[0];
    EXPECT_EQ(colour.name, kColourCamera);
    EXPECT_FALSE(colour.hasNorms);
    ASSERT_EQ(colour.norms.size(), 1u);
    EXPECT_EQ(colour.norms[0].descriptions.size(), 3u);
    EXPECT_TRUE(colour.serial.has_value());

    const auto& roi = rig.devices[1];
    EXPECT_TRUE(roi.norms[0].descriptions[0].roi);
    EXPECT_EQ(roi.norms[0].descriptions[0].stepSize, (Size{4, 2}));
    EXPECT_GT(roi.frameRates.pixelRate, 0.0);
    const bool hasPartialScan = std::any_of(roi.properties.begin(), roi.properties.end(), [](const ItemSpec& item) {
        return item.id == Vexlib::PartialScanOffsetItemId && item.elements.size() == 3;
    });
    EXPECT_TRUE(hasPartialScan);

    const auto& converter = rig.devices[2];
    EXPECT_TRUE(converter.hasNorms);
    EXPECT_EQ(converter.norms.size(), 2u);
    EXPECT_EQ(converter.channels, (std::vector<std::string>{"Composite", "S-Video"}));
    EXPECT_FALSE(converter.serial.has_value());

    const auto& edge = rig.devices[3];
    EXPECT_TRUE(edge.norms[0].formats.empty());
    EXPECT_TRUE(edge.norms[0].descriptions.empty());
}

// Every key of the format reaches the rig structures.
TEST_F(RigParserTest, FullDeviceIsParsed)
{
    const Rig rig = parseRig(R"json({
      "devices": [{
        "name": "Cam", "serial": "0x1A2B", "opens": false, "sensor": [800, 600],
        "formats": ["Y800 (640x480)"],
        "descriptions": [
          {"colorformat": "Y800", "min": [16, 4], "max": [800, 600], "step": [4, 2], "roi": true,
           "reject": [[20, 4]]},
          {"colorformat": "XYZW", "subtype": "{00000001-0002-0003-0405-060708090A0B}", "min": [8, 8], "max": [8, 8],
           "accept": [[8, 8]]}
        ],
        "channels": ["In"],
        "frameRates": {"byFormat": {"Y800 (640x480)": [30, 15]}, "default": [10], "pixelRate": 1e6,
                       "maxFps": 100, "minFps": 2, "available": false},
        "properties": [
          {"name": "Focus", "elements": [
            {"name": "Value", "id": "Value", "range": {"min": -5, "max": 5, "value": 3}, "effect": "gain"},
            {"name": "Mode", "stringList": {"min": 1, "texts": ["A", "B"], "value": 2}},
            {"name": "Auto", "id": "Auto", "switch": {"state": 5}},
            {"name": "Go", "id": "{11111111-2222-3333-4444-555555555555}", "button": {"pushes": 2}},
            {"name": "Fine", "doubleRange": {"min": 0.5, "max": 1.5}}]},
          {"name": "Hidden", "id": "Excluded"}
        ],
        "faults": {
          "refuseNorm": true, "refuseFormat": true, "refuseLive": true, "liveThrows": "0x80004005",
          "lostAfterFrames": 7, "lists": {"norms": "empty", "properties": "missing", "fps": "none"},
          "missingDescriptions": [1],
          "properties": [{"object": "integerRange", "item": "Focus", "element": "Value", "slot": 14,
                          "status": "E_INVALIDARG", "missingObject": true}]
        }
      }],
      "faults": {"deviceList": "empty"}
    })json", "full.json");

    EXPECT_EQ(rig.deviceList, ListFault::Empty);
    const DeviceSpec& d = rig.devices.at(0);
    EXPECT_EQ(d.serial, 0x1A2B);
    EXPECT_FALSE(d.opens);
    EXPECT_EQ(d.sensor, (Size{800, 600}));
    const auto& descriptions = d.norms.at(0).descriptions;
    EXPECT_EQ(descriptions[0].rejectedSizes, (std::vector<Size>{{20, 4}}));
    EXPECT_EQ(descriptions[1].acceptance, SizeAcceptance::Listed);
    EXPECT_EQ(descriptions[1].subtype->Data1, 1u);
    EXPECT_EQ(d.frameRates.byFormat.at("Y800 (640x480)"), (std::vector<double>{30, 15}));
    EXPECT_FALSE(d.frameRates.available);

    const auto& elements = d.properties.at(0).elements;
    EXPECT_EQ(elements[0].id, Vexlib::ValueElementId);
    EXPECT_EQ(elements[0].integerRange->def, -5);
    EXPECT_EQ(elements[0].integerRange->value, 3);
    EXPECT_EQ(elements[0].effect, PatternEffect::Gain);
    EXPECT_EQ(elements[1].stringList->def, 1);
    EXPECT_EQ(elements[1].stringList->value, 2);
    EXPECT_EQ(elements[2].switchState->state, 5);
    EXPECT_EQ(elements[3].button->pushes, 2);
    EXPECT_EQ(elements[3].id.Data1, 0x11111111u);
    EXPECT_EQ(elements[4].doubleRange->value, 0.5);
    EXPECT_EQ(d.properties.at(1).id, Vexlib::ExcludedItemId);

    EXPECT_TRUE(d.faults.refuseLive);
    EXPECT_EQ(d.faults.liveThrows, E_FAIL);
    EXPECT_EQ(d.faults.lostAfterFrames, 7);
    EXPECT_EQ(d.faults.lists.at(ListKind::Norms), ListFault::Empty);
    EXPECT_EQ(d.faults.lists.at(ListKind::Properties), ListFault::Missing);
    EXPECT_EQ(d.faults.missingDescriptions, (std::vector<std::size_t>{1}));
    ASSERT_EQ(d.faults.properties.size(), 1u);
    EXPECT_EQ(d.faults.properties[0].object, PropertyObject::IntegerRange);
    EXPECT_EQ(d.faults.properties[0].status, E_INVALIDARG);
    EXPECT_TRUE(d.faults.properties[0].missingObject);
}

// Identifiers left out are derived from the names: stable, and different for
// different names.
// A rig of GStreamer pipelines alone needs no simulated devices; names are optional.
TEST_F(RigParserTest, GstreamerPipelinesAreParsedWithoutDevices)
{
    const Rig rig = parseRig(R"json({"gstreamer": {"pipelines": [
        {"name": "Test Ball", "pipeline": "videotestsrc pattern=ball is-live=true"},
        {"pipeline": "videotestsrc"}], "monitor": true}})json",
                             "g.json");
    EXPECT_TRUE(rig.devices.empty());
    ASSERT_TRUE(rig.gstreamer);
    ASSERT_EQ(rig.gstreamer->pipelines.size(), 2u);
    EXPECT_EQ(rig.gstreamer->pipelines[0].name, "Test Ball");
    EXPECT_EQ(rig.gstreamer->pipelines[0].pipeline, "videotestsrc pattern=ball is-live=true");
    EXPECT_EQ(rig.gstreamer->pipelines[1].name, "");
    EXPECT_TRUE(rig.gstreamer->monitor);
}

TEST_F(RigParserTest, OmittedIdentifiersAreDerivedFromNames)
{
    const char* json = R"json({"devices": [{"name": "C", "properties": [
        {"name": "Iris", "elements": [{"name": "A"}, {"name": "B"}]},
        {"name": "Zoom", "elements": [{"name": "A"}]}]}]})json";
    const Rig first = parseRig(json, "a");
    const Rig second = parseRig(json, "b");
    const auto& items = first.devices[0].properties;
    EXPECT_EQ(items[0].id, second.devices[0].properties[0].id);
    EXPECT_NE(items[0].id, items[1].id);
    EXPECT_NE(items[0].elements[0].id, items[0].elements[1].id);
    EXPECT_NE(items[0].elements[0].id, items[1].elements[0].id);
}

struct BadRig {
    const char* name;
    const char* json;
    const char* expected; // part of the message, after the file name
};

class RigErrorTest : public ::testing::TestWithParam<BadRig> {};

// Each malformed rig gives one RigError that names the file and the place.
TEST_P(RigErrorTest, NamesFileAndPlace)
{
    const std::string message = parseError(GetParam().json);
    EXPECT_EQ(message.rfind("bad.json:", 0), 0u) << message;
    EXPECT_NE(message.find(GetParam().expected), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RigErrorTest,
    ::testing::Values(
        BadRig{"SyntaxLineAndColumn", "{\n  \"devices\": [\n    {\"name\": \"A\",}\n  ]\n}", "bad.json:3:18:"},
        BadRig{"EmptyText", "", "bad.json:1:1:"},
        BadRig{"NotAnObject", "[]", "at /: expected an object"},
        BadRig{"MissingDevices", "{}", "the key \"devices\" is missing"},
        BadRig{"GstreamerPipelineEmpty", R"json({"gstreamer": {"pipelines": [{"name": "A", "pipeline": ""}]}})json",
               "at /gstreamer/pipelines/0/pipeline"},
        BadRig{"GstreamerUnknownKey", R"json({"gstreamer": {"pipelines": [{"pipline": "videotestsrc"}]}})json",
               "at /gstreamer/pipelines/0"},
        BadRig{"UnknownKey", R"json({"devices": [{"name": "A", "nmae": "B"}]})json", "at /devices/0/nmae: unknown key"},
        BadRig{"WrongType", R"json({"devices": [{"name": 5}]})json", "at /devices/0/name: expected a text"},
        BadRig{"BadFormatText", R"json({"devices": [{"name": "A", "formats": ["Y800 640x480"]}]})json",
               "at /devices/0/formats/0: expected a format text"},
        BadRig{"MinAboveMax",
               R"json({"devices": [{"name": "A", "descriptions": [{"colorformat": "Y800", "min": [9, 9], "max": [8, 8]}]}]})json",
               "at /devices/0/descriptions/0: the minimum size is larger"},
        BadRig{"NegativeSize",
               R"json({"devices": [{"name": "A", "descriptions": [{"colorformat": "Y800", "min": [0, 4], "max": [8, 8]}]}]})json",
               "at /devices/0/descriptions/0/min: a size needs a positive"},
        BadRig{"NormsAndFormats", R"json({"devices": [{"name": "A", "norms": [], "formats": []}]})json",
               "either \"norms\" or"},
        BadRig{"DuplicateDevice", R"json({"devices": [{"name": "A"}, {"name": "A"}]})json",
               "at /devices/1/name: a second device"},
        BadRig{"BadGuid", R"json({"devices": [{"name": "A", "properties": [{"name": "P", "id": "{1234}"}]}]})json",
               "at /devices/0/properties/0/id: expected an identifier"},
        BadRig{"UnknownElementIdName",
               R"json({"devices": [{"name": "A", "properties": [{"name": "P", "elements": [{"name": "E", "id": "Valeu"}]}]}]})json",
               "at /devices/0/properties/0/elements/0/id"},
        BadRig{"ValueOutsideRange",
               R"json({"devices": [{"name": "A", "properties": [{"name": "P", "elements": [{"name": "E", "range": {"min": 0, "max": 5, "value": 6}}]}]}]})json",
               "at /devices/0/properties/0/elements/0/range: the value lies outside"},
        BadRig{"UnknownEffect",
               R"json({"devices": [{"name": "A", "properties": [{"name": "P", "elements": [{"name": "E", "range": {"min": 0, "max": 5}, "effect": "blur"}]}]}]})json",
               "\"blur\" is not one of"},
        BadRig{"UnknownListKind", R"json({"devices": [{"name": "A", "faults": {"lists": {"nroms": "empty"}}}]})json",
               "at /devices/0/faults/lists/nroms: unknown list"},
        BadRig{"BadStatus", R"json({"devices": [{"name": "A", "faults": {"liveThrows": "E_WHATEVER"}}]})json",
               "at /devices/0/faults/liveThrows: expected a status"},
        BadRig{"FaultWithoutElement",
               R"json({"devices": [{"name": "A", "faults": {"properties": [{"object": "switch", "item": "P", "slot": 14}]}}]})json",
               "needs the \"element\""},
        BadRig{"BadFrameRateKey", R"json({"devices": [{"name": "A", "frameRates": {"byFormat": {"fast": [30]}}}]})json",
               "at /devices/0/frameRates/byFormat/fast: the key is not a format text"},
        BadRig{"ZeroRate", R"json({"devices": [{"name": "A", "frameRates": {"default": [30, 0]}}]})json",
               "at /devices/0/frameRates/default/1: a frame rate must be above 0"},
        BadRig{"SlashInKeyIsEscaped", R"json({"devices": [{"name": "A", "a/b~c": 1}]})json", "at /devices/0/a~1b~0c:"},
        BadRig{"DuplicateTopKey", R"json({"devices": [],
"devices": [{"name": "A"}]})json", "bad.json:2:9: at /devices: the key \"devices\" appears twice"},
        BadRig{"DuplicateNestedKey",
               R"json({"devices": [{"name": "A", "descriptions": [{"colorformat": "Y800", "min": [8, 8], "min": [4, 4], "max": [8, 8]}]}]})json",
               "at /devices/0/descriptions/0/min: the key \"min\" appears twice"},
        BadRig{"NumberTooLarge", "{\"devices\": [{\"name\": \"A\",\n \"serial\": 1e999999}]}",
               "bad.json:2:19: at /devices/0/serial: number overflow parsing '1e999999'"},
        BadRig{"NumberTooLargeInArray", R"json({"devices": [{"name": "A", "frameRates": {"default": [30, 2e400]}}]})json",
               "at /devices/0/frameRates/default/1: number overflow"},
        BadRig{"TextAfterDocument", R"json({"devices": []} {})json", "bad.json:1:17:"},
        BadRig{"LongFixedColourFormat", R"json({"devices": [{"name": "A", "formats": ["ABCDEFGH (64x48)"]}]})json",
               "at /devices/0/formats/0: unknown colour format \"ABCDEFGH\""},
        BadRig{"LongColourFormatWithSubtype",
               R"json({"devices": [{"name": "A", "descriptions": [{"colorformat": "ABCDEFGH", "subtype": "{20385942-0000-0010-8000-00AA00389B71}", "min": [8, 8], "max": [8, 8]}]}]})json",
               "at /devices/0/descriptions/0/colorformat: unknown colour format"}),
    [](const auto& info) { return std::string(info.param.name); });

// The parser would stop at a NUL byte and take the text before it for the
// whole rig: a NUL anywhere is refused, with its place.
TEST_F(RigParserTest, NulByteIsRefused)
{
    using namespace std::string_view_literals;
    EXPECT_EQ(parseError("{\"devices\": []}\0"sv), "bad.json:1:16: a NUL byte; a rig is JSON text and ends with its document");
    EXPECT_NE(parseError("{\"devices\": [\0]}"sv).find("bad.json:1:14:"), std::string::npos);
    // Four-character colour formats and the known longer names stay accepted.
    EXPECT_NO_THROW(parseRig(R"json({"devices": [{"name": "A", "formats": ["ABCD (8x8)", "RGB565 (8x8)"]}]})json", "ok.json"));
}

// A file that cannot be read gives a RigError naming the file.
TEST_F(RigParserTest, UnreadableFileIsNamed)
{
    try {
        loadRigFile("/nonexistent/rig.json");
        FAIL() << "no error";
    } catch (const RigError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("/nonexistent/rig.json: cannot open the rig file", 0), 0u);
    }
}

// A rig file is read from disk with its name in the messages.
TEST_F(RigParserTest, FileIsReadAndNamedInErrors)
{
    const std::string path = ::testing::TempDir() + "vexsim_rig_parser_test.json";
    {
        std::ofstream(path) << R"json({"devices": [{"name": "File Cam", "formats": ["Y16 (32x8)"]}]})json";
    }
    EXPECT_EQ(loadRigFile(path).devices.at(0).name, "File Cam");
    {
        std::ofstream(path) << R"json({"devices": [{"name": "File Cam", "formats": [3]}]})json";
    }
    EXPECT_THROW(
        {
            try {
                loadRigFile(path);
            } catch (const RigError& error) {
                EXPECT_EQ(std::string(error.what()).rfind(path + ": at /devices/0/formats/0", 0), 0u) << error.what();
                throw;
            }
        },
        RigError);
    std::remove(path.c_str());
}

} // namespace
} // namespace vexcam::test
