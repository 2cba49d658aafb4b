// `acquire --push`: a camera's own software trigger pushed at each SIGUSR1,
// with the camera's trigger enabled through --set, end to end as a user runs it.
#include "cli_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace orx::cli_test {
namespace {

using nlohmann::json;

const std::vector<std::string> kPushedRun{
    "acquire", "ORX Colour 2448", "RGB24 (640x480)", "--set", "Trigger=Enable", "--push", "TriggerSoftwareTrigger",
    "-o", "frames", "--json"};

[[maybe_unused]] bool saysWithin(const RunningCli& program, const std::string& text, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (program.errorSoFar().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class CameraTriggerPushTest : public CliTest {};

// Nothing arrives before the first push; three pushes give the three frames
// asked for, and the run ends by itself.
TEST_F(CameraTriggerPushTest, StreamingEachSignalPushesOneFrame)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no SIGUSR1 or signals to send (there a push is Enter in the console)";
#else
    std::vector<std::string> arguments = kPushedRun;
    arguments.insert(arguments.end(), {"-n", "3"});
    RunningCli program(arguments, folder());
    ASSERT_TRUE(saysWithin(program, "to push TriggerSoftwareTrigger", std::chrono::seconds(20))) << program.errorSoFar();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(filesIn(folder() / "frames").empty());
    for (int push = 0; push < 3; ++push) {
        program.signal(SIGUSR1);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const CliRun result = program.finish(30);
    ASSERT_EQ(result.exitCode, 0) << result.transcript();
    const json document = json::parse(result.out);
    EXPECT_EQ(document["end"], "completed");
    EXPECT_EQ(document["frames"]["list"].size(), 3u);
    EXPECT_EQ(filesIn(folder() / "frames").size(), 3u);
#endif
}

// Ctrl-C ends a run that waits for pushes without an end.
TEST_F(CameraTriggerPushTest, StreamingInterruptWhileWaitingForPushes)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no SIGUSR1 or signals to send (there a push is Enter in the console)";
#else
    std::vector<std::string> arguments = kPushedRun;
    arguments.insert(arguments.end(), {"--frames-per-trigger", "1", "--trigger-repeat", "inf"});
    RunningCli program(arguments, folder());
    ASSERT_TRUE(saysWithin(program, "to push", std::chrono::seconds(20))) << program.errorSoFar();
    program.signal(SIGUSR1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    program.signal(SIGINT);
    const CliRun result = program.finish(30);
    EXPECT_EQ(result.exitCode, 128 + SIGINT) << result.transcript();
    EXPECT_EQ(filesIn(folder() / "frames").size(), 1u);
#endif
}

// A property that is missing or not a button, and --push with a manual
// trigger, are refused before anything is acquired.
TEST_F(CameraTriggerPushTest, BadPushesAreRefused)
{
    expectOneError(run({"acquire", "ORX Colour 2448", "1", "--push", "NoSuchButton", "-o", "never"}),
                   {"--push NoSuchButton", "no property"});
    expectOneError(run({"acquire", "ORX Colour 2448", "1", "--push", "Trigger", "-o", "never"}),
                   {"--push Trigger", "not a button"});
    expectOneError(run({"acquire", "ORX Colour 2448", "1", "--trigger", "manual", "--push", "TriggerSoftwareTrigger",
                        "-o", "never"}),
                   {"--push TriggerSoftwareTrigger", "--trigger immediate"});
    EXPECT_FALSE(std::filesystem::exists(folder() / "never"));
}

} // namespace
} // namespace orx::cli_test
