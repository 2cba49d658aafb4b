// Windows: the program is started with CreateProcessW, its standard output
// and error going to files of the working folder.
#include "cli_process.h"

#include <windows.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace orx::cli_test {
namespace {

struct HandleCloser {
    void operator()(void* handle) const
    {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

std::wstring wide(const std::string& text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end())).wstring();
}

// One argument as the C runtime's parser reads it back.
std::wstring quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(2 * backslashes, L'\\');
    return result + L"\"";
}

std::wstring commandText(const std::vector<std::string>& arguments)
{
    std::wstring text;
    for (const auto& argument : arguments)
        text += (text.empty() ? L"" : L" ") + quoted(wide(argument));
    return text;
}

// This process's environment without ORX_SIM_RIG, as a block of texts.
std::wstring environmentWithoutRig()
{
    std::wstring block;
    std::unique_ptr<wchar_t, BOOL (*)(LPWCH)> strings(::GetEnvironmentStringsW(), ::FreeEnvironmentStringsW);
    for (const wchar_t* entry = strings.get(); entry != nullptr && *entry != L'\0'; entry += wcslen(entry) + 1)
        if (std::wstring_view(entry).substr(0, 12) != L"ORX_SIM_RIG=")
            block.append(entry).push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

UniqueHandle inheritableFile(const std::filesystem::path& path)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + path.string());
    return file;
}

// Starts the program; its process handle.
UniqueHandle start(const std::vector<std::string>& arguments, const std::filesystem::path& workingFolder,
                   const CliOptions& options, const std::filesystem::path& outPath,
                   const std::filesystem::path& errPath)
{
    if (options.fileSizeLimit > 0)
        throw std::logic_error("Windows has no file size limit for a process");
    const UniqueHandle out = inheritableFile(outPath);
    const UniqueHandle err = inheritableFile(errPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    std::wstring command = commandText(cliCommandLine(arguments, options));
    std::wstring environment = environmentWithoutRig();
    PROCESS_INFORMATION process{};
    // Wine, busy, now and then fails a start with ERROR_INTERNAL_ERROR: try again.
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                             environment.data(), workingFolder.c_str(), &startup, &process)) {
            error = ERROR_SUCCESS;
            break;
        }
        error = ::GetLastError();
        if (error != ERROR_INTERNAL_ERROR)
            break;
        ::Sleep(100);
    }
    if (error != ERROR_SUCCESS)
        throw std::runtime_error("cannot start the program: error " + std::to_string(error));
    ::CloseHandle(process.hThread);
    return UniqueHandle(process.hProcess);
}

// The exit code, or -1 when the program did not end within `milliseconds`.
int waitForExit(void* process, DWORD milliseconds)
{
    DWORD code = 0;
    if (::WaitForSingleObject(process, milliseconds) != WAIT_OBJECT_0 || !::GetExitCodeProcess(process, &code))
        return -1;
    return static_cast<int>(code);
}

} // namespace

// The program writes its text in the C runtime's text mode: each line ends
// with CR LF, read back as LF (a lone CR stays).
std::string readProgramOutput(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    std::string text = bytes.str();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            text[kept++] = text[i];
    text.resize(kept);
    return text;
}

CliRun runCli(const std::vector<std::string>& arguments, const std::filesystem::path& workingFolder,
              const CliOptions& options)
{
    const auto outPath = options.standardOutput.empty() ? workingFolder / ".cli-stdout" : options.standardOutput;
    const auto errPath = workingFolder / ".cli-stderr";
    CliRun run;
    run.exitCode = waitForExit(start(arguments, workingFolder, options, outPath, errPath).get(), INFINITE);
    collectOutput(run, outPath, errPath, options);
    return run;
}

CliRun runCliOnTerminal(const std::vector<std::string>&, const std::filesystem::path&, const CliOptions&)
{
    throw std::logic_error("Windows has no pseudo-terminals");
}

RunningCli::RunningCli(const std::vector<std::string>& arguments, const std::filesystem::path& workingFolder,
                       const CliOptions& options)
    : outPath_(workingFolder / ".cli-stdout"), errPath_(workingFolder / ".cli-stderr")
{
    process_ = start(arguments, workingFolder, options, outPath_, errPath_).release();
}

RunningCli::~RunningCli()
{
    if (process_ != nullptr) {
        ::TerminateProcess(process_, 1);
        ::WaitForSingleObject(process_, INFINITE);
        ::CloseHandle(process_);
    }
}

void RunningCli::signal(int) const
{
    throw std::logic_error("Windows has no signals");
}

CliRun RunningCli::finish(double seconds)
{
    CliRun run;
    if (process_ != nullptr) {
        run.exitCode = waitForExit(process_, static_cast<DWORD>(seconds * 1000));
        if (run.exitCode >= 0) {
            ::CloseHandle(process_);
            process_ = nullptr;
        }
    }
    run.out = readProgramOutput(outPath_);
    run.err = readProgramOutput(errPath_);
    return run;
}

} // namespace orx::cli_test
