// Writing a file so that it appears under its name only when complete: the
// data goes to "<name>.part" beside it, which is renamed into place. A rename
// replaces whatever entry held the name (a symbolic link planted there is
// replaced, never followed), and a failure removes the partial file.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>

namespace orximaq {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` for binary writing; null with errno set on failure.
std::FILE* openForWriting(const std::filesystem::path& path);

// Calls `write` with the partial file's path, then renames it to `path`.
// `write` throws CliError on failure; the partial file is then removed and
// the error passed on. Throws CliError naming `path` when the rename fails.
void writeReplacing(const std::filesystem::path& path,
                    const std::function<void(const std::filesystem::path& partial)>& write);

// Writes `size` bytes to the open file and closes it; CliError naming
// `shownPath` on any failure.
void writeAndClose(FilePtr file, const std::filesystem::path& shownPath, const void* data, std::size_t size);

} // namespace orximaq
