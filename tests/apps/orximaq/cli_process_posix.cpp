#include "cli_process.h"

#include <fcntl.h>
#include <signal.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace orx::cli_test {
namespace {


std::vector<std::string> environmentWithoutRig()
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "ORX_SIM_RIG=", 12) != 0)
            variables.emplace_back(*entry);
    return variables;
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    for (auto& text : texts)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void execInChild(const char* folder, const char* outPath, const char* errPath, char** argv, char** envp,
                              long fileSizeLimit = 0)
{
    if (fileSizeLimit > 0) {
        const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
        ::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    const int out = ::open(outPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || ::chdir(folder) != 0 || ::dup2(out, STDOUT_FILENO) < 0 ||
        ::dup2(err, STDERR_FILENO) < 0)
        ::_exit(126);
    ::execve(argv[0], argv, envp);
    ::_exit(127);
}

int waitForExit(pid_t child)
{
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

std::string readProgramOutput(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

CliRun runCli(const std::vector<std::string>& arguments, const std::filesystem::path& workingFolder,
              const CliOptions& options)
{
    std::vector<std::string> argvTexts = cliCommandLine(arguments, options);
    std::vector<std::string> envTexts = environmentWithoutRig();
    auto argv = pointers(argvTexts);
    auto envp = pointers(envTexts);
    const auto outPath = options.standardOutput.empty() ? workingFolder / ".cli-stdout" : options.standardOutput;
    const auto errPath = workingFolder / ".cli-stderr";

    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0)
        execInChild(workingFolder.c_str(), outPath.c_str(), errPath.c_str(), argv.data(), envp.data(),
                    options.fileSizeLimit);

    CliRun run;
    run.exitCode = waitForExit(child);
    collectOutput(run, outPath, errPath, options);
    return run;
}

CliRun runCliOnTerminal(const std::vector<std::string>& arguments, const std::filesystem::path& workingFolder,
                        const CliOptions& options)
{
    std::vector<std::string> argvTexts = cliCommandLine(arguments, options);
    std::vector<std::string> envTexts = environmentWithoutRig();
    auto argv = pointers(argvTexts);
    auto envp = pointers(envTexts);

    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child < 0)
        throw std::runtime_error("forkpty failed");
    if (child == 0) {
        if (::chdir(workingFolder.c_str()) != 0)
            ::_exit(126);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    CliRun run;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(terminal, buffer, sizeof buffer);
        if (got > 0)
            run.out.append(buffer, static_cast<std::size_t>(got));
        else if (got == 0 || errno != EINTR)
            break; // EIO once the program has closed its side
    }
    ::close(terminal);
    run.exitCode = waitForExit(child);
    return run;
}

} // namespace orx::cli_test

namespace orx::cli_test {

RunningCli::RunningCli(const std::vector<std::string>& arguments, const std::filesystem::path& workingFolder,
                       const CliOptions& options)
    : outPath_(workingFolder / ".cli-stdout"), errPath_(workingFolder / ".cli-stderr")
{
    std::vector<std::string> argvTexts = cliCommandLine(arguments, options);
    std::vector<std::string> envTexts = environmentWithoutRig();
    auto argv = pointers(argvTexts);
    auto envp = pointers(envTexts);
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            ::sigaction(number, &fallback, nullptr);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        execInChild(workingFolder.c_str(), outPath_.c_str(), errPath_.c_str(), argv.data(), envp.data());
    }
    pid_ = child;
}

RunningCli::~RunningCli()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        waitForExit(pid_);
    }
}

void RunningCli::signal(int number) const
{
    if (pid_ > 0)
        ::kill(pid_, number);
}

CliRun RunningCli::finish(double seconds)
{
    CliRun run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    pid_t done = 0;
    while ((done = ::waitpid(pid_, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (done == pid_) {
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid_ = -1;
    }
    run.out = readProgramOutput(outPath_);
    run.err = readProgramOutput(errPath_);
    return run;
}

} // namespace orx::cli_test
