#include "imaqhost/frame_log.h"

#include "frame_file_writer.h"
#include "imaqhost/host_error.h"

namespace imaqhost {

FrameLog::FrameLog(const DiskLogSettings& settings, std::uint32_t frameType, bool bigTiff)
{
    checkLoggable(settings.format, frameType);
    auto file = settings.open ? settings.open(settings.path) : createDiskFile(settings.path);
    if (!file) throw HostError("Cannot open the log file \"" + settings.path + "\".");
    writer_ = settings.format == DiskFileFormat::Avi ? makeAviWriter(std::move(file))
                                                     : makeTiffStackWriter(std::move(file), bigTiff);
}

FrameLog::~FrameLog() = default;

void FrameLog::write(const FrameView& frame)
{
    writer_->write(frame);
}

void FrameLog::finish()
{
    writer_->finish();
}

} // namespace imaqhost
