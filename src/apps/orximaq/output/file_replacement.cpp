#include "output/file_replacement.h"

#include "cli_error.h"
#include "interrupts.h"
#include "output/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <random>

#include <unistd.h>

namespace orximaq {
namespace {

std::string fail(const std::filesystem::path& shownPath, int error)
{
    return "cannot write " + shownPath.string() + ": " + std::strerror(error);
}

// A file name as the file-system calls take it: UTF-8 (on Windows too,
// where string() would give the ANSI code page).
std::string utf8Name(const std::filesystem::path& path)
{
    const std::u8string name = path.filename().u8string();
    return {name.begin(), name.end()};
}

std::string freshName(const std::string& stem)
{
    thread_local std::mt19937_64 random{std::random_device{}()};
    char name[64];
    std::snprintf(name, sizeof name, ".%ld-%016llx.part", static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(random()));
    return "." + stem + name;
}

} // namespace

UniqueFd::~UniqueFd()
{
    close();
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = other.release();
    }
    return *this;
}

int UniqueFd::release() noexcept
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

int UniqueFd::close() noexcept
{
    if (fd_ < 0)
        return 0;
    const int result = ::close(release());
    return result == 0 || errno == EINTR ? 0 : errno;
}

namespace {

std::mutex pinnedMutex;
std::map<std::filesystem::path, int> pinnedFolders;

std::filesystem::path pinKey(const std::filesystem::path& folder)
{
    return (folder.empty() ? std::filesystem::path(".") : folder).lexically_normal();
}

// The pinned folder's descriptor, copied, or the folder opened by its path.
UniqueFd folderOf(const std::filesystem::path& folder)
{
    {
        const std::lock_guard lock(pinnedMutex);
        const auto pinned = pinnedFolders.find(pinKey(folder));
        if (pinned != pinnedFolders.end()) {
            UniqueFd copy(duplicateDescriptor(pinned->second));
            if (copy)
                return copy;
        }
    }
    return openFolder(folder);
}

} // namespace

PinnedFolder::PinnedFolder(std::filesystem::path folder, int fd) : folder_(pinKey(folder))
{
    const std::lock_guard lock(pinnedMutex);
    pinnedFolders[folder_] = fd;
}

PinnedFolder::~PinnedFolder()
{
    const std::lock_guard lock(pinnedMutex);
    pinnedFolders.erase(folder_);
}

UniqueFd openFolder(const std::filesystem::path& folder)
{
    const auto& name = folder.empty() ? std::filesystem::path(".") : folder;
    UniqueFd fd(openFolderDescriptor(name));
    if (!fd)
        throw CliError("cannot open folder " + name.string() + ": " + std::strerror(errno), "output");
    return fd;
}

std::optional<FreshFile> tryCreateFreshFile(int folderFd, const std::string& stem)
{
    // A clash with an existing entry, planted or left over, only costs another try.
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = freshName(stem);
        UniqueFd fd(createNewFile(folderFd, name.c_str()));
        if (fd)
            return FreshFile{std::move(fd), std::move(name)};
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

void writeReplacing(const std::filesystem::path& path, const std::function<void(int fd)>& write)
{
    const UniqueFd folder = folderOf(path.parent_path());
    // The name is marked before the file exists: a second Ctrl-C ends the
    // process at once and removes it first, whenever it comes.
    std::optional<PartialFileMark> mark;
    FreshFile fresh;
    for (int attempt = 0; attempt < 16 && !fresh.file; ++attempt) {
        fresh.name = freshName(utf8Name(path));
        mark.emplace(folder.get(), fresh.name);
        fresh.file = UniqueFd(createNewFile(folder.get(), fresh.name.c_str()));
        if (!fresh.file) {
            const int error = errno;
            mark.reset();
            if (error != EEXIST)
                throw CliError(fail(path, error), "output");
        }
    }
    if (!fresh.file)
        throw CliError(fail(path, EEXIST), "output");
    const std::string finalName = utf8Name(path);
    int error = 0;
    try {
        write(fresh.file.get());
        error = fresh.file.close();
        if (error == 0 && renameEntry(folder.get(), fresh.name.c_str(), finalName.c_str()) != 0)
            error = errno;
    } catch (...) {
        removeEntry(folder.get(), fresh.name.c_str());
        throw;
    }
    if (error != 0) {
        removeEntry(folder.get(), fresh.name.c_str());
        throw CliError(fail(path, error), "output");
    }
}

void writeAll(int fd, const std::filesystem::path& shownPath, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        // Windows' write takes at most an unsigned int of bytes at once.
        const auto written = ::write(fd, bytes, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw CliError(fail(shownPath, written < 0 ? errno : EIO), "output");
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

} // namespace orximaq
