#include "cli_fixture.h"

#include <gtest/gtest.h>

namespace orx::cli_test {
namespace {

using nlohmann::json;
using DevicesTest = CliTest;

// `devices --json` lists exactly the devices the adaptor added, their formats
// with IDs counting from 1, and the warning about the device it left out.
TEST_F(DevicesTest, JsonListsAddedDevicesFormatsAndWarnings)
{
    const json document = jsonSmall({"devices", "--json"});
    const json& devices = document["devices"];
    ASSERT_EQ(devices.size(), 2u) << document.dump(2);

    EXPECT_EQ(devices[0]["id"], 1);
    EXPECT_EQ(devices[0]["name"], "Test Colour");
    EXPECT_EQ(devices[0]["formats"], json::parse(R"j([{"id": 1, "name": "RGB24 (64x48)"},
                                                    {"id": 2, "name": "RGB32 (64x48)"}])j"));

    EXPECT_EQ(devices[1]["id"], 2);
    EXPECT_EQ(devices[1]["name"], "Test Mono ROI");
    std::vector<std::string> monoFormats;
    for (std::size_t i = 0; i < devices[1]["formats"].size(); ++i) {
        EXPECT_EQ(devices[1]["formats"][i]["id"], static_cast<int>(i + 1));
        monoFormats.push_back(devices[1]["formats"][i]["name"]);
    }
    EXPECT_NE(std::find(monoFormats.begin(), monoFormats.end(), "Y800 (128x96)"), monoFormats.end());
    EXPECT_NE(std::find(monoFormats.begin(), monoFormats.end(), "Y16 (128x96)"), monoFormats.end());

    EXPECT_EQ(document["warnings"], json::parse(R"j([{"identifier": "ORXadaptor:constructor",
                                                    "message": "Unable to load formats of: \"Test Empty\"."}])j"));
    EXPECT_EQ(document["messages"], json::array());
}

// Without --adaptor and --rig the program loads the module beside itself and
// the built-in rig: a colour camera, a region-of-interest camera and a video
// converter whose formats carry their norm.
TEST_F(DevicesTest, DefaultModuleAndDefaultRig)
{
    const CliRun result = run({"devices", "--json"}, {.nameAdaptor = false});
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    const json document = json::parse(result.out);
    ASSERT_EQ(document["devices"].size(), 3u);
    const std::string converterFormat = document["devices"][2]["formats"][0]["name"];
    EXPECT_NE(converterFormat.find(':'), std::string::npos) << converterFormat;
    ASSERT_EQ(document["warnings"].size(), 1u);
}

// The text form shows every device and format and the warning, and nothing
// on standard error.
TEST_F(DevicesTest, TextListsDevicesFormatsAndWarnings)
{
    const CliRun result = runSmall({"devices"});
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    EXPECT_EQ(result.err, "");
    for (const char* text : {"Test Colour", "RGB24 (64x48)", "RGB32 (64x48)", "Test Mono ROI", "Y16 (128x96)",
                             "Warnings:", "Unable to load formats of: \"Test Empty\"."})
        EXPECT_NE(result.out.find(text), std::string::npos) << text << " missing:\n" << result.out;
}

} // namespace
} // namespace orx::cli_test
