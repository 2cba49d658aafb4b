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

} // namespace
} // namespace orx::cli_test
