// The disk logger of one acquisition: frames queued by the delivery thread
// are written to one file by a writer thread of the runtime. A write that
// fails ends the file where it is (what was written stays readable), the
// rest are counted as failed, and the owner hears of it once.
#pragma once

#include "frame_file_writer.h"
#include "frame_pool.h"
#include "host_crop.h"
#include "imaqhost/video_input.h"
#include "memory_budget.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace imaqhost {

class DiskLogger {
public:
    // Called once, on the writer thread, with the reason.
    using FailureHandler = std::function<void(const std::string& message)>;

    // Opens the file (HostError when it cannot) and starts the writer thread.
    DiskLogger(const DiskLogSettings& settings, bool bigTiff, std::optional<HostCrop> crop,
               FramePool& pool, std::shared_ptr<MemoryBudget> budget, FailureHandler onFailure);
    // Finishes (see finish) if not done yet.
    ~DiskLogger();
    DiskLogger(const DiskLogger&) = delete;
    DiskLogger& operator=(const DiskLogger&) = delete;

    // Takes the frame (its budget bytes already taken) and its metadata;
    // the writer gives both back. Never blocks on the disk.
    void push(Frame& frame, const FrameMetadata& meta);
    // Writes what is queued, completes the file and joins the writer.
    void finish();

    std::int64_t written() const noexcept { return written_.load(); }
    std::int64_t failed() const noexcept { return failed_.load(); }

private:
    struct Entry {
        Frame* frame;
        FrameMetadata meta;
    };

    void run();
    void writeOne(const Entry& entry);
    void release(const Entry& entry);
    void reportFailure(const std::string& message);

    std::unique_ptr<FrameFileWriter> writer_;
    std::optional<HostCrop> crop_;
    FramePool& pool_;
    std::shared_ptr<MemoryBudget> budget_;
    FailureHandler onFailure_;

    std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<Entry> queue_;
    bool finishing_ = false;
    bool broken_ = false; // a write failed: the rest only count
    std::atomic<std::int64_t> written_{0};
    std::atomic<std::int64_t> failed_{0};
    std::vector<std::uint8_t> cropScratch_;
    std::thread thread_;
};

} // namespace imaqhost
