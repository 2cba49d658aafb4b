// Ctrl-C (SIGINT) and SIGTERM sent to a running acquisition: capture stops,
// the summary of what was acquired is printed, the exit code is 128 plus
// the signal, and no half-written file is left behind.
#include "cli_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <thread>

namespace orx::cli_test {
namespace {

class InterruptTest : public CliTest {
protected:
    // Starts a long acquisition on the built-in rig and waits until it has
    // written a few frames.
    RunningCli& startLong()
    {
        program_.emplace(std::vector<std::string>{"acquire", "1", "1", "-n", "100000", "-o", "frames"}, folder());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (framesWritten() < 3 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_GE(framesWritten(), 3u) << "the acquisition wrote no frames";
        return *program_;
    }

    std::size_t framesWritten() const
    {
        std::size_t count = 0;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(folder() / "frames", ignored))
            count += entry.path().extension() == ".png" ? 1 : 0;
        return count;
    }

    // No partial file remains and every frame file decodes as a whole image.
    void expectOnlyWholeFrames()
    {
        const auto names = filesIn(folder() / "frames");
        EXPECT_FALSE(names.empty());
        for (const auto& name : names) {
            EXPECT_EQ(name.find(".part"), std::string::npos) << name;
            const auto png = readPng(folder() / "frames" / name);
            EXPECT_TRUE(png.valid) << name << ": " << png.problem;
            EXPECT_EQ(png.width, 640u) << name;
            EXPECT_EQ(png.height, 480u) << name;
        }
    }

    std::optional<RunningCli> program_;
};

struct SignalCase {
    int signal;
    int exitCode;
    const char* name;
};

class StreamingInterruptSignalTest : public InterruptTest, public ::testing::WithParamInterface<SignalCase> {};

TEST_P(StreamingInterruptSignalTest, StopsCaptureWritesSummaryAndExitsWithSignalCode)
{
#if defined(_WIN32)
    GTEST_SKIP() << "the tests send POSIX signals; Windows has console events, which Wine cannot send here";
#else
    const auto& kind = GetParam();
    auto& program = startLong();
    program.signal(kind.signal);
    const CliRun run = program.finish(20.0);
    ASSERT_EQ(run.exitCode, kind.exitCode) << run.transcript();
    EXPECT_NE(run.out.find("frames received:"), std::string::npos) << run.transcript();
    EXPECT_NE(run.out.find(std::string("interrupted by ") + kind.name), std::string::npos) << run.transcript();
    EXPECT_NE(run.out.find("of 100000"), std::string::npos) << run.transcript();
    expectOnlyWholeFrames();
#endif
}

// Windows has neither SIGHUP nor SIGQUIT.
const SignalCase kSignalCases[] = {
    {SIGINT, 130, "SIGINT"},
    {SIGTERM, 143, "SIGTERM"},
#if !defined(_WIN32)
    {SIGHUP, 129, "SIGHUP"},
    {SIGQUIT, 131, "SIGQUIT"},
#endif
};

INSTANTIATE_TEST_SUITE_P(Signals, StreamingInterruptSignalTest, ::testing::ValuesIn(kSignalCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A second Ctrl-C right after the first ends the program at once, still
// without a partial file under a frame's name or beside it.
TEST_F(InterruptTest, StreamingSecondInterruptEndsAtOnceWithoutPartialFile)
{
#if defined(_WIN32)
    GTEST_SKIP() << "the tests send POSIX signals; Windows has console events, which Wine cannot send here";
#else
    auto& program = startLong();
    program.signal(SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    program.signal(SIGINT);
    const CliRun run = program.finish(5.0);
    EXPECT_EQ(run.exitCode, 130) << run.transcript();
    expectOnlyWholeFrames();
#endif
}

// The tour stops at the camera it interrupted: exit 130, no partial file in
// any camera's folder, and no contact sheet of an unfinished tour.
TEST_F(InterruptTest, StreamingDemoStopsItsTour)
{
#if defined(_WIN32)
    GTEST_SKIP() << "the tests send POSIX signals; Windows has console events, which Wine cannot send here";
#else
    program_.emplace(std::vector<std::string>{"demo", "-n", "100000", "-o", "tour"}, folder());
    const auto written = [&] {
        std::size_t count = 0;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder() / "tour", ignored))
            count += entry.path().extension() == ".png" ? 1 : 0;
        return count;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (written() < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    program_->signal(SIGINT);
    const CliRun run = program_->finish(20.0);
    ASSERT_EQ(run.exitCode, 130) << run.transcript();
    EXPECT_NE(run.out.find("Demo interrupted"), std::string::npos) << run.transcript();
    EXPECT_EQ(run.out.find("failed:"), std::string::npos) << run.transcript();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder() / "tour")) {
        if (entry.is_directory())
            continue;
        EXPECT_EQ(entry.path().extension(), ".png") << entry.path();
        EXPECT_EQ(entry.path().filename().string().rfind("frame-", 0), 0u) << entry.path();
    }
#endif
}

} // namespace
} // namespace orx::cli_test
