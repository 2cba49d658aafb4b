// What `acquire` asks of the host's acquisition engine besides the frame
// files: triggering, the colour space frames come out in, the frame-memory
// limit and a log file written by the host's disk logger.
#pragma once

#include "imaqhost/acquisition.h"
#include "imaqhost/disk_logging.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orximaq {

// The texts as given on the command line; none: the option was not given.
struct EngineOptions {
    std::optional<std::string> trigger;          // immediate|manual
    std::optional<std::string> framesPerTrigger; // N|inf
    std::optional<std::string> triggerRepeat;    // N|inf
    std::optional<std::string> frameDelay;
    std::optional<std::string> grabInterval;
    std::optional<std::string> colorSpace;       // rgb|grayscale|ycbcr|bayer:ALIGNMENT
    std::optional<std::string> memoryLimit;      // bytes, or with a K, M or G suffix
    std::vector<std::string> log;                // FORMAT FILE
    std::optional<std::string> push;             // a camera button property
};

struct ColorRequest {
    imaqhost::ColorSpace space = imaqhost::ColorSpace::Native;
    imaqhost::BayerAlignment alignment = imaqhost::BayerAlignment::Grbg;
    std::string text; // as given, for messages
};

struct LogRequest {
    imaqhost::DiskFileFormat format = imaqhost::DiskFileFormat::TiffStack;
    std::string path;
};

struct EngineRequest {
    imaqhost::TriggerSettings trigger;
    std::optional<ColorRequest> color;
    std::optional<std::size_t> memoryLimit;
    std::optional<LogRequest> log;
    // Pushed at each Enter or SIGUSR1: a camera's own software trigger.
    std::optional<std::string> push;

    bool manual() const { return trigger.type == imaqhost::TriggerType::Manual; }
    // Frames the whole run logs; none when a count is infinite.
    std::optional<std::int64_t> totalFrames() const;
};

// Checks every text and builds the request. `frames` is -n (frames per
// trigger unless --frames-per-trigger says otherwise); `timed`: a --duration
// run, whose frames per trigger are infinite unless given. CliError naming
// the option when a text is wrong.
EngineRequest parseEngineRequest(const EngineOptions& options, std::int64_t frames, bool timed);

// "inf" for kInfinite, else the number.
std::string countText(std::int64_t count);

} // namespace orximaq
