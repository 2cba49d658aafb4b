// The consumer of an acquisition: checks each frame against the camera's test
// pattern on the taking thread (the check follows the frame order), and hands
// a copy to the writer pool, which encodes and writes it as a PNG, TIFF or raw
// file.
#pragma once

#include "output/image.h"
#include "output/output_format.h"
#include "output/raw_writer.h"
#include "output/recycled_buffers.h"
#include "imaqhost/writer_pool.h"
#include "progress_bar.h"

#include "imaqhost/acquisition.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <algorithm>
#include <string>
#include <vector>

namespace orximaq {

// A place on the sensor where a frame's top-left pixel may lie.
struct SensorOrigin {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const SensorOrigin&, const SensorOrigin&) = default;
};

struct FrameChecks {
    bool available = false;       // the camera paints the pattern and the frame type has a decoder
    std::string unavailable;      // why not, when not
    std::optional<SensorOrigin> origin; // where the last whole frame lay
    std::int64_t whole = 0;       // frames the decoder found whole
    std::int64_t inOrder = 0;     // whole frames numbered after the one before
    std::string firstProblem;     // why the first frame that failed did
};

struct WriterSettings {
    std::size_t threads = imaqhost::WriterPool::defaultThreads();
    int pngLevel = 1; // zlib's 0 (none) to 9 (smallest)
};

// How writing went: files per second from the first frame handed over to the
// last file written, and the most frames that waited to be written at once.
struct WriteFigures {
    std::int64_t written = 0;
    double seconds = 0.0;
    std::size_t mostWaiting = 0;
    std::optional<double> rate() const
    {
        return written >= 1 && seconds > 0.0 ? std::optional(written / seconds) : std::nullopt;
    }
};

class FrameRecorder {
public:
    // `origins`: where the frames' top-left pixel may lie on the sensor, the
    // most likely first; a frame is whole when it matches the pattern at one.
    // `testPattern`: whether the camera paints the test pattern at all.
    FrameRecorder(std::filesystem::path folder, std::vector<SensorOrigin> origins, ProgressBar& progress,
                  OutputFormat format = OutputFormat::Png, bool testPattern = true,
                  WriterSettings writers = {});
    ~FrameRecorder();

    // The acquisition's consumer. A failure to write a file is kept (see
    // writeError), no further file is written, and the acquisition loop
    // stops capture when it sees it (failed()).
    void operator()(const imaqhost::FrameView& frame);
    // After the last frame: waits for the writers, puts the files in frame
    // order and writes the raw sidecar when raw frames were written.
    void finish();
    bool failed() const { return failed_.load(); }
    // Files written so far, and frames handed over but not yet written.
    std::int64_t written() const { return written_.load(); }
    std::size_t waiting() const { return pool_.pending(); }
    // Frames waiting in the host's buffer too, as the caller sees them.
    void noteWaiting(std::size_t frames) { figures_.mostWaiting = std::max(figures_.mostWaiting, frames); }
    const WriteFigures& figures() const { return figures_; }

    std::int64_t seen() const { return seen_; } // frames handed to it
    const std::vector<std::filesystem::path>& files() const { return files_; }
    const FrameChecks& checks() const { return checks_; }
    const std::optional<Image>& firstImage() const { return firstImage_; }
    const std::optional<std::string>& writeError() const { return writeError_; }
    const std::optional<std::filesystem::path>& sidecar() const { return sidecar_; }

private:
    struct WrittenFile {
        imaqhost::FrameView frame; // without its pixels
        std::filesystem::path path;
    };

    void check(const imaqhost::FrameView& frame);
    void write(const imaqhost::FrameView& frame);
    void writeFile(const std::filesystem::path& path, const imaqhost::FrameView& frame) const;
    void recordWritten(const imaqhost::FrameView& frame, std::filesystem::path path);
    void recordFailure(const std::string& error);

    std::filesystem::path folder_;
    OutputFormat format_;
    RawSidecar rawSidecar_;
    std::optional<std::filesystem::path> sidecar_;
    std::vector<SensorOrigin> origins_;
    bool testPattern_;
    ProgressBar& progress_;
    std::vector<std::filesystem::path> files_;
    FrameChecks checks_;
    std::optional<std::uint32_t> lastFrameNumber_;
    std::optional<Image> firstImage_;
    std::optional<std::string> writeError_;
    std::int64_t seen_ = 0;
    WriterSettings writers_;
    std::mutex writtenMutex_; // guards writtenFiles_, writeError_ and lastWrite_ while writers run
    std::vector<WrittenFile> writtenFiles_;
    std::chrono::steady_clock::time_point firstHanded_{};
    std::chrono::steady_clock::time_point lastWrite_{};
    std::atomic<bool> failed_{false};
    std::atomic<std::int64_t> written_{0};
    WriteFigures figures_;
    RecycledBuffers buffers_;
    imaqhost::WriterPool pool_; // last: its writers stop before the rest goes
};

} // namespace orximaq
