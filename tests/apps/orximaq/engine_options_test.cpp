// `acquire` driving the host's acquisition engine: manual triggers by signal,
// trigger counts, frame delay and grab interval, colour spaces, the frame
// memory limit and the host's log file, end to end as a user runs them.
#include "cli_fixture.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <tiffio.h>
#endif

#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

namespace orx::cli_test {
namespace {

using nlohmann::json;

[[maybe_unused]] std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t found = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

#if !defined(_WIN32)
struct TiffPage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;
};

// Every page of a TIFF stack of 8-bit grey pages, read back with libtiff.
std::vector<TiffPage> readTiffStack(const std::filesystem::path& path)
{
    std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(TIFFOpen(path.c_str(), "r"), TIFFClose);
    std::vector<TiffPage> pages;
    if (!tiff)
        return pages;
    do {
        TiffPage page;
        TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &page.width);
        TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &page.height);
        const auto rowBytes = static_cast<std::size_t>(TIFFScanlineSize(tiff.get()));
        page.pixels.resize(rowBytes * page.height);
        for (std::uint32_t row = 0; row < page.height; ++row)
            if (TIFFReadScanline(tiff.get(), &page.pixels[row * rowBytes], row) < 0)
                return {};
        pages.push_back(std::move(page));
    } while (TIFFReadDirectory(tiff.get()));
    return pages;
}
#endif

class EngineOptionsTest : public CliTest {
protected:
#if !defined(_WIN32)
    // Starts `arguments` and sends SIGUSR1 each time the program says it
    // waits for a trigger, `triggers` times; then waits for its end.
    CliRun runTriggered(const std::vector<std::string>& arguments, std::size_t triggers)
    {
        RunningCli program(arguments, folder());
        for (std::size_t sent = 0; sent < triggers;) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (count(program.errorSoFar(), "waiting for trigger") <= sent &&
                   std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (count(program.errorSoFar(), "waiting for trigger") <= sent)
                break;
            program.signal(SIGUSR1);
            ++sent;
        }
        return program.finish(30);
    }
#endif
};

// Three SIGUSR1, each sent when the program says it waits, log three
// triggers of three frames; the run ends by itself, and every frame carries
// its trigger, its number in the run and in its trigger.
TEST_F(EngineOptionsTest, StreamingManualTriggersBySignal)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no SIGUSR1 (there a manual trigger is Enter in the console)";
#else
    const CliRun result = runTriggered({"acquire", "1", "1", "--trigger", "manual", "--frames-per-trigger", "3",
                                        "--trigger-repeat", "2", "-o", "frames", "--json"},
                                       3);
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    EXPECT_EQ(count(result.err, "waiting for trigger"), 3u) << result.err;
    EXPECT_NE(result.err.find("waiting for trigger 3 of 3"), std::string::npos) << result.err;
    const json document = json::parse(result.out);
    EXPECT_EQ(document["end"], "completed");
    EXPECT_EQ(document["trigger"]["executed"], 3);
    EXPECT_EQ(document["trigger"]["framesLogged"], json::parse("[3, 3, 3]"));
    EXPECT_EQ(filesIn(folder() / "frames").size(), 9u);
    const auto& list = document["frames"]["list"];
    ASSERT_EQ(list.size(), 9u) << document["frames"].dump();
    double lastTime = -1.0;
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(list[i]["TriggerIndex"], i / 3 + 1) << i;
        EXPECT_EQ(list[i]["RelativeFrame"], i % 3 + 1) << i;
        EXPECT_EQ(list[i]["FrameNumber"], i + 1) << i;
        EXPECT_GE(list[i]["Time"].get<double>(), lastTime) << i;
        lastTime = list[i]["Time"].get<double>();
        EXPECT_EQ(list[i]["AbsTime"].size(), 6u);
    }
    std::vector<std::string> types;
    for (const auto& event : document["events"])
        types.push_back(event["Type"]);
    EXPECT_EQ(types, (std::vector<std::string>{"Start", "Trigger", "Trigger", "Trigger", "Stop"}));
#endif
}

// Signals sent before the program waits for them are kept, not lost: three
// in quick succession fire three triggers, one after the other.
TEST_F(EngineOptionsTest, StreamingEarlyTriggerSignalsWaitTheirTurn)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no SIGUSR1 (there a manual trigger is Enter in the console)";
#else
    RunningCli program({"--rig", "small-rig.json", "acquire", "1", "1", "--trigger", "manual",
                        "--frames-per-trigger", "4", "--trigger-repeat", "2", "-o", "frames", "--json"},
                       folder());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (program.errorSoFar().find("waiting for trigger 1") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // Apart enough that the kernel delivers each: a signal sent while the
    // same one is still pending merges with it.
    for (int i = 0; i < 3; ++i) {
        program.signal(SIGUSR1);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const CliRun result = program.finish(30);
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    const json document = json::parse(result.out);
    EXPECT_EQ(document["trigger"]["framesLogged"], json::parse("[4, 4, 4]"));
    EXPECT_EQ(filesIn(folder() / "frames").size(), 12u);
#endif
}

// Ctrl-C while waiting for a trigger stops cleanly with the summary of what
// was logged so far.
TEST_F(EngineOptionsTest, StreamingInterruptWhileWaitingForTrigger)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no SIGUSR1 or signals to send";
#else
    RunningCli program({"--rig", "small-rig.json", "acquire", "1", "1", "--trigger", "manual",
                        "--frames-per-trigger", "2", "--trigger-repeat", "inf", "-o", "frames"},
                       folder());
    for (int wanted = 1; wanted <= 2; ++wanted) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (count(program.errorSoFar(), "waiting for trigger") < static_cast<std::size_t>(wanted) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (wanted == 1)
            program.signal(SIGUSR1);
    }
    program.signal(SIGINT);
    const CliRun result = program.finish(30);
    EXPECT_EQ(result.exitCode, 128 + SIGINT) << result.transcript();
    EXPECT_NE(result.out.find("triggers:         1 executed (manual"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("interrupted by SIGINT"), std::string::npos) << result.out;
    EXPECT_EQ(filesIn(folder() / "frames").size(), 2u);
#endif
}

// One TIFF stack of 100 pages through the host's disk logger, and no frame
// files without -o; with -o as well (raw), every page equals its frame.
TEST_F(EngineOptionsTest, TiffStackLogHoldsEveryFrame)
{
#if defined(_WIN32)
    GTEST_SKIP() << "the Windows build has no libtiff to read the stack back";
#else
    const CliRun alone = run({"acquire", "2", "Y800 (640x480)", "-n", "100", "--log", "tiff-stack", "run.tif"});
    ASSERT_EQ(alone.exitCode, 0) << alone.transcript();
    EXPECT_NE(alone.out.find("log file:         run.tif (tiff-stack, 100 frames written)"), std::string::npos)
        << alone.out;
    EXPECT_FALSE(std::filesystem::exists(folder() / "orximaq-frames")) << "frame files were written";
    const auto pages = readTiffStack(folder() / "run.tif");
    ASSERT_EQ(pages.size(), 100u);
    EXPECT_EQ(pages.front().width, 640u);
    EXPECT_EQ(pages.back().height, 480u);

    const json document = jsonSmall({"acquire", "2", "1", "-n", "6", "--log", "tiff-stack", "both.tif", "-o",
                                     "frames", "--output-format", "raw", "--json"});
    EXPECT_EQ(document["log"]["framesWritten"], 6);
    EXPECT_EQ(document["log"]["error"], nullptr);
    const auto stack = readTiffStack(folder() / "both.tif");
    ASSERT_EQ(stack.size(), 6u);
    for (std::size_t i = 0; i < stack.size(); ++i) {
        const auto name = document["output"]["files"][i].get<std::string>();
        EXPECT_EQ(stack[i].pixels, fileBytes(folder() / "frames" / name)) << name;
    }
#endif
}

// An AVI log is one RIFF file; a log file that cannot grow (as on a full
// disk) fails the run as an output error that names the file.
TEST_F(EngineOptionsTest, AviLogAndFullDisk)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no file size limit to fill the disk with";
#else
    jsonSmall({"acquire", "1", "1", "-n", "3", "--log", "avi", "run.avi", "--json"});
    const auto bytes = fileBytes(folder() / "run.avi");
    ASSERT_GT(bytes.size(), 64u * 48u * 3u * 3u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "AVI ");

    CliOptions small;
    small.fileSizeLimit = 20000;
    const CliRun full =
        run({"--rig", "small-rig.json", "acquire", "2", "Y800 (128x96)", "-n", "20", "--log", "tiff-stack", "full.tif", "--json"},
            small);
    EXPECT_EQ(full.exitCode, 1) << full.transcript();
    const json document = json::parse(full.out);
    EXPECT_EQ(document["end"], "write-failed");
    EXPECT_NE(document["log"]["error"], nullptr);
    EXPECT_LT(document["log"]["framesWritten"].get<int>(), 20);
    EXPECT_NE(document["error"].get<std::string>().find("full.tif could not be written"), std::string::npos)
        << document["error"];
#endif
}

// The built-in colour camera has no hardware region: the host crops.
TEST_F(EngineOptionsTest, HostCropOnColourCamera)
{
    const CliRun result = run({"acquire", "1", "1", "-n", "5", "--roi", "100,50,320,240", "-o", "roi"});
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    ASSERT_EQ(filesIn(folder() / "roi").size(), 5u);
    for (const auto& name : filesIn(folder() / "roi")) {
        const PngFile png = readPng(folder() / "roi" / name);
        EXPECT_EQ(png.width, 320u) << name;
        EXPECT_EQ(png.height, 240u) << name;
    }
}

// Frame delay and grab interval leave camera frames out: the count shows in
// the summary, and the frames are still whole camera frames in order.
TEST_F(EngineOptionsTest, FrameDelayAndGrabIntervalLeaveFramesOut)
{
    const json delayed = jsonSmall({"acquire", "2", "1", "-n", "2", "--frame-delay", "5", "-o", "d", "--json"});
    EXPECT_EQ(delayed["frames"]["leftOut"], 5);
    EXPECT_EQ(delayed["trigger"]["frameDelay"], 5);
    EXPECT_EQ(delayed["verification"]["whole"], 2);

    const json sparse = jsonSmall({"acquire", "2", "1", "-n", "4", "--grab-interval", "3", "-o", "g", "--json"});
    EXPECT_GE(sparse["frames"]["leftOut"].get<int>(), 6);
    EXPECT_EQ(sparse["frames"]["received"], 4);
    EXPECT_EQ(sparse["verification"]["inOrder"], 4) << sparse["verification"].dump();
    const auto& stamps = sparse["frames"]["list"];
    ASSERT_EQ(stamps.size(), 4u);
    EXPECT_EQ(stamps[3]["FrameNumber"], 4);
}

// Colour spaces change the layout written: grey from colour, three bands
// from a Bayer mosaic, and Y, Cb, Cr as they are (a grey camera has no
// chroma: Cb and Cr are all 128).
TEST_F(EngineOptionsTest, ColourSpacesChangeTheFilesWritten)
{
    const json grey = jsonSmall({"acquire", "1", "1", "-n", "1", "--color-space", "grayscale", "-o", "g", "--json"});
    EXPECT_EQ(grey["colorSpace"], "grayscale");
    EXPECT_EQ(readPng(folder() / "g" / "frame-0001.png").channels, 1);

    const json bayer = jsonSmall({"acquire", "2", "Y800 (128x96)", "-n", "1", "--color-space", "bayer:rggb", "-o", "b", "--json"});
    EXPECT_EQ(bayer["bands"], 3);
    EXPECT_EQ(bayer["bayerAlignment"], "rggb");
    EXPECT_EQ(readPng(folder() / "b" / "frame-0001.png").channels, 3);

    jsonSmall({"acquire", "2", "Y800 (128x96)", "-n", "1", "--color-space", "YCbCr", "-o", "y", "--output-format", "raw",
               "--json"});
    const auto ycc = fileBytes(folder() / "y" / "frame-0001.raw");
    ASSERT_EQ(ycc.size(), 128u * 96u * 3u);
    for (std::size_t i = 0; i < ycc.size(); i += 3) {
        ASSERT_GE(ycc[i], 16) << i;
        ASSERT_LE(ycc[i], 235) << i;
        ASSERT_EQ(ycc[i + 1], 128) << i;
        ASSERT_EQ(ycc[i + 2], 128) << i;
    }
}

// A memory limit is applied and reported; one that cannot hold a frame is refused up front.
TEST_F(EngineOptionsTest, MemoryLimit)
{
    const json document = jsonSmall({"acquire", "1", "1", "-n", "3", "--memory-limit", "64K", "-o", "m", "--json"});
    EXPECT_EQ(document["memoryLimit"], 65536);
    EXPECT_EQ(document["frames"]["received"], 3);

    const CliRun tiny = runSmall({"acquire", "1", "1", "-n", "3", "--memory-limit", "1000", "-o", "t"});
    expectOneError(tiny, {"--memory-limit 1000", "64x48 frame needs at least 9216 bytes"});
    EXPECT_FALSE(std::filesystem::exists(folder() / "t"));
}

struct BadArguments {
    std::vector<std::string> arguments;
    std::vector<std::string> mentions;
};

// Every engine option refuses a bad value with one clear error line, and
// with --json a JSON error document; no camera is started.
TEST_F(EngineOptionsTest, BadValuesAreRefused)
{
    std::filesystem::create_directory(folder() / "adir");
    const std::vector<BadArguments> cases{
        {{"--trigger", "hardware"}, {"--trigger hardware", "immediate or manual"}},
        {{"--frames-per-trigger", "0"}, {"--frames-per-trigger 0", "from 1"}},
        {{"--frames-per-trigger", "many"}, {"--frames-per-trigger many", "whole number"}},
        {{"--trigger-repeat", "-1"}, {"--trigger-repeat -1", "from 0"}},
        {{"--frame-delay", "1.5"}, {"--frame-delay 1.5", "whole number"}},
        {{"--grab-interval", "0"}, {"--grab-interval 0", "from 1"}},
        {{"--color-space", "purple"}, {"--color-space purple", "rgb, grayscale, ycbcr"}},
        {{"--color-space", "bayer"}, {"--color-space bayer", "alignment"}},
        {{"--color-space", "bayer:xyzw"}, {"--color-space bayer:xyzw"}},
        {{"--color-space", "rgb:grbg"}, {"--color-space rgb:grbg", "only bayer"}},
        {{"--memory-limit", "0"}, {"--memory-limit 0"}},
        {{"--memory-limit", "99999999999G"}, {"--memory-limit"}},
        {{"--log", "gif", "x.gif"}, {"--log gif", "tiff-stack or avi"}},
        {{"--log", "avi", "adir"}, {"--log avi adir", "is a folder"}},
        {{"--log", "avi", "nowhere/x.avi"}, {"nowhere", "does not exist"}},
        {{"--frames-per-trigger", "100000", "--trigger-repeat", "100000"}, {"--frames-per-trigger times"}},
    };
    for (const auto& bad : cases) {
        std::vector<std::string> arguments{"acquire", "1", "1", "-o", "never"};
        arguments.insert(arguments.end(), bad.arguments.begin(), bad.arguments.end());
        SCOPED_TRACE(bad.arguments.front() + " " + bad.arguments.back());
        expectOneError(runSmall(arguments), bad.mentions);
        arguments.push_back("--json");
        const CliRun withJson = runSmall(arguments);
        EXPECT_EQ(withJson.exitCode, 1);
        const json document = json::parse(withJson.out, nullptr, false);
        ASSERT_FALSE(document.is_discarded()) << withJson.out;
        EXPECT_EQ(document["error"]["kind"], "argument") << withJson.out;
    }
    EXPECT_FALSE(std::filesystem::exists(folder() / "never"));

    // A colour camera cannot be demosaiced, 16-bit colour has no file format
    // here; frames per trigger and -n are one thing.
    expectOneError(runSmall({"acquire", "1", "1", "--color-space", "bayer:grbg", "-o", "never"}),
                   {"--color-space bayer:grbg"});
    expectOneError(runSmall({"acquire", "2", "Y16 (128x96)", "--color-space", "rgb", "-o", "never",
                             "--output-format", "raw"}),
                   {"--color-space rgb", "16-bit colour"});
    const CliRun both = runSmall({"acquire", "1", "1", "-n", "3", "--frames-per-trigger", "3"});
    EXPECT_EQ(both.exitCode, 2) << both.transcript();
}

} // namespace
} // namespace orx::cli_test
