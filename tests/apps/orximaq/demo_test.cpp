#include "cli_fixture.h"

#include <gtest/gtest.h>

namespace orx::cli_test {
namespace {

using StreamingDemoTest = CliTest;

// The tour writes a folder per camera with its frames, a contact sheet of
// their first frames, and closes naming the folder.
TEST_F(StreamingDemoTest, WritesEveryCameraAndContactSheet)
{
    const CliRun result = runSmall({"demo", "-n", "2", "-o", "tour"});
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    const auto tour = folder() / "tour";
    EXPECT_EQ(filesIn(tour), (std::vector<std::string>{"1-Test-Colour", "2-Test-Mono-ROI", "contact-sheet.png"}));
    EXPECT_EQ(filesIn(tour / "1-Test-Colour"), (std::vector<std::string>{"frame-0001.png", "frame-0002.png"}));
    EXPECT_EQ(filesIn(tour / "2-Test-Mono-ROI").size(), 2u);

    const PngFile sheet = readPng(tour / "contact-sheet.png");
    ASSERT_TRUE(sheet.valid) << sheet.problem;
    EXPECT_EQ(sheet.channels, 3);
    EXPECT_GT(sheet.width, sheet.height); // two tiles side by side

    EXPECT_NE(result.out.find("Unable to load formats of: \"Test Empty\"."), std::string::npos);
    EXPECT_NE(result.out.find("frames verified:  2 of 2 whole"), std::string::npos) << result.out;
    EXPECT_NE(result.out.rfind("Demo written to tour\n"), std::string::npos) << result.out;
}

// Each camera shows its largest format that fits in 1280 x 1024: on the
// default rig neither the first format nor the largest one.
TEST_F(StreamingDemoTest, ShowsTheLargestFormatUpTo1280By1024)
{
    const CliRun result = run({"demo", "-n", "1", "-o", "tour"});
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    EXPECT_NE(result.out.find("Camera 1 \"ORX Colour 2448\", format 3 \"RGB24 (1280x960)\""), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Camera 3 \"ORX Video Converter\", format 5 \"PAL_B:Y800 (768x576)\""),
              std::string::npos)
        << result.out;
}

// A rig of `count` tiny grey cameras, "Cam 1" to "Cam <count>".
std::string manyCameras(int count)
{
    std::string devices;
    for (int i = 1; i <= count; ++i)
        devices += std::string(i > 1 ? "," : "") + R"j({"name": "Cam )j" + std::to_string(i) +
                   R"j(", "formats": ["Y800 (16x8)"],
                      "descriptions": [{"colorformat": "Y800", "min": [16, 8], "max": [16, 8]}],
                      "frameRates": {"default": [400]}})j";
    return R"j({"devices": [)j" + devices + "]}";
}

// The tour opens at most eight cameras unless told otherwise, lists the
// others, and its contact sheet holds only the toured ones.
TEST_F(StreamingDemoTest, ToursAtMostEightCamerasAndListsTheRest)
{
    const auto rig = writeFile("many.json", manyCameras(12)).string();
    const CliRun result = run({"--rig", rig, "demo", "-n", "1", "-o", "tour"});
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    EXPECT_EQ(filesIn(folder() / "tour").size(), 9u) << "eight camera folders and the sheet";
    EXPECT_NE(result.out.find("Not toured (--max-cameras 8): 4 of 12 cameras"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("  12 \"Cam 12\"\n"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("Camera 9 "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("first frames of devices 1, 2, 3, 4, 5, 6, 7, 8)"), std::string::npos) << result.out;

    const CliRun two = run({"--rig", rig, "demo", "-n", "1", "-o", "two", "--max-cameras", "2"});
    ASSERT_EQ(two.exitCode, 0) << two.transcript();
    EXPECT_EQ(filesIn(folder() / "two").size(), 3u);
    const PngFile sheet = readPng(folder() / "two" / "contact-sheet.png");
    ASSERT_TRUE(sheet.valid) << sheet.problem;
    EXPECT_LT(sheet.width, 1000u);

    for (const char* bad : {"0", "65"})
        expectOneError(run({"--rig", rig, "demo", "--max-cameras", bad}), {"--max-cameras", "64", bad});
}

} // namespace
} // namespace orx::cli_test
