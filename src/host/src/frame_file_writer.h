// Writes logged frames into one file, in order. Runs on the disk logger's
// thread only.
#pragma once

#include "imaqhost/acquisition.h"
#include "imaqhost/disk_logging.h"

#include <cstdint>
#include <memory>

namespace imaqhost {

class FrameFileWriter {
public:
    virtual ~FrameFileWriter() = default;
    // HostError when the frame cannot be written; what was written before stays readable.
    virtual void write(const FrameView& frame) = 0;
    // Completes the file (headers, index); HostError when that fails.
    virtual void finish() = 0;
};

// HostError when the frame type cannot go into the format.
void checkLoggable(DiskFileFormat format, std::uint32_t frameType);

// `bigTiff`: the stack may pass 4 GiB, which a classic TIFF cannot address.
std::unique_ptr<FrameFileWriter> makeTiffStackWriter(std::unique_ptr<DiskFile> file, bool bigTiff);
std::unique_ptr<FrameFileWriter> makeAviWriter(std::unique_ptr<DiskFile> file);

// Interleaved red, green, blue of `pixels` pixels of a host colour frame
// (blue, green, red and maybe a fourth byte) from `firstPixel` on.
void toRgbOrder(const FrameView& frame, std::size_t firstPixel, std::size_t pixels,
                std::vector<std::uint8_t>& out);

} // namespace imaqhost
