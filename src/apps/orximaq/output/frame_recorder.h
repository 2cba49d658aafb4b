// The consumer of an acquisition: checks each frame against the camera's test
// pattern, writes it as a PNG, TIFF or raw file and shows progress.
#pragma once

#include "output/image.h"
#include "output/output_format.h"
#include "output/raw_writer.h"
#include "progress_bar.h"

#include "imaqhost/acquisition.h"

#include <cstdint>
#include <filesystem>
#include <optional>
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

class FrameRecorder {
public:
    // `origins`: where the frames' top-left pixel may lie on the sensor, the
    // most likely first; a frame is whole when it matches the pattern at one.
    // `testPattern`: whether the camera paints the test pattern at all.
    FrameRecorder(std::filesystem::path folder, std::vector<SensorOrigin> origins, ProgressBar& progress,
                  OutputFormat format = OutputFormat::Png, bool testPattern = true);

    // The acquisition's consumer. A failure to write a file is kept (see
    // writeError), no further file is written, and the acquisition loop
    // stops capture when it sees it.
    void operator()(const imaqhost::FrameView& frame);
    // After the last frame: writes the raw sidecar when raw frames were written.
    void finish();

    std::int64_t seen() const { return seen_; } // frames handed to it
    const std::vector<std::filesystem::path>& files() const { return files_; }
    const FrameChecks& checks() const { return checks_; }
    const std::optional<Image>& firstImage() const { return firstImage_; }
    const std::optional<std::string>& writeError() const { return writeError_; }
    const std::optional<std::filesystem::path>& sidecar() const { return sidecar_; }

private:
    void check(const imaqhost::FrameView& frame);
    void write(const imaqhost::FrameView& frame);
    void writeFile(const std::filesystem::path& path, const imaqhost::FrameView& frame);

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
};

} // namespace orximaq
