#include "output/frame_recorder.h"

#include "output/output_folder.h"
#include "output/png_writer.h"
#include "output/tiff_writer.h"

#include "platform/imaqkit.h"
#include "vexcam/pattern.h"

#include <algorithm>

namespace orximaq {
namespace {

std::optional<vexcam::PixelLayout> patternLayout(std::uint32_t frameType)
{
    switch (frameType) {
    case imaqkit::kMono8: return vexcam::PixelLayout::Gray8;
    case imaqkit::kMono16: return vexcam::PixelLayout::Gray16;
    case imaqkit::kRgb24Packed: return vexcam::PixelLayout::Rgb24;
    case imaqkit::kRgb32Packed: return vexcam::PixelLayout::Rgb32;
    default: return std::nullopt;
    }
}

} // namespace

FrameRecorder::FrameRecorder(std::filesystem::path folder, std::vector<SensorOrigin> origins, ProgressBar& progress,
                             OutputFormat format, bool testPattern)
    : folder_(std::move(folder)), format_(format), origins_(std::move(origins)), testPattern_(testPattern),
      progress_(progress)
{
    if (origins_.empty())
        origins_.push_back({});
    checks_.unavailable = testPattern ? "no frame of a type the pattern is known for" : "not a test-pattern camera";
}

void FrameRecorder::operator()(const imaqhost::FrameView& frame)
{
    check(frame);
    write(frame);
    progress_.update(++seen_);
}

void FrameRecorder::check(const imaqhost::FrameView& frame)
{
    if (!testPattern_)
        return;
    const auto layout = patternLayout(frame.frameType);
    const std::size_t stride = static_cast<std::size_t>(std::max(frame.width, 0)) *
                               static_cast<std::size_t>(std::max(frame.bytesPerPixel, 0));
    if (!layout || frame.pixels == nullptr || frame.bytes < stride * static_cast<std::size_t>(std::max(frame.height, 0)))
        return;
    checks_.available = true;
    checks_.unavailable.clear();
    // The origin that matched last is tried first; the others only when it fails.
    std::vector<SensorOrigin> order;
    if (checks_.origin)
        order.push_back(*checks_.origin);
    for (const auto& origin : origins_)
        if (origin != checks_.origin)
            order.push_back(origin);
    vexcam::pattern::FrameCheck result;
    std::string firstProblem;
    for (const auto& origin : order) {
        result = vexcam::pattern::checkFrame(*layout, frame.pixels, frame.width, frame.height, origin.x, origin.y,
                                             stride);
        if (result) {
            checks_.origin = origin;
            break;
        }
        if (firstProblem.empty())
            firstProblem = result.problem;
    }
    if (!result) {
        if (checks_.firstProblem.empty())
            checks_.firstProblem = "frame " + std::to_string(frame.index + 1) + ": " + firstProblem;
        return;
    }
    ++checks_.whole;
    if (!lastFrameNumber_ || result.frameNumber > *lastFrameNumber_)
        ++checks_.inOrder;
    else if (checks_.firstProblem.empty())
        checks_.firstProblem = "frame " + std::to_string(frame.index + 1) + " carries camera frame number " +
                               std::to_string(result.frameNumber) + ", not after " +
                               std::to_string(*lastFrameNumber_);
    lastFrameNumber_ = result.frameNumber;
}

void FrameRecorder::write(const imaqhost::FrameView& frame)
{
    if (writeError_)
        return;
    try {
        const auto path = folder_ / frameFileName(frame.index, format_);
        writeFile(path, frame);
        files_.push_back(path);
    } catch (const std::exception& error) {
        writeError_ = error.what();
    }
}

void FrameRecorder::writeFile(const std::filesystem::path& path, const imaqhost::FrameView& frame)
{
    if (format_ == OutputFormat::Raw) {
        writeRawFrame(path, frame);
        rawSidecar_.add(path, frame);
        if (!firstImage_)
            firstImage_ = imageFromFrame(frame.frameType, frame.width, frame.height, frame.pixels, frame.bytes);
        return;
    }
    Image image = imageFromFrame(frame.frameType, frame.width, frame.height, frame.pixels, frame.bytes);
    if (format_ == OutputFormat::Tiff)
        writeTiff(path, image);
    else
        writePng(path, image);
    if (!firstImage_)
        firstImage_ = std::move(image);
}

void FrameRecorder::finish()
{
    if (rawSidecar_.empty())
        return;
    try {
        sidecar_ = rawSidecar_.write(folder_);
    } catch (const std::exception& error) {
        if (!writeError_)
            writeError_ = error.what();
    }
}

} // namespace orximaq
