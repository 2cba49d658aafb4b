#include "rig_file.h"

#include "vexcam/vexcam.h"

#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <filesystem>
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vexcam {
namespace {

[[noreturn]] void fail(const std::string& path, const std::string& reason)
{
    throw RigError(path + ": " + reason);
}

std::string tooLarge(std::size_t limit)
{
    return "the rig file is larger than " + std::to_string(limit) + " bytes, the most a rig may hold";
}

#if !defined(_WIN32)
// What a file that is not a regular one is, in a user's words.
const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { if (fd_ >= 0) ::close(fd_); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};
#endif

} // namespace

#if !defined(_WIN32)
std::string readRigFileText(const std::string& path, std::size_t limit)
{
    // O_NONBLOCK: opening a FIFO without a writer returns at once instead of
    // waiting; the kind is checked on the open file, so it cannot be swapped.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat status {};
    if (file.get() < 0) {
        // A socket cannot be opened at all: say what it is rather than why.
        const int error = errno;
        if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
            fail(path, std::string("a rig must be a regular file, this is ") + kindOf(status.st_mode));
        fail(path, std::string("cannot open the rig file: ") + std::strerror(error));
    }
    if (::fstat(file.get(), &status) != 0)
        fail(path, std::string("cannot read the rig file: ") + std::strerror(errno));
    if (!S_ISREG(status.st_mode)) fail(path, std::string("a rig must be a regular file, this is ") + kindOf(status.st_mode));
    if (static_cast<unsigned long long>(status.st_size) > limit) fail(path, tooLarge(limit));

    std::string text;
    text.reserve(static_cast<std::size_t>(status.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) fail(path, std::string("cannot read the rig file: ") + std::strerror(errno));
        if (got == 0) return text;
        // The file may grow while it is read: the bound holds for what is read.
        if (text.size() + static_cast<std::size_t>(got) > limit) fail(path, tooLarge(limit));
        text.append(chunk, static_cast<std::size_t>(got));
    }
}
#else
std::string readRigFileText(const std::string& path, std::size_t limit)
{
    std::error_code error;
    const auto fsPath = std::filesystem::u8path(path);
    const auto status = std::filesystem::status(fsPath, error);
    if (error || !std::filesystem::exists(status)) fail(path, "cannot open the rig file: " + error.message());
    if (std::filesystem::is_directory(status)) fail(path, "a rig must be a regular file, this is a folder");
    if (!std::filesystem::is_regular_file(status)) fail(path, "a rig must be a regular file, this is not one");
    std::ifstream file(fsPath, std::ios::binary);
    if (!file) fail(path, "cannot open the rig file");
    std::string text;
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        const auto got = static_cast<std::size_t>(file.gcount());
        if (text.size() + got > limit) fail(path, tooLarge(limit));
        text.append(chunk, got);
    }
    if (file.bad()) fail(path, "cannot read the rig file");
    return text;
}
#endif

} // namespace vexcam
