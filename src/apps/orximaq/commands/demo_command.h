// `orximaq demo`: the tour — every device, a short acquisition from each
// camera in its largest format up to 1280 x 1024 (else its first), and a
// contact sheet of their first frames.
#pragma once

#include "output/png_writer.h"
#include "host_context.h"
#include "output/output_format.h"

#include <cstdint>
#include <string>

namespace orximaq {

inline constexpr std::int64_t kDefaultDemoFrameCount = 5;
inline constexpr const char* kDefaultDemoFolder = "orximaq-demo";
inline constexpr const char* kContactSheetName = "contact-sheet.png";
// The tour opens at most this many cameras unless told otherwise; at most
// kMostDemoCameras, which also bounds the contact sheet (8 x 8 tiles).
inline constexpr std::int64_t kDefaultDemoCameras = 8;
inline constexpr std::int64_t kMostDemoCameras = 64;

struct DemoOptions {
    std::string folder = kDefaultDemoFolder;
    std::int64_t frames = kDefaultDemoFrameCount;
    std::int64_t maxCameras = kDefaultDemoCameras;
    OutputFormat outputFormat = OutputFormat::Png; // of the frames; the contact sheet is PNG
    int pngLevel = kDefaultPngLevel;
};

int runDemo(const GlobalOptions& global, NoticeLog& log, const DemoOptions& options);

} // namespace orximaq
