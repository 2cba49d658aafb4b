#include "cli_fixture.h"

#include "test_rigs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>

namespace orx::cli_test {
namespace {

std::filesystem::path newScratchFolder()
{
    static std::atomic<int> counter{0};
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? test->name() : "test";
    std::replace(name.begin(), name.end(), '/', '-');
    auto folder = std::filesystem::temp_directory_path() /
                  ("orximaq-cli-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace

void CliTest::SetUp()
{
    LeakCheckedTest::SetUp();
    folder_ = newScratchFolder();
    rig_ = writeFile("small-rig.json", kSmallRig);
}

void CliTest::TearDown()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    LeakCheckedTest::TearDown();
}

CliRun CliTest::run(const std::vector<std::string>& arguments, const CliOptions& options)
{
    return runCli(arguments, folder_, options);
}

CliRun CliTest::runSmall(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"--rig", rig_.string()});
    return run(arguments);
}

nlohmann::json CliTest::jsonSmall(std::vector<std::string> arguments)
{
    const CliRun result = runSmall(std::move(arguments));
    EXPECT_EQ(result.exitCode, 0) << result.transcript();
    try {
        return nlohmann::json::parse(result.out);
    } catch (const nlohmann::json::exception& error) {
        ADD_FAILURE() << "not JSON: " << error.what() << "\n" << result.transcript();
        return {};
    }
}

std::filesystem::path CliTest::writeFile(const std::string& name, const std::string& text)
{
    const auto path = folder_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::vector<std::string> CliTest::filesIn(const std::filesystem::path& folder) const
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void CliTest::expectOneError(const CliRun& run, const std::vector<std::string>& mentions)
{
    EXPECT_EQ(run.exitCode, 1) << run.transcript();
    EXPECT_EQ(run.out, "") << run.transcript();
    const auto lines = run.errLines();
    ASSERT_EQ(lines.size(), 1u) << run.transcript();
    EXPECT_EQ(lines[0].rfind("orximaq: error: ", 0), 0u) << lines[0];
    for (const auto& mention : mentions)
        EXPECT_NE(lines[0].find(mention), std::string::npos) << "\"" << mention << "\" not in: " << lines[0];
}

} // namespace orx::cli_test
