// Output that cannot be turned against its user: symbolic links planted in
// the output folder are never written through, a second run into a busy
// folder is refused before it captures, a write error stops capture at once,
// and output lost on standard output is an error.
#include "cli_fixture.h"
#include "output/leftover_parts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

namespace orx::cli_test {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class SafeOutputTest : public CliTest {
protected:
    // Every file of the scratch folder outside `outputs`, with its bytes.
    std::map<std::string, std::string> filesOutside(const fs::path& outputs) const
    {
        std::map<std::string, std::string> files;
        for (auto it = fs::recursive_directory_iterator(folder()); it != fs::recursive_directory_iterator(); ++it) {
            if (it->path() == folder() / outputs) {
                it.disable_recursion_pending();
                continue;
            }
            if (!it->is_symlink() && it->is_regular_file())
                files[fs::relative(it->path(), folder()).string()] = contents(it->path());
        }
        return files;
    }

    // A file outside the output folder and a link to it planted in the folder under `name`.
    fs::path plant(const std::string& name)
    {
        fs::create_directories(folder() / "o");
        const auto victim = writeFile("victim-" + name, "precious " + name + "\n");
        fs::create_symlink(victim, folder() / "o" / name);
        return victim;
    }

    void expectUntouched(const std::map<std::string, std::string>& before)
    {
        EXPECT_EQ(filesOutside("o"), before) << "a file outside the output folder changed";
    }

    // No partial file of the program's own (planted links aside) is left.
    static void expectNoPartialFiles(const fs::path& folder)
    {
        std::error_code absent;
        for (const auto& entry : fs::recursive_directory_iterator(folder, absent)) {
            if (entry.is_symlink())
                continue;
            EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
        }
    }
};

// Links planted where the program writes (its old fixed probe and partial
// names, a frame's own name) leave their targets byte for byte unchanged.
TEST_F(SafeOutputTest, PlantedLinksAreNeverWrittenThrough)
{
#if defined(_WIN32)
    GTEST_SKIP() << "symbolic links need privileges on Windows";
#else
    const std::vector<std::string> names{".orximaq-write-test", "frame-0001.png.part", "frame-0002.png",
                                         "frames.json.part", "frame-0001.raw.part", "frame-0001.tif.part"};
    for (const auto& name : names)
        plant(name);
    const auto before = filesOutside("o");
    for (const char* format : {"png", "raw", "tiff"}) {
        const CliRun result = runSmall({"acquire", "1", "1", "-n", "2", "-o", "o", "--output-format", format});
        ASSERT_EQ(result.exitCode, 0) << format << "\n" << result.transcript();
    }
    expectUntouched(before);
    EXPECT_FALSE(fs::is_symlink(folder() / "o" / "frame-0002.png")) << "the frame replaces a planted link";
    for (const char* frame : {"frame-0001.png", "frame-0002.png", "frame-0001.raw", "frames.json", "frame-0001.tif"})
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder() / "o" / frame))) << frame;
    expectNoPartialFiles(folder() / "o");
#endif
}

// Hidden partial files that a killed run left (its lock is gone with it) are
// removed by the next run into the folder; a planted link of that shape goes
// without its target, and other hidden files stay.
TEST_F(SafeOutputTest, LeftoversOfAKilledRunAreRemoved)
{
    fs::create_directories(folder() / "o");
    writeFile("o/.frame-0001.png.4242-0123456789abcdef.part", "half a frame");
    writeFile("o/.frames.json.7-fedcba9876543210.part", "{");
#if defined(_WIN32)
    writeFile("o/.frame-0002.png.4243-00000000000000ff.part", "no links here without a privilege");
#else
    plant(".frame-0002.png.4243-00000000000000ff.part");
#endif
    writeFile("o/.frame-0003.png.part", "not ours");
    writeFile("o/.notes.1-0123456789abcdeg.part", "not ours either");
    const auto before = filesOutside("o");

    const CliRun result = runSmall({"acquire", "1", "1", "-n", "1", "-o", "o"});
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    EXPECT_NE(result.err.find("removed 3 unfinished files that a killed run left in o"), std::string::npos)
        << result.transcript();
    expectUntouched(before);
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder() / "o" / ".frame-0002.png.4243-00000000000000ff.part")));
    EXPECT_TRUE(fs::exists(folder() / "o" / ".frame-0003.png.part"));
    EXPECT_TRUE(fs::exists(folder() / "o" / ".notes.1-0123456789abcdeg.part"));
}

TEST(LeftoverPartName, MatchesOnlyThePartialNamesThisProgramWrites)
{
    using orximaq::isLeftoverPartName;
    EXPECT_TRUE(isLeftoverPartName(".frame-0001.png.12-0123456789abcdef.part"));
    EXPECT_TRUE(isLeftoverPartName(".contact-sheet.png.1-ABCDEF0123456789.part"));
    for (const char* name : {"frame-0001.png.12-0123456789abcdef.part", ".frame.png.12-0123456789abcde.part",
                             ".frame.png.-0123456789abcdef.part", ".frame.png.12-0123456789abcdef",
                             ".12-0123456789abcdef.part", ".frame.png.1x-0123456789abcdef.part", ".part", ""})
        EXPECT_FALSE(isLeftoverPartName(name)) << name;
}

TEST_F(SafeOutputTest, PlantedLinkBesideTheContactSheetIsNotFollowed)
{
#if defined(_WIN32)
    GTEST_SKIP() << "symbolic links need privileges on Windows";
#else
    plant("contact-sheet.png.part");
    plant(".orximaq-write-test");
    const auto before = filesOutside("o");
    const CliRun result = runSmall({"demo", "-n", "1", "-o", "o"});
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    expectUntouched(before);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder() / "o" / "contact-sheet.png")));
#endif
}

// The output folder swapped for a link to another folder during the run:
// the frames keep going into the folder the run opened, none to the link's
// target.
TEST_F(SafeOutputTest, StreamingFolderSwappedDuringTheRunIsNotFollowed)
{
#if defined(_WIN32)
    GTEST_SKIP() << "needs a directory link and SIGINT; on Windows the open folder cannot be renamed at all";
#else
    RunningCli program(std::vector<std::string>{"acquire", "1", "1", "-n", "100000", "-o", "o"}, folder());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(folder() / "o" / "frame-0002.png") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    fs::create_directories(folder() / "elsewhere");
    fs::rename(folder() / "o", folder() / "o-moved");
    fs::create_directory_symlink(folder() / "elsewhere", folder() / "o");
    const auto moved = filesIn(folder() / "o-moved").size();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    program.signal(SIGINT);
    const CliRun run = program.finish(20.0);
    EXPECT_EQ(run.exitCode, 130) << run.transcript();
    EXPECT_TRUE(filesIn(folder() / "elsewhere").empty());
    EXPECT_GT(filesIn(folder() / "o-moved").size(), moved) << "writing went on in the folder the run opened";
#endif
}

// A folder that another run is writing into is refused before anything is
// captured; the first run is not disturbed, and the folder is free again
// once it has ended.
TEST_F(SafeOutputTest, StreamingSecondRunIntoBusyFolderIsRefused)
{
#if defined(_WIN32)
    GTEST_SKIP() << "ends the first run with SIGINT; StreamingConcurrentRunsSucceedOrAreRefused covers the lock on Windows";
#else
    RunningCli first(std::vector<std::string>{"acquire", "1", "1", "-n", "100000", "-o", "o"}, folder());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(folder() / "o" / "frame-0002.png") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto second = runSmall({"acquire", "1", "1", "-n", "1", "-o", "o", "--json"});
    EXPECT_EQ(second.exitCode, 1) << second.transcript();
    EXPECT_NE(second.err.find("another orximaq run is writing into it"), std::string::npos) << second.transcript();
    EXPECT_EQ(nlohmann::json::parse(second.out)["error"]["kind"], "output") << second.transcript();
    first.signal(SIGINT);
    const CliRun firstRun = first.finish(20.0);
    EXPECT_EQ(firstRun.exitCode, 130) << firstRun.transcript();
    expectNoPartialFiles(folder() / "o");
    const auto third = runSmall({"acquire", "1", "1", "-n", "1", "-o", "o"});
    EXPECT_EQ(third.exitCode, 0) << third.transcript();
#endif
}

// Runs started together into one folder: each succeeds or is refused for
// the busy folder, none fails half-way, and every frame file is whole.
TEST_F(SafeOutputTest, StreamingConcurrentRunsSucceedOrAreRefused)
{
    const auto rig = (folder() / "small-rig.json").string();
    std::vector<std::unique_ptr<RunningCli>> runs;
    for (int i = 0; i < 4; ++i) {
        fs::create_directories(folder() / ("run" + std::to_string(i)));
        runs.push_back(std::make_unique<RunningCli>(
            std::vector<std::string>{"--rig", rig, "acquire", "1", "1", "-n", "20", "-o", "../o", "--output-format",
                                     "raw"},
            folder() / ("run" + std::to_string(i))));
    }
    int succeeded = 0;
    for (auto& program : runs) {
        const CliRun result = program->finish(30.0);
        if (result.exitCode == 0) {
            ++succeeded;
            continue;
        }
        EXPECT_EQ(result.exitCode, 1) << result.transcript();
        EXPECT_NE(result.err.find("another orximaq run is writing into it"), std::string::npos)
            << result.transcript();
        EXPECT_EQ(result.out, "") << "refused before capture";
    }
    EXPECT_GE(succeeded, 1);
    for (int frame = 1; frame <= 20; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%04d.raw", frame);
        EXPECT_EQ(fs::file_size(folder() / "o" / name), 64u * 48u * 3u) << name;
    }
    expectNoPartialFiles(folder() / "o");
}

// A frame that cannot be written (here: larger than the file size the
// process may write, as on a full disk) stops capture at once; the summary
// and the JSON document say so, and the exit code is 1.
TEST_F(SafeOutputTest, WriteErrorStopsCaptureAtOnce)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no file size limit to fill the disk with";
#else
    CliOptions limited;
    limited.fileSizeLimit = 8192; // below one 64x48 RGB frame, above the summary
    for (const char* format : {"raw", "tiff"}) {
        const auto rig = (folder() / "small-rig.json").string();
        const CliRun result = runCli({"--rig", rig, "acquire", "1", "1", "-n", "2000", "-o", std::string("o-") + format,
                                      "--output-format", format, "--json"},
                                     folder(), limited);
        EXPECT_EQ(result.exitCode, 1) << format << "\n" << result.transcript();
        const auto document = nlohmann::json::parse(result.out, nullptr, false);
        ASSERT_TRUE(document.is_object()) << result.transcript();
        EXPECT_EQ(document["end"], "write-failed") << result.out;
        // Several writers fail at once; whichever reports first names its frame.
        EXPECT_TRUE(std::regex_search(document["error"].get<std::string>(), std::regex("frame-[0-9]{4}"))) << result.out;
        // At 200 frames/s the request would take 10 s: capture stopped long before.
        EXPECT_LT(document["frames"]["received"].get<int>(), 100) << result.out;
        EXPECT_TRUE(document["output"]["files"].empty()) << result.out;
        EXPECT_EQ(result.errLines().size(), 1u) << result.transcript();
        expectNoPartialFiles(folder() / (std::string("o-") + format));
    }
#endif
}

TEST_F(SafeOutputTest, WriteErrorSummaryInText)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no file size limit to fill the disk with";
#else
    CliOptions limited;
    limited.fileSizeLimit = 8192;
    const auto rig = (folder() / "small-rig.json").string();
    const CliRun result =
        runCli({"--rig", rig, "acquire", "1", "1", "-n", "2000", "-o", "o", "--output-format", "raw"}, folder(), limited);
    EXPECT_EQ(result.exitCode, 1) << result.transcript();
    EXPECT_NE(result.out.find("a file could not be written; capture stopped"), std::string::npos)
        << result.transcript();
    ASSERT_EQ(result.errLines().size(), 1u) << result.transcript();
    EXPECT_NE(result.errLines()[0].find("cannot write"), std::string::npos) << result.transcript();
#endif
}

// Output that never reached standard output is a failure with a message.
TEST_F(SafeOutputTest, FullStandardOutputIsAnError)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    CliOptions full;
    full.standardOutput = "/dev/full";
    const auto rig = (folder() / "small-rig.json").string();
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--rig", rig, "devices"},
             {"--rig", rig, "devices", "--json"},
             {"--rig", rig, "acquire", "1", "1", "-n", "1", "-o", "o", "--json"}}) {
        const CliRun result = runCli(arguments, folder(), full);
        EXPECT_EQ(result.exitCode, 1) << result.transcript();
        ASSERT_FALSE(result.errLines().empty()) << result.transcript();
        EXPECT_NE(result.errLines().back().find("cannot write to standard output"), std::string::npos)
            << result.transcript();
    }
}

} // namespace
} // namespace orx::cli_test
