#include "cli_process.h"

#include <sstream>

namespace orx::cli_test {

std::vector<std::string> CliRun::errLines() const
{
    std::vector<std::string> lines;
    std::istringstream text(err);
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

std::string CliRun::transcript() const
{
    return "exit code " + std::to_string(exitCode) + "\n--- stdout:\n" + out + "--- stderr:\n" + err;
}

std::vector<std::string> cliCommandLine(const std::vector<std::string>& arguments, const CliOptions& options)
{
    std::vector<std::string> argvTexts{ORX_CLI_PATH};
    if (options.nameAdaptor)
        argvTexts.insert(argvTexts.end(), {"--adaptor", ORX_ADAPTOR_PATH});
    if (options.checkLeaks)
        argvTexts.push_back("--check-leaks");
    argvTexts.insert(argvTexts.end(), arguments.begin(), arguments.end());
    return argvTexts;
}

void collectOutput(CliRun& run, const std::filesystem::path& outPath, const std::filesystem::path& errPath,
                   const CliOptions& options)
{
    run.err = readProgramOutput(errPath);
    std::filesystem::remove(errPath);
    if (options.standardOutput.empty()) {
        run.out = readProgramOutput(outPath);
        std::filesystem::remove(outPath);
    }
}

std::string RunningCli::errorSoFar() const
{
    return readProgramOutput(errPath_);
}

} // namespace orx::cli_test
