// Frames written by a pool of writer threads: every file present and whole,
// listed in frame order, the raw sidecar in frame order, the PNG level
// honoured, and the write rate and the frames waiting shown.
#include "cli_fixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orx::cli_test {
namespace {

namespace fs = std::filesystem;

using StreamingWritersTest = CliTest;

TEST_F(StreamingWritersTest, ManyFramesArriveWholeAndInOrder)
{
    const auto document = jsonSmall({"acquire", "2", "Y800 (128x96)", "-n", "120", "-o", "o", "--output-format", "raw", "--json"});
    const auto& files = document["output"]["files"];
    ASSERT_EQ(files.size(), 120u) << document.dump();
    for (std::size_t i = 0; i < files.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%04zu.raw", i + 1);
        EXPECT_EQ(files[i], name);
        EXPECT_EQ(fs::file_size(folder() / "o" / name), 128u * 96u) << name;
    }
    std::ifstream sidecarFile(folder() / "o" / "frames.json");
    const auto sidecar = nlohmann::json::parse(sidecarFile);
    ASSERT_EQ(sidecar["frames"].size(), 120u);
    for (std::size_t i = 0; i < 120; ++i)
        EXPECT_EQ(sidecar["frames"][i]["index"], i);
    EXPECT_EQ(document["verification"]["whole"], 120);

    const auto& writing = document["writing"];
    EXPECT_EQ(writing["files"], 120);
    EXPECT_GT(writing["rate"].get<double>(), 0.0) << writing.dump();
    EXPECT_GE(writing["mostWaiting"].get<int>(), 0);
}

// Level 0 stores the pixels; level 9 compresses them: the files differ in
// size, and both decode to the same frames. (The Windows build stores the
// pixels at every level.)
TEST_F(StreamingWritersTest, PngLevelIsHonoured)
{
    const auto stored = jsonSmall({"acquire", "1", "1", "-n", "2", "-o", "stored", "--png-level", "0", "--json"});
    const auto packed = jsonSmall({"acquire", "1", "1", "-n", "2", "-o", "packed", "--png-level", "9", "--json"});
    EXPECT_GT(fs::file_size(folder() / "stored" / "frame-0001.png"), 64u * 48u * 3u);
#if !defined(_WIN32)
    EXPECT_LT(fs::file_size(folder() / "packed" / "frame-0001.png"), fs::file_size(folder() / "stored" / "frame-0001.png"));
#endif
    for (const char* name : {"stored", "packed"}) {
        const PngFile png = readPng(folder() / name / "frame-0002.png");
        EXPECT_TRUE(png.valid) << name << ": " << png.problem;
    }
    const CliRun refused = runSmall({"acquire", "1", "1", "--png-level", "10"});
    EXPECT_EQ(refused.exitCode, 2) << refused.transcript();
}

// The summary and the progress line show the write rate and the frames waiting.
TEST_F(StreamingWritersTest, RateAndWaitingAreShown)
{
    const CliRun summary = runSmall({"acquire", "1", "1", "-n", "5", "-o", "o"});
    ASSERT_EQ(summary.exitCode, 0) << summary.transcript();
    EXPECT_NE(summary.out.find("  writing:          "), std::string::npos) << summary.out;
    EXPECT_NE(summary.out.find(" files/s (5 in "), std::string::npos) << summary.out;
    EXPECT_NE(summary.out.find("frames waiting to be written"), std::string::npos) << summary.out;

#if !defined(_WIN32) // no pseudo-terminals
    const auto rig = (folder() / "small-rig.json").string();
    const CliRun terminal = runCliOnTerminal({"--rig", rig, "acquire", "1", "1", "-n", "400", "-o", "t"}, folder());
    ASSERT_EQ(terminal.exitCode, 0) << terminal.transcript();
    EXPECT_NE(terminal.out.find("; written "), std::string::npos) << terminal.out;
    EXPECT_NE(terminal.out.find(" waiting"), std::string::npos) << terminal.out;
#endif
}

} // namespace
} // namespace orx::cli_test
