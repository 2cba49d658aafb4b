// One acquisition into a folder of PNG files, shared by `acquire` and `demo`.
#pragma once

#include "frame_recorder.h"
#include "report_json.h"

#include "imaqsim/video_input.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace orximaq {

struct AcquisitionResult {
    imaqsim::AcquisitionStats stats;
    imaqsim::Region region;                       // the region the frames came from
    std::filesystem::path folder;
    std::vector<std::filesystem::path> files;
    FrameChecks checks;
    std::optional<Image> firstImage;
    std::optional<std::string> writeError;
    OutputFormat format = OutputFormat::Png;
    std::optional<std::filesystem::path> sidecar; // the raw frames' description
    std::int64_t olderFrames = 0;                 // frame files of an earlier run beyond ours

    // Every requested frame arrived and was written.
    bool succeeded() const;
    // Why not, in one sentence; empty when it succeeded.
    std::string failure() const;
};

// Acquires `frames` frames from the open input into `folder` (which must
// already be prepared) as files in `format`, with a progress bar when
// `showProgress`.
AcquisitionResult acquireInto(imaqsim::VideoInput& input, const std::filesystem::path& folder, std::int64_t frames,
                              bool showProgress, OutputFormat format = OutputFormat::Png);

const char* endKey(imaqsim::AcquisitionEnd end);

// The summary lines of the text output, indented by two blanks.
void printAcquisition(std::ostream& out, const AcquisitionResult& result);
Json acquisitionJson(const AcquisitionResult& result);

} // namespace orximaq
