#include "imaqhost/disk_logging.h"

#include "imaqhost/host_error.h"

#include <cctype>
#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <cstdio>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace imaqhost {

namespace {

std::string lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

#if !defined(_WIN32)
// A file by descriptor, written with write(2) and nothing in between.
class PosixDiskFile final : public DiskFile {
public:
    explicit PosixDiskFile(int fd) : fd_(fd) {}
    ~PosixDiskFile() override
    {
        if (fd_ >= 0) ::close(fd_);
    }

    bool write(const void* data, std::size_t bytes) override
    {
        const auto* p = static_cast<const char*>(data);
        while (bytes > 0) {
            const ssize_t n = ::write(fd_, p, bytes);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return fail();
            p += n;
            bytes -= static_cast<std::size_t>(n);
            position_ += static_cast<std::uint64_t>(n);
            if (position_ > size_) size_ = position_;
        }
        return true;
    }

    std::size_t read(void* data, std::size_t bytes) override
    {
        std::size_t done = 0;
        while (done < bytes) {
            const ssize_t n = ::read(fd_, static_cast<char*>(data) + done, bytes - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        position_ += done;
        return done;
    }

    bool seek(std::uint64_t offset) override
    {
        if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) return fail();
        position_ = offset;
        return true;
    }

    std::uint64_t position() const override { return position_; }
    std::uint64_t size() const override { return size_; }

    bool close() override
    {
        if (fd_ < 0) return true;
        const int fd = fd_;
        fd_ = -1;
        const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
        if (!synced) fail();
        if (::close(fd) != 0) return fail();
        return synced;
    }

    std::string error() const override { return error_; }

private:
    bool fail()
    {
        error_ = errno ? std::strerror(errno) : "the file took no more bytes";
        return false;
    }

    int fd_;
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;
    std::string error_;
};
#endif

} // namespace

const char* toString(LoggingMode mode)
{
    switch (mode) {
    case LoggingMode::Memory: return "memory";
    case LoggingMode::Disk: return "disk";
    case LoggingMode::DiskAndMemory: return "disk&memory";
    }
    return "memory";
}

LoggingMode parseLoggingMode(const std::string& text)
{
    const std::string name = lower(text);
    for (auto mode : {LoggingMode::Memory, LoggingMode::Disk, LoggingMode::DiskAndMemory})
        if (name == toString(mode)) return mode;
    throw HostError("Unknown logging mode \"" + text + "\"; use memory, disk or disk&memory.");
}

const char* toString(DiskFileFormat format)
{
    return format == DiskFileFormat::Avi ? "avi" : "tiff-stack";
}

DiskFileFormat parseDiskFileFormat(const std::string& text)
{
    const std::string name = lower(text);
    if (name == "tiff-stack") return DiskFileFormat::TiffStack;
    if (name == "avi") return DiskFileFormat::Avi;
    throw HostError("Unknown log file format \"" + text + "\"; use tiff-stack or avi.");
}

std::unique_ptr<DiskFile> createDiskFile(const std::string& path)
{
#if defined(_WIN32)
    throw HostError("Logging to disk is not available in this build (\"" + path + "\").");
#else
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        throw HostError("Cannot create the log file \"" + path + "\": " + std::strerror(errno) + ".");
    return std::make_unique<PosixDiskFile>(fd);
#endif
}

} // namespace imaqhost
