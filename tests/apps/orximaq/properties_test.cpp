#include "cli_fixture.h"

#include <gtest/gtest.h>

namespace orx::cli_test {
namespace {

using nlohmann::json;
using PropertiesTest = CliTest;

json propertyNamed(const json& document, const std::string& name)
{
    for (const auto& property : document["properties"])
        if (property["name"] == name)
            return property;
    ADD_FAILURE() << "no property " << name << " in " << document.dump(2);
    return {};
}

// Every property comes with its type, constraint, read-only mode and current
// value; the fixed ones first, then the camera's own, then the video source.
TEST_F(PropertiesTest, JsonDescribesEveryProperty)
{
    const json document = jsonSmall({"properties", "1", "--json"});
    EXPECT_EQ(document["device"], json::parse(R"j({"id": 1, "name": "Test Colour"})j"));
    EXPECT_EQ(document["format"], json::parse(R"j({"id": 1, "name": "RGB24 (64x48)"})j"));
    std::vector<std::string> names;
    for (const auto& property : document["properties"])
        names.push_back(property["name"]);
    EXPECT_EQ(names, (std::vector<std::string>{"SerialNo", "FrameRate", "Brightness", "Exposure", "StrobeMode",
                                               "Trigger"}));

    EXPECT_EQ(propertyNamed(document, "SerialNo")["type"], "integer");
    EXPECT_EQ(propertyNamed(document, "SerialNo")["readOnly"], "always");
    EXPECT_EQ(propertyNamed(document, "FrameRate")["readOnly"], "whileRunning");
    EXPECT_EQ(propertyNamed(document, "FrameRate")["constraint"]["values"],
              json::parse(R"j([{"text": "200.00", "id": 0}, {"text": "100.00", "id": 1},
                                             {"text": " 7.50", "id": 2}])j"));
    const json brightness = propertyNamed(document, "Brightness");
    EXPECT_EQ(brightness["type"], "integerRange");
    EXPECT_EQ(brightness["constraint"], json::parse(R"j({"min": 0, "max": 511})j"));
    EXPECT_EQ(brightness["value"], 256);
    EXPECT_EQ(propertyNamed(document, "Exposure")["type"], "doubleRange");
    EXPECT_EQ(propertyNamed(document, "StrobeMode")["value"], "Off");
    EXPECT_EQ(propertyNamed(document, "Trigger")["constraint"]["values"].size(), 2u);
    EXPECT_EQ(document["sources"], json::parse(R"j([{"name": "Test Colour", "id": 1, "selected": true}])j"));
}

// --set of each property type changes exactly that property as read back;
// the others keep their values.
TEST_F(PropertiesTest, SetOfEveryTypeIsReadBack)
{
    const struct {
        const char* name;
        const char* text;
        json before;
        json after;
    } settings[] = {
        {"Brightness", "300", 256, 300},                    // integer range
        {"Exposure", "1.25", 0.01, 1.25},                   // double range
        {"StrobeMode", "Fixed Duration", "Off", "Fixed Duration"}, // string list
        {"Trigger", "Enable", "Disable", "Enable"},         // switch
        {"FrameRate", "100.00", "200.00", "100.00"},        // fixed enumeration
    };
    for (const auto& setting : settings) {
        SCOPED_TRACE(setting.name);
        const std::string argument = std::string(setting.name) + "=" + setting.text;
        const json document = jsonSmall({"properties", "1", "--json", "--set", argument});
        EXPECT_EQ(document["settings"][0]["value"], setting.after);
        for (const auto& other : settings)
            EXPECT_EQ(propertyNamed(document, other.name)["value"], &other == &setting ? other.after : other.before)
                << other.name;
    }
}

// An enumeration entry padded by the adaptor (" 7.50") is found from the
// text without its padding.
TEST_F(PropertiesTest, EnumerationTextMatchesWithoutPadding)
{
    const json document = jsonSmall({"properties", "1", "--json", "--set", "FrameRate=7.50"});
    EXPECT_EQ(propertyNamed(document, "FrameRate")["value"], " 7.50");
}

// Without a format the device's first format is used; the text form shows a
// table with every property.
TEST_F(PropertiesTest, FirstFormatByDefaultAndTextTable)
{
    const json document = jsonSmall({"properties", "Test Mono ROI", "--json"});
    EXPECT_EQ(document["format"]["id"], 1);

    const CliRun result = runSmall({"properties", "1", "RGB32 (64x48)"});
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    for (const char* text : {"format 2 \"RGB32 (64x48)\"", "Name", "Constraint", "Read-only", "Brightness",
                             "[0, 511]", "Off | Constant | Fixed Duration", "Video sources:"})
        EXPECT_NE(result.out.find(text), std::string::npos) << text << " missing:\n" << result.out;
}

} // namespace
} // namespace orx::cli_test
