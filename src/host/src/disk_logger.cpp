#include "disk_logger.h"

#include "host_crop.h"
#include "imaqhost/host_error.h"

namespace imaqhost {

DiskLogger::DiskLogger(const DiskLogSettings& settings, bool bigTiff, std::optional<HostCrop> crop,
                       FramePool& pool, std::shared_ptr<MemoryBudget> budget, FailureHandler onFailure)
    : crop_(crop), pool_(pool), budget_(std::move(budget)), onFailure_(std::move(onFailure))
{
    auto file = settings.open ? settings.open(settings.path) : createDiskFile(settings.path);
    if (!file) throw HostError("Cannot open the log file \"" + settings.path + "\".");
    writer_ = settings.format == DiskFileFormat::Avi ? makeAviWriter(std::move(file))
                                                     : makeTiffStackWriter(std::move(file), bigTiff);
    thread_ = std::thread([this] { run(); });
}

DiskLogger::~DiskLogger()
{
    finish();
}

void DiskLogger::push(Frame& frame, const FrameMetadata& meta)
{
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({&frame, meta});
    }
    queued_.notify_one();
}

void DiskLogger::finish()
{
    {
        std::lock_guard lock(mutex_);
        finishing_ = true;
    }
    queued_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void DiskLogger::run()
{
    for (;;) {
        Entry entry{};
        {
            std::unique_lock lock(mutex_);
            queued_.wait(lock, [&] { return !queue_.empty() || finishing_; });
            if (queue_.empty()) break;
            entry = queue_.front();
            queue_.pop_front();
        }
        writeOne(entry);
        release(entry);
    }
    if (broken_) return;
    try {
        writer_->finish();
    } catch (const HostError& error) {
        reportFailure(error.what());
    }
}

void DiskLogger::writeOne(const Entry& entry)
{
    if (broken_) {
        ++failed_;
        return;
    }
    const Frame& frame = *entry.frame;
    FrameView view{entry.meta.frameNumber - 1, frame.frameType(), frame.width(), frame.height(),
                   frame.bytesPerPixel(),     frame.time(),      frame.pixels(), frame.bytes()};
    view.meta = entry.meta;
    if (crop_) view = cropView(view, *crop_, cropScratch_);
    try {
        writer_->write(view);
        ++written_;
    } catch (const HostError& error) {
        broken_ = true;
        ++failed_;
        reportFailure(error.what());
    }
}

void DiskLogger::release(const Entry& entry)
{
    const std::size_t bytes = entry.frame->bytes();
    pool_.recycle(entry.frame);
    if (budget_) budget_->giveBack(bytes);
}

void DiskLogger::reportFailure(const std::string& message)
{
    if (onFailure_) onFailure_(message);
}

} // namespace imaqhost
