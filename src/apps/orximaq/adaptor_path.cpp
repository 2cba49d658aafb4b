#include "adaptor_path.h"

#include "cli_error.h"

#if defined(_WIN32)
#include <windows.h>
#endif

#include <system_error>
#include <vector>

namespace orximaq {
namespace {

std::filesystem::path executablePath()
{
#if defined(_WIN32)
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            throw CliError("cannot find the folder of the orximaq executable");
        if (length < buffer.size())
            return std::filesystem::path(std::wstring(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
#else
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        throw CliError("cannot find the folder of the orximaq executable: " + error.message());
    return path;
#endif
}

} // namespace

const char* adaptorModuleFileName()
{
#if defined(_WIN32)
    return "ORXImaq.dll";
#else
    return "ORXImaq.so";
#endif
}

std::filesystem::path defaultAdaptorPath()
{
    return executablePath().parent_path() / adaptorModuleFileName();
}

} // namespace orximaq
