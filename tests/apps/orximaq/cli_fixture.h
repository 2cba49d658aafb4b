// The fixture of the command-line tests: a scratch folder per test in which
// the program runs, the small rig written into it, and helpers for the
// program's output. Every run passes --check-leaks, so the program itself
// proves that it returned every host, camera and COM resource.
#pragma once

#include "cli_process.h"
#include "png_file.h"
#include "support/leak_check.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace orx::cli_test {

class CliTest : public orx::test::LeakCheckedTest {
protected:
    void SetUp() override;
    void TearDown() override;

    CliRun run(const std::vector<std::string>& arguments, const CliOptions& options = {});
    // Runs with the small rig (--rig first).
    CliRun runSmall(std::vector<std::string> arguments);
    // Runs with the small rig and parses the JSON document; fails the test
    // unless the program succeeded.
    nlohmann::json jsonSmall(std::vector<std::string> arguments);

    std::filesystem::path writeFile(const std::string& name, const std::string& text);
    std::filesystem::path folder() const { return folder_; }
    // File names in a folder, sorted.
    std::vector<std::string> filesIn(const std::filesystem::path& folder) const;

    // The run failed with exit code 1 and exactly one error line that
    // contains every one of `mentions`; nothing went to standard output.
    static void expectOneError(const CliRun& run, const std::vector<std::string>& mentions);

private:
    std::filesystem::path folder_;
    std::filesystem::path rig_;
};

} // namespace orx::cli_test
