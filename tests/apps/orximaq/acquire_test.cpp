#include "cli_fixture.h"

#include <gtest/gtest.h>

namespace orx::cli_test {
namespace {

using nlohmann::json;

struct FormatCase {
    const char* device;
    const char* format;
    std::uint32_t width;
    std::uint32_t height;
    int bitDepth;
    int channels;
};

void PrintTo(const FormatCase& format, std::ostream* out)
{
    *out << format.device << " " << format.format;
}

// "Streaming" in the name: the thread-sanitizer build runs these too.
class StreamingAcquireFormatTest : public CliTest, public ::testing::WithParamInterface<FormatCase> {};

// Each pixel layout becomes PNG files of the frame size in the matching depth
// (8 or 16-bit grey, RGB from 24 and 32-bit), named in order, none half
// written, and every frame decodes as a whole, ordered camera frame.
TEST_P(StreamingAcquireFormatTest, WritesEveryFrameAsPng)
{
    const auto& format = GetParam();
    const json document = jsonSmall({"acquire", format.device, format.format, "-n", "3", "-o", "frames", "--json"});
    EXPECT_EQ(document["end"], "completed");
    EXPECT_EQ(document["frames"]["requested"], 3);
    EXPECT_EQ(document["frames"]["received"], 3);
    EXPECT_EQ(document["verification"]["whole"], 3) << document["verification"].dump();
    EXPECT_EQ(document["verification"]["inOrder"], 3);
    EXPECT_EQ(document["output"]["files"], json::parse(R"j(["frame-0001.png", "frame-0002.png", "frame-0003.png"])j"));
    EXPECT_EQ(document["output"]["bitDepth"], format.bitDepth);
    EXPECT_LE(document["timestamps"]["first"].get<double>(), document["timestamps"]["last"].get<double>());

    const auto frames = folder() / "frames";
    ASSERT_EQ(filesIn(frames), (std::vector<std::string>{"frame-0001.png", "frame-0002.png", "frame-0003.png"}));
    for (const auto& name : filesIn(frames)) {
        const PngFile png = readPng(frames / name);
        ASSERT_TRUE(png.valid) << name << ": " << png.problem;
        EXPECT_EQ(png.width, format.width);
        EXPECT_EQ(png.height, format.height);
        EXPECT_EQ(png.bitDepth, format.bitDepth);
        EXPECT_EQ(png.channels, format.channels);
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, StreamingAcquireFormatTest,
                         ::testing::Values(FormatCase{"1", "RGB24 (64x48)", 64, 48, 8, 3},
                                           FormatCase{"Test Colour", "RGB32 (64x48)", 64, 48, 8, 3},
                                           FormatCase{"2", "Y800 (128x96)", 128, 96, 8, 1},
                                           FormatCase{"Test Mono ROI", "Y16 (128x96)", 128, 96, 16, 1}));

using AcquireTest = CliTest;

// Without -n and -o: ten frames into ./orximaq-frames, a text summary, and no
// progress bar when standard output is not a terminal.
TEST_F(AcquireTest, DefaultsAndTextSummary)
{
    const CliRun result = runSmall({"acquire", "1", "1"});
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    EXPECT_EQ(filesIn(folder() / "orximaq-frames").size(), 10u);
    for (const char* text : {"frames received:  10 of 10", "frames dropped:", "frames verified:  10 of 10 whole",
                             "frame rate:", "time stamps:", "frame-0001.png ... frame-0010.png"})
        EXPECT_NE(result.out.find(text), std::string::npos) << text << " missing:\n" << result.out;
    EXPECT_EQ(result.out.find('\r'), std::string::npos);
    EXPECT_EQ(result.err, "");
}

// On a terminal the acquisition shows a progress bar that reaches the frame
// count and is cleared before the summary; --json never draws one.
TEST_F(AcquireTest, ProgressBarOnlyOnTerminal)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no pseudo-terminals";
#else
    const auto rig = (folder() / "small-rig.json").string();
    const CliRun text = runCliOnTerminal({"--rig", rig, "acquire", "1", "1", "-n", "5", "-o", "tty"}, folder());
    ASSERT_EQ(text.exitCode, 0) << text.out;
    EXPECT_NE(text.out.find("\rAcquiring ["), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("] 5/5"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("frames received:  5 of 5"), std::string::npos) << text.out;

    const CliRun json =
        runCliOnTerminal({"--rig", rig, "acquire", "1", "1", "-n", "5", "-o", "tty", "--json"}, folder());
    ASSERT_EQ(json.exitCode, 0) << json.out;
    EXPECT_EQ(json.out.find("Acquiring"), std::string::npos) << json.out;
#endif
}

// A brightness written with --set shows in the pixels: the brighter setting
// gives a clearly brighter frame that still decodes as the camera's pattern.
TEST_F(AcquireTest, BrightnessShowsInPixels)
{
    const json dark = jsonSmall({"acquire", "1", "1", "-n", "1", "-o", "dark", "--json", "--set", "Brightness=0"});
    const json bright =
        jsonSmall({"acquire", "1", "1", "-n", "1", "-o", "bright", "--json", "--set", "Brightness=511"});
    EXPECT_EQ(dark["settings"][0]["value"], 0);
    EXPECT_EQ(bright["settings"][0]["value"], 511);
    EXPECT_EQ(bright["verification"]["whole"], 1);

    const PngFile darkFrame = readPng(folder() / "dark" / "frame-0001.png");
    const PngFile brightFrame = readPng(folder() / "bright" / "frame-0001.png");
    ASSERT_TRUE(darkFrame.valid && brightFrame.valid);
    EXPECT_GT(brightFrame.mean(), darkFrame.mean() + 100.0);
}

// On the region-of-interest camera --roi is rounded to the format's step and
// the frames have the rounded size, cut from where the offsets put them.
TEST_F(AcquireTest, RegionOfInterestIsRoundedOnRoiCamera)
{
    const json document =
        jsonSmall({"acquire", "2", "Y800 (128x96)", "-n", "2", "-o", "roi", "--roi", "13,7,61,31", "--json"});
    EXPECT_EQ(document["region"]["requested"], json::parse(R"j({"x": 13, "y": 7, "width": 61, "height": 31})j"));
    EXPECT_EQ(document["region"]["applied"], json::parse(R"j({"x": 12, "y": 6, "width": 60, "height": 30})j"));
    EXPECT_EQ(document["verification"]["whole"], 2) << document["verification"].dump();
    EXPECT_EQ(document["verification"]["origin"], json::parse(R"j({"x": 12, "y": 6})j"));
    for (const auto& name : filesIn(folder() / "roi")) {
        const PngFile png = readPng(folder() / "roi" / name);
        EXPECT_EQ(png.width, 60u);
        EXPECT_EQ(png.height, 30u);
    }
}

// A camera without region-of-interest formats keeps delivering the full
// image; the host crops it, so frames and the summary show the region asked for.
TEST_F(AcquireTest, RegionOnOtherCamerasIsCroppedByTheHost)
{
    const CliRun result = runSmall({"acquire", "1", "1", "-n", "1", "-o", "full", "--roi", "8,8,16,16"});
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    EXPECT_NE(result.out.find("asked 8,8,16,16, applied 8,8,16,16"), std::string::npos) << result.out;
    const PngFile png = readPng(folder() / "full" / "frame-0001.png");
    EXPECT_EQ(png.width, 16u);
    EXPECT_EQ(png.height, 16u);
}

// Frames of an earlier, longer run in the same folder are announced, not
// silently mixed with the new ones.
TEST_F(AcquireTest, OlderFramesInFolderAreAnnounced)
{
    jsonSmall({"acquire", "1", "1", "-n", "3", "-o", "frames", "--json"});
    const json document = jsonSmall({"acquire", "1", "1", "-n", "1", "-o", "frames", "--json"});
    EXPECT_EQ(document["output"]["olderFrames"], 2);
    const CliRun text = runSmall({"acquire", "1", "1", "-n", "2", "-o", "frames"});
    EXPECT_NE(text.out.find("also holds 1 frame files of an earlier run"), std::string::npos) << text.out;
}

// An acquisition that ends early still prints its summary with the adaptor's
// warnings and message boxes, then fails with one error line saying how many
// frames were written; the frames that did arrive are kept.
TEST_F(AcquireTest, EarlyEndIsReportedAfterSummary)
{
    const auto rig = writeFile("faulty-rig.json", R"rig({
      "devices": [
        { "name": "Refusing", "formats": ["Y800 (32x24)"],
          "descriptions": [ { "colorformat": "Y800", "min": [32, 24], "max": [32, 24] } ],
          "frameRates": { "default": [200] }, "faults": { "refuseLive": true } },
        { "name": "Fragile", "formats": ["Y800 (32x24)"],
          "descriptions": [ { "colorformat": "Y800", "min": [32, 24], "max": [32, 24] } ],
          "frameRates": { "default": [200] }, "faults": { "lostAfterFrames": 2 } }
      ]
    })rig");

    const CliRun refused = run({"--rig", rig.string(), "acquire", "Refusing", "1", "-n", "3", "-o", "refused"});
    EXPECT_EQ(refused.exitCode, 1) << refused.transcript();
    EXPECT_NE(refused.out.find("Failed to start the live video"), std::string::npos) << refused.out;
    ASSERT_EQ(refused.errLines().size(), 1u) << refused.transcript();
    EXPECT_NE(refused.err.find("orximaq: error: acquisition ended early"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(folder() / "refused")) << "an empty folder was left behind";

    const CliRun lost = run({"--rig", rig.string(), "acquire", "Fragile", "1", "-n", "5", "-o", "lost", "--json"});
    EXPECT_EQ(lost.exitCode, 1) << lost.transcript();
    const json document = json::parse(lost.out);
    EXPECT_EQ(document["end"], "deviceLost");
    EXPECT_EQ(document["output"]["files"].size(), 2u);
    EXPECT_EQ(document["messages"], json::parse(R"j([{"caption": "ORX_IMAQ Error", "text": "Device lost!"}])j"));
    ASSERT_EQ(lost.errLines().size(), 1u) << lost.transcript();
    EXPECT_EQ("orximaq: error: " + document["error"].get<std::string>(), lost.errLines()[0]);
    EXPECT_EQ(filesIn(folder() / "lost"), (std::vector<std::string>{"frame-0001.png", "frame-0002.png"}));
}

} // namespace
} // namespace orx::cli_test
