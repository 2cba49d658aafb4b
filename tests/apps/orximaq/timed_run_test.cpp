// Live statistics and timed runs: the progress line's figures, the per-run
// statistics in --json and --duration as the alternative to -n.
#include "cli_fixture.h"

#include <gtest/gtest.h>

namespace orx::cli_test {
namespace {

using nlohmann::json;
using TimedRunTest = CliTest;

// The statistics agree with the stamps they come from: the mean rate lies
// between the slowest and fastest interval, and the longest gap is at least
// the mean interval.
TEST_F(TimedRunTest, JsonHasRunStatistics)
{
    const json document = jsonSmall({"acquire", "1", "1", "-n", "6", "-o", "frames", "--json"});
    const auto& statistics = document["statistics"];
    ASSERT_TRUE(statistics.is_object()) << document.dump();
    for (const char* key : {"rateMean", "rateSpread", "longestGap"})
        ASSERT_TRUE(statistics[key].is_number()) << key << ": " << statistics.dump();
    const double first = document["timestamps"]["first"];
    const double last = document["timestamps"]["last"];
    const double mean = statistics["rateMean"];
    EXPECT_NEAR(mean, 5.0 / (last - first), 1e-6 * mean);
    EXPECT_GE(statistics["longestGap"].get<double>(), (last - first) / 5.0 - 1e-9);
    EXPECT_LE(statistics["longestGap"].get<double>(), last - first + 1e-9);
    EXPECT_GE(statistics["rateSpread"].get<double>(), 0.0);
    EXPECT_EQ(document["interrupt"], nullptr);
    EXPECT_EQ(document["duration"], nullptr);
    EXPECT_EQ(document["frames"]["notWritten"], 0);
}

// One frame: no rate to speak of, so the figures are null.
TEST_F(TimedRunTest, SingleFrameHasNullStatistics)
{
    const json document = jsonSmall({"acquire", "1", "1", "-n", "1", "-o", "frames", "--json"});
    EXPECT_EQ(document["statistics"], json::parse(R"({"rateMean":null,"rateSpread":null,"longestGap":null})"));
}

// A timed run takes what arrives before the deadline, writes every frame it
// received and succeeds; there is no requested count.
TEST_F(TimedRunTest, DurationEndsTheRunAtTheDeadline)
{
    const json document = jsonSmall({"acquire", "1", "1", "--duration", "0.4", "-o", "frames", "--json"});
    EXPECT_EQ(document["end"], "completed");
    EXPECT_EQ(document["duration"], 0.4);
    EXPECT_EQ(document["frames"]["requested"], nullptr);
    const std::int64_t received = document["frames"]["received"];
    EXPECT_GE(received, 2);
    EXPECT_EQ(document["output"]["files"].size(), static_cast<std::size_t>(received));
    EXPECT_EQ(filesIn(folder() / "frames").size(), static_cast<std::size_t>(received));
    const double span = document["timestamps"]["last"].get<double>() - document["timestamps"]["first"].get<double>();
    EXPECT_LT(span, 0.4 + 0.1);

    const CliRun text = runSmall({"acquire", "1", "1", "--duration", "0.2", "-o", "text"});
    ASSERT_EQ(text.exitCode, 0) << text.transcript();
    EXPECT_NE(text.out.find("in 0.2 s (timed run)"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("rate spread:"), std::string::npos) << text.out;
}

TEST_F(TimedRunTest, DurationIsCheckedAndExcludesFrameCount)
{
    for (const char* bad : {"0", "-1", "100000", "nan", "soon"}) {
        const CliRun run = runSmall({"acquire", "1", "1", "--duration", bad, "-o", "frames"});
        EXPECT_NE(run.exitCode, 0) << bad << ": " << run.transcript();
        EXPECT_NE(run.err.find("duration"), std::string::npos) << bad << ": " << run.transcript();
    }
    const CliRun both = runSmall({"acquire", "1", "1", "--duration", "1", "-n", "5", "-o", "frames"});
    EXPECT_NE(both.exitCode, 0) << both.transcript();
    EXPECT_NE(both.err.find("excludes"), std::string::npos) << both.transcript();
    EXPECT_TRUE(filesIn(folder() / "frames").empty());
}

// On a terminal the progress line carries the frames received, the recent
// rate and the losses so far; a timed run shows a count without a bar.
TEST_F(TimedRunTest, ProgressLineShowsLiveFigures)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no pseudo-terminals";
#else
    const auto rig = (folder() / "small-rig.json").string();
    const CliRun counted = runCliOnTerminal({"--rig", rig, "acquire", "1", "1", "-n", "8", "-o", "tty"}, folder());
    ASSERT_EQ(counted.exitCode, 0) << counted.out;
    EXPECT_NE(counted.out.find("received 8, "), std::string::npos) << counted.out;
    EXPECT_NE(counted.out.find(" frames/s, 0 dropped"), std::string::npos) << counted.out;

    const CliRun timed =
        runCliOnTerminal({"--rig", rig, "acquire", "1", "1", "--duration", "0.3", "-o", "timed"}, folder());
    ASSERT_EQ(timed.exitCode, 0) << timed.out;
    EXPECT_NE(timed.out.find("\rAcquiring (timed) "), std::string::npos) << timed.out;
    EXPECT_EQ(timed.out.find("Acquiring (timed) ["), std::string::npos) << timed.out;
#endif
}

} // namespace
} // namespace orx::cli_test
