#include "output/output_folder.h"

#include "cli_error.h"
#include "output/file_system.h"
#include "output/leftover_parts.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <unistd.h>

namespace orximaq {
namespace {

constexpr const char* kProbeName = "orximaq-write-test";

[[noreturn]] void failFolder(const std::filesystem::path& folder, const std::string& reason)
{
    throw CliError("cannot write to output folder " + folder.string() + ": " + reason, "output");
}

// The extension of a frame file name in any output format, or empty.
std::string_view frameSuffixOf(std::string_view name)
{
    for (const auto format : {OutputFormat::Png, OutputFormat::Tiff, OutputFormat::Raw})
        if (name.ends_with(frameExtension(format)))
            return frameExtension(format);
    return {};
}

// The frame number of a name like "frame-0042.png", or 0 for any other name.
std::int64_t frameNumberOf(const std::string& name)
{
    constexpr std::string_view prefix = "frame-";
    const std::string_view suffix = frameSuffixOf(name);
    if (suffix.empty() || name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix))
        return 0;
    std::int64_t number = 0;
    for (std::size_t i = prefix.size(); i < name.size() - suffix.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || number > 1'000'000'000)
            return 0;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

} // namespace

// Creates the folder when needed; answers whether it did.
bool createFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    const bool created = std::filesystem::create_directories(folder, error);
    if (error)
        failFolder(folder, error.message());
    if (!std::filesystem::is_directory(folder, error))
        failFolder(folder, "it is not a folder");
    return created;
}

UniqueFd openOutputFolder(const std::filesystem::path& folder)
{
    UniqueFd fd(openFolderDescriptor(folder));
    if (!fd)
        failFolder(folder, std::strerror(errno));
    return fd;
}

UniqueFd lockFolder(const std::filesystem::path& folder, int folderFd)
{
    UniqueFd lock(lockFolderDescriptor(folderFd));
    if (!lock)
        failFolder(folder, errno == EWOULDBLOCK ? "another orximaq run is writing into it (choose another folder "
                                                  "with -o, or wait until that run ends)"
                                                : std::strerror(errno));
    return lock;
}

// A fresh file of this run, never an entry that was there before.
void probeFolder(const std::filesystem::path& folder, int folderFd)
{
    auto fresh = tryCreateFreshFile(folderFd, kProbeName);
    if (!fresh)
        failFolder(folder, std::strerror(errno));
    FreshFile& probe = *fresh;
    static constexpr char kText[] = "probe";
    const bool written = ::write(probe.file.get(), kText, sizeof kText - 1) == sizeof kText - 1;
    const int closeError = probe.file.close();
    const bool removed = removeEntry(folderFd, probe.name.c_str()) == 0;
    if (!written || closeError != 0)
        failFolder(folder, "permission denied or no space left");
    if (!removed)
        failFolder(folder, std::string("a test file cannot be removed: ") + std::strerror(errno));
}

namespace {

// Absolute, without "." or ".." parts or a trailing separator.
std::filesystem::path normalised(const std::filesystem::path& folder)
{
    std::error_code error;
    auto path = std::filesystem::absolute(folder, error).lexically_normal();
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path())
        path = path.parent_path();
    return error ? std::filesystem::path() : path;
}

// The outermost folder of the path that does not exist yet, or none.
std::filesystem::path outermostMissing(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::path missing;
    for (auto path = normalised(folder); !path.empty(); path = path.parent_path()) {
        if (std::filesystem::exists(path, error))
            break;
        missing = path;
        if (path == path.parent_path())
            break;
    }
    return missing;
}

} // namespace

OutputFolder::OutputFolder(std::filesystem::path folder)
    : folder_(std::move(folder)), topCreated_(outermostMissing(folder_))
{
    if (!createFolder(folder_))
        topCreated_.clear();
    try {
        open_ = openOutputFolder(folder_);
    } catch (...) {
        removeIfCreatedAndEmpty();
        throw;
    }
    // Not inside the clean-up below: when another run holds the lock, that
    // run may be writing into the folder even if this one created it.
    lock_ = lockFolder(folder_, open_.get());
    leftoversRemoved_ = removeLeftoverParts(folder_);
    try {
        probeFolder(folder_, open_.get());
        pin_.emplace(folder_, open_.get());
    } catch (...) {
        removeIfCreatedAndEmpty();
        throw;
    }
}

OutputFolder::~OutputFolder()
{
    removeIfCreatedAndEmpty();
}

// The folder is let go first: Windows removes neither an open folder nor
// one that still holds the lock file.
void OutputFolder::removeIfCreatedAndEmpty() noexcept
{
    pin_.reset();
    lock_.close();
    open_.close();
    if (topCreated_.empty())
        return;
    std::error_code error;
    for (auto path = normalised(folder_); !path.empty(); path = path.parent_path()) {
        if (!std::filesystem::is_empty(path, error) || error || !std::filesystem::remove(path, error))
            return;
        if (path == topCreated_)
            return;
    }
}

void OutputFolder::reportLeftovers(std::ostream& out) const
{
    if (leftoversRemoved_ > 0)
        out << "orximaq: removed " << leftoversRemoved_ << " unfinished file" << (leftoversRemoved_ == 1 ? "" : "s")
            << " that a killed run left in " << folder_.string() << "\n";
}

std::string frameFileName(std::int64_t index, OutputFormat format)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04lld%s", static_cast<long long>(index + 1), frameExtension(format));
    return name;
}

std::int64_t countOlderFrames(const std::filesystem::path& folder, std::int64_t count)
{
    std::error_code error;
    std::int64_t older = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (frameNumberOf(entry.path().filename().string()) > count)
            ++older;
    return older;
}

} // namespace orximaq
