// Logging frames to disk: modes, file formats and the file seam that the
// writer thread writes through.
#pragma once

#include "imaqhost/export.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace imaqhost {

enum class LoggingMode { Memory, Disk, DiskAndMemory };
IMAQHOST_API const char* toString(LoggingMode mode); // "memory", "disk", "disk&memory"
IMAQHOST_API LoggingMode parseLoggingMode(const std::string& text);

enum class DiskFileFormat {
    TiffStack, // one page per frame; BigTIFF when the stack may pass 4 GiB
    Avi,       // uncompressed, 8-bit grey or 24-bit colour
};
IMAQHOST_API const char* toString(DiskFileFormat format); // "tiff-stack", "avi"
IMAQHOST_API DiskFileFormat parseDiskFileFormat(const std::string& text);

// The bytes of one log file. Every call reports failure by its result and
// error() says why; nothing throws.
class IMAQHOST_API DiskFile {
public:
    virtual ~DiskFile() = default;
    // All of `bytes` at the position, or false.
    virtual bool write(const void* data, std::size_t bytes) = 0;
    // Up to `bytes` from the position; how many were read.
    virtual std::size_t read(void* data, std::size_t bytes) = 0;
    virtual bool seek(std::uint64_t offset) = 0;
    virtual std::uint64_t position() const = 0;
    virtual std::uint64_t size() const = 0;
    // Pushes what was written to the storage; false when it cannot.
    virtual bool close() = 0;
    virtual std::string error() const = 0;
};

// Creates (or empties) a file for writing and reading. A symbolic link at
// the path is refused rather than followed. HostError when it cannot.
IMAQHOST_API std::unique_ptr<DiskFile> createDiskFile(const std::string& path);

struct DiskLogSettings {
    DiskFileFormat format = DiskFileFormat::TiffStack;
    std::string path; // one file per acquisition: each start creates it afresh
    // Opens the file; empty: createDiskFile. Tests hand in files that fail.
    std::function<std::unique_ptr<DiskFile>(const std::string& path)> open;
};

} // namespace imaqhost
