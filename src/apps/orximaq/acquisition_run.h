// One acquisition into a folder of PNG files, shared by `acquire` and `demo`.
#pragma once

#include "engine_request.h"
#include "output/frame_recorder.h"
#include "run_statistics.h"
#include "report_json.h"

#include "imaqhost/video_input.h"

#include <chrono>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace orximaq {

// Real losses: refused by the host, overrun in its buffer, skipped by the camera.
inline std::int64_t droppedFrames(const imaqhost::AcquisitionStats& stats, std::int64_t skippedByCamera)
{
    return stats.refused + stats.overrun + skippedByCamera;
}

struct AcquisitionResult {
    imaqhost::AcquisitionStats stats;
    imaqhost::Region region;                       // the region the frames came from
    std::filesystem::path folder;
    std::vector<std::filesystem::path> files;
    FrameChecks checks;
    std::optional<Image> firstImage;
    std::optional<std::string> writeError;
    OutputFormat format = OutputFormat::Png;
    std::optional<std::filesystem::path> sidecar; // the raw frames' description
    std::int64_t olderFrames = 0;                 // frame files of an earlier run beyond ours
    std::optional<double> duration;               // seconds of a timed run (instead of a frame count)
    std::int64_t taken = 0;                       // frames taken out of the host's buffer and checked
    int interrupt = 0;                            // the signal that stopped it, or 0
    bool writeFailed = false;                     // a file could not be written: capture stopped then
    std::optional<RunStatistics> statistics;      // from the time stamps
    std::int64_t skippedByCamera = 0;             // images the camera could not deliver: every buffer locked
    WriteFigures writing;                         // the writers' rate and the most frames waiting
    bool filesWritten = true;                     // frame files were asked for (not only a log file)
    std::optional<imaqhost::TriggerSettings> trigger; // the engine's settings for the run
    std::optional<LogRequest> log;                // the host's log file
    std::vector<imaqhost::FrameMetadata> metadata; // of every frame taken, in order
    std::vector<imaqhost::AcquisitionEvent> events; // the host's event log
    std::string startError;                       // why the host did not start

    std::int64_t dropped() const { return droppedFrames(stats, skippedByCamera); }

    // The frames the run was meant to have: the request, or for a timed or endless run all that arrived.
    std::int64_t expectedFrames() const;
    // Frames kept: files written, or with only a log file, frames the logger wrote.
    std::int64_t framesKept() const;

    // Every requested frame arrived and was written.
    bool succeeded() const;
    // Why not, in one sentence; empty when it succeeded.
    std::string failure() const;
};

// Acquires `frames` frames (or, with a duration, as many as arrive in that
// time) from the open input into `folder` (which must already be prepared)
// as files in `format`, with a progress bar when `showProgress`. A SIGINT or
// SIGTERM, caught by an InterruptGuard, stops it after the frame being
// written; `interrupt` then names the signal.
// With an engine request the run uses its trigger settings (and, for a
// manual trigger, SIGUSR1 or Enter to fire each) and `frames` is unused;
// `writeFiles` false writes no frame files (the host logs to its file only).
struct EngineRun {
    const EngineRequest* request = nullptr;
    bool writeFiles = true;
};
AcquisitionResult acquireInto(imaqhost::VideoInput& input, const std::filesystem::path& folder, std::int64_t frames,
                              bool showProgress, OutputFormat format = OutputFormat::Png,
                              std::optional<double> duration = std::nullopt, bool testPattern = true,
                              WriterSettings writers = {}, EngineRun engine = {});

const char* endKey(imaqhost::AcquisitionEnd end);

// The summary lines of the text output, indented by two blanks.
void printAcquisition(std::ostream& out, const AcquisitionResult& result);
Json acquisitionJson(const AcquisitionResult& result);

} // namespace orximaq
