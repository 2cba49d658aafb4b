// Writing a file so that it appears under its name only when complete, and
// never through an entry that someone else put in the folder: the data goes
// to a fresh hidden file that this process creates itself (O_CREAT|O_EXCL|
// O_NOFOLLOW relative to the folder's descriptor; CREATE_NEW without
// following reparse points on Windows), which is then renamed over the
// final name. A rename replaces whatever entry held the name (a
// symbolic link planted there is replaced, never followed), and a failure
// removes the fresh file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace orximaq {

// An open file descriptor, closed when it goes.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() noexcept;
    // Closes it now; the error number of a failed close, else 0.
    int close() noexcept;

private:
    int fd_ = -1;
};

// Opens a folder for the *at calls; CliError naming it when it cannot.
UniqueFd openFolder(const std::filesystem::path& folder);

// A folder opened once for the whole run: while it is pinned, files written
// into it (by writeReplacing) go through this descriptor, so that replacing
// the folder's path with something else during the run (a planted link)
// cannot send them anywhere else.
class PinnedFolder {
public:
    PinnedFolder(std::filesystem::path folder, int fd);
    ~PinnedFolder();
    PinnedFolder(const PinnedFolder&) = delete;
    PinnedFolder& operator=(const PinnedFolder&) = delete;

private:
    std::filesystem::path folder_;
};

struct FreshFile {
    UniqueFd file;
    std::string name; // within the folder
};

// Creates a new, empty file in the folder under a name no entry had before
// (".<stem>.<pid>-<random>.part"); none, with errno set, when it cannot.
std::optional<FreshFile> tryCreateFreshFile(int folderFd, const std::string& stem);

// Calls `write` with a fresh file's descriptor (which it must not close),
// then renames the file to `path`. `write` throws CliError on failure; the
// fresh file is then removed and the error passed on. Throws CliError naming
// `path` when closing or renaming fails.
void writeReplacing(const std::filesystem::path& path, const std::function<void(int fd)>& write);

// Writes `size` bytes to the descriptor; CliError naming `shownPath` on failure.
void writeAll(int fd, const std::filesystem::path& shownPath, const void* data, std::size_t size);

} // namespace orximaq
