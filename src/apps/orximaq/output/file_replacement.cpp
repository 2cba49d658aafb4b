#include "output/file_replacement.h"

#include "interrupts.h"

#include "cli_error.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace orximaq {

std::FILE* openForWriting(const std::filesystem::path& path)
{
#if defined(_WIN32)
    return _wfopen(path.c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

void writeReplacing(const std::filesystem::path& path,
                    const std::function<void(const std::filesystem::path& partial)>& write)
{
    std::filesystem::path partial = path;
    partial += ".part";
    // A second Ctrl-C ends the process at once; it removes this file first.
    const PartialFileMark mark(partial);
    try {
        write(partial);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw;
    }
    std::error_code renameError;
    std::filesystem::rename(partial, path, renameError);
    if (renameError) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw CliError("cannot write " + path.string() + ": " + renameError.message());
    }
}

void writeAndClose(FilePtr file, const std::filesystem::path& shownPath, const void* data, std::size_t size)
{
    int error = 0;
    if (size > 0 && std::fwrite(data, 1, size, file.get()) != size)
        error = errno != 0 ? errno : EIO;
    if (error == 0 && std::fflush(file.get()) != 0)
        error = errno != 0 ? errno : EIO;
    if (std::fclose(file.release()) != 0 && error == 0)
        error = errno != 0 ? errno : EIO;
    if (error != 0)
        throw CliError("cannot write " + shownPath.string() + ": " + std::strerror(error));
}

} // namespace orximaq
