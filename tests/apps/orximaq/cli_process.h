// Runs the built orximaq program as a separate process and keeps what it
// printed and how it ended (cli_process_posix.cpp, cli_process_windows.cpp).
// Windows has no pseudo-terminals, signals or file size limits: the tests
// that need them are skipped there.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orx::cli_test {

struct CliRun {
    int exitCode = -1;          // -1 when the program did not exit normally
    std::string out;
    std::string err;

    std::vector<std::string> errLines() const;
    // Both streams, for failure messages.
    std::string transcript() const;
};

struct CliOptions {
    bool nameAdaptor = true;  // pass --adaptor with the built module's path
    bool checkLeaks = true;   // pass --check-leaks: exit code 3 when a resource leaked
    // Largest file the program may write, in bytes (0: no limit); a longer
    // write fails with EFBIG, as on a full disk.
    long fileSizeLimit = 0;
    // Where standard output goes (empty: a scratch file that `out` is read from).
    std::filesystem::path standardOutput{};
};

inline constexpr int kLeakExitCode = 3;

// The program's path and its arguments: the built module (when named), the
// leak check (when asked for), then `arguments`.
std::vector<std::string> cliCommandLine(const std::vector<std::string>& arguments, const CliOptions& options);

// What the program wrote to the file, as text (per platform: Windows' text
// mode ends lines with CR LF).
std::string readProgramOutput(const std::filesystem::path& path);
// Reads what a finished run wrote into `run` and removes the scratch files
// (standard output only when it went to one).
void collectOutput(CliRun& run, const std::filesystem::path& outPath, const std::filesystem::path& errPath,
                   const CliOptions& options);

// Runs orximaq with `arguments` in `workingFolder`, with the rig variable
// ORX_SIM_RIG removed from its environment.
CliRun runCli(const std::vector<std::string>& arguments, const std::filesystem::path& workingFolder,
              const CliOptions& options = {});

// The same with standard output and standard error on a pseudo-terminal;
// everything the program wrote to it lands in `out`.
CliRun runCliOnTerminal(const std::vector<std::string>& arguments, const std::filesystem::path& workingFolder,
                        const CliOptions& options = {});

// A program started in the background, to be signalled while it runs. Its
// child starts with default signal dispositions and no blocked signals (a
// test runner started as a background job would pass SIGINT on as ignored).
class RunningCli {
public:
    RunningCli(const std::vector<std::string>& arguments, const std::filesystem::path& workingFolder,
               const CliOptions& options = {});
    ~RunningCli(); // kills and reaps a program still running
    RunningCli(const RunningCli&) = delete;
    RunningCli& operator=(const RunningCli&) = delete;

    void signal(int number) const;
    // What the program wrote to standard error so far.
    std::string errorSoFar() const;
    // Waits up to `seconds` for the exit; exitCode -1 (and the program killed) when it did not come.
    CliRun finish(double seconds);

private:
    int pid_ = -1;
    void* process_ = nullptr; // Windows: the process handle
    std::filesystem::path outPath_;
    std::filesystem::path errPath_;
};

} // namespace orx::cli_test
