// `orximaq acquire`: frames from one device and format into PNG files.
#pragma once

#include "engine_request.h"
#include "output/png_writer.h"
#include "host_context.h"
#include "output/output_format.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orximaq {

inline constexpr std::int64_t kDefaultFrameCount = 10;
inline constexpr const char* kDefaultFrameFolder = "orximaq-frames";

struct AcquireOptions {
    std::string device;
    std::string format;
    std::int64_t frames = kDefaultFrameCount;
    std::optional<double> duration;    // seconds: a timed run instead of a frame count
    std::string folder = kDefaultFrameFolder;
    bool folderGiven = false;          // -o was given (with --log and without it, no frame files)
    bool json = false;
    std::vector<std::string> settings; // NAME=VALUE, applied in order
    std::optional<std::string> region; // X,Y,W,H
    OutputFormat outputFormat = OutputFormat::Png;
    int pngLevel = kDefaultPngLevel;
    EngineOptions engine;
};

int runAcquire(const GlobalOptions& global, NoticeLog& log, const AcquireOptions& options);

} // namespace orximaq
