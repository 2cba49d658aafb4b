// One log file written frame by frame on the caller's thread: what the disk
// logger's writer thread does, for front-ends and benchmarks that write
// frames themselves.
#pragma once

#include "imaqhost/acquisition.h"
#include "imaqhost/disk_logging.h"
#include "imaqhost/export.h"

#include <cstdint>
#include <memory>

namespace imaqhost {

class FrameFileWriter;

class IMAQHOST_API FrameLog {
public:
    // Creates the file for frames of the type; `bigTiff` for stacks that
    // may pass 4 GiB. HostError when the file or the type will not do.
    FrameLog(const DiskLogSettings& settings, std::uint32_t frameType, bool bigTiff = false);
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    // One page or frame, with the view's metadata. HostError when it cannot
    // be written; the frames before it stay readable.
    void write(const FrameView& frame);
    // Completes and closes the file; HostError when that fails.
    void finish();

private:
    std::unique_ptr<FrameFileWriter> writer_;
};

} // namespace imaqhost
