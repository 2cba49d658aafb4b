#include "output/frame_recorder.h"

#include "output/output_folder.h"
#include "output/png_writer.h"
#include "output/tiff_writer.h"

#include "platform/imaqkit.h"
#include "vexcam/pattern.h"

#include <algorithm>
#include <memory>

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

const std::uint8_t* copiedPixels(const imaqhost::FrameView& frame, const std::vector<std::uint8_t>& bytes)
{
    return frame.pixels == nullptr ? nullptr : bytes.data();
}

} // namespace

FrameRecorder::FrameRecorder(std::filesystem::path folder, std::vector<SensorOrigin> origins, ProgressBar& progress,
                             OutputFormat format, bool testPattern, WriterSettings writers)
    : folder_(std::move(folder)), format_(format), origins_(std::move(origins)), testPattern_(testPattern),
      progress_(progress), writers_(writers), pool_(writers.threads, 2 * writers.threads)
{
    if (origins_.empty())
        origins_.push_back({});
    checks_.unavailable = testPattern ? "no frame of a type the pattern is known for" : "not a test-pattern camera";
}

void FrameRecorder::operator()(const imaqhost::FrameView& frame)
{
    check(frame);
    ++seen_;
    write(frame);
    progress_.update(seen_);
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

FrameRecorder::~FrameRecorder() = default;

// The frame's bytes are the host's only until the consumer returns: the
// writer gets a copy.
void FrameRecorder::write(const imaqhost::FrameView& frame)
{
    if (failed_.load())
        return;
    if (!firstImage_)
        firstImage_ = imageFromFrame(frame.frameType, frame.width, frame.height, frame.pixels, frame.bytes);
    if (seen_ == 1)
        firstHanded_ = std::chrono::steady_clock::now();
    const std::size_t size = frame.pixels != nullptr ? frame.bytes : 0;
    auto bytes = buffers_.copyOf(frame.pixels, size);
    imaqhost::FrameView copy = frame;
    pool_.submit([this, copy, bytes]() mutable {
        if (failed_.load())
            return;
        copy.pixels = copiedPixels(copy, *bytes);
        const auto path = folder_ / frameFileName(copy.index, format_);
        try {
            writeFile(path, copy);
            recordWritten(copy, path);
        } catch (const std::exception& error) {
            recordFailure(error.what());
        } catch (...) {
            recordFailure("cannot write " + path.string() + ": an unexpected failure");
        }
    });
    noteWaiting(pool_.pending());
}

void FrameRecorder::writeFile(const std::filesystem::path& path, const imaqhost::FrameView& frame) const
{
    if (format_ == OutputFormat::Raw) {
        writeRawFrame(path, frame);
        return;
    }
    const Image image = imageFromFrame(frame.frameType, frame.width, frame.height, frame.pixels, frame.bytes);
    if (format_ == OutputFormat::Tiff)
        writeTiff(path, image);
    else
        writePng(path, image, writers_.pngLevel);
}

void FrameRecorder::recordWritten(const imaqhost::FrameView& frame, std::filesystem::path path)
{
    imaqhost::FrameView described = frame;
    described.pixels = nullptr;
    const std::lock_guard lock(writtenMutex_);
    writtenFiles_.push_back({described, std::move(path)});
    lastWrite_ = std::chrono::steady_clock::now();
    written_.fetch_add(1);
}

void FrameRecorder::recordFailure(const std::string& error)
{
    const std::lock_guard lock(writtenMutex_);
    if (!writeError_)
        writeError_ = error;
    failed_.store(true);
}

void FrameRecorder::finish()
{
    pool_.drain();
    std::sort(writtenFiles_.begin(), writtenFiles_.end(),
              [](const WrittenFile& a, const WrittenFile& b) { return a.frame.index < b.frame.index; });
    files_.clear();
    for (const auto& file : writtenFiles_) {
        files_.push_back(file.path);
        if (format_ == OutputFormat::Raw)
            rawSidecar_.add(file.path, file.frame);
    }
    if (files_.empty())
        firstImage_.reset();
    figures_.written = static_cast<std::int64_t>(files_.size());
    if (!files_.empty())
        figures_.seconds = std::chrono::duration<double>(lastWrite_ - firstHanded_).count();
    if (rawSidecar_.empty())
        return;
    try {
        sidecar_ = rawSidecar_.write(folder_);
    } catch (const std::exception& error) {
        if (!writeError_)
            writeError_ = error.what();
        failed_.store(true);
    }
}

} // namespace orximaq
