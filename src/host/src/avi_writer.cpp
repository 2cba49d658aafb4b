// Uncompressed AVI: a RIFF file with one video stream of device-independent
// bitmaps (8-bit grey with a grey palette, or 24-bit colour), one '00db'
// chunk per frame and an index. Sizes, frame count and rate are patched in
// when the file is finished.
#include "frame_file_writer.h"

#include "imaqhost/host_error.h"
#include "platform/imaqkit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace imaqhost {

namespace {

constexpr std::uint32_t kHasIndex = 0x10;
constexpr std::uint32_t kKeyFrame = 0x10;
constexpr std::uint64_t kRiffLimit = std::numeric_limits<std::uint32_t>::max();

// Offsets of the fields patched at the end.
constexpr std::uint64_t kRiffSizeAt = 4;
constexpr std::uint64_t kMicroSecPerFrameAt = 32;
constexpr std::uint64_t kTotalFramesAt = 48;

class Bytes {
public:
    void u16(std::uint16_t v) { put(&v, 2); }
    void u32(std::uint32_t v) { put(&v, 4); } // little-endian hosts only, as the runtime
    void fourcc(const char* code) { put(code, 4); }
    void put(const void* data, std::size_t size)
    {
        const auto* p = static_cast<const std::uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

private:
    std::vector<std::uint8_t> bytes_;
};

class AviWriter final : public FrameFileWriter {
public:
    explicit AviWriter(std::unique_ptr<DiskFile> file) : file_(std::move(file)) {}

    void write(const FrameView& frame) override
    {
        if (frames_ == 0) begin(frame);
        if (frame.width != width_ || frame.height != height_ || (frame.frameType == imaqkit::kMono8) != grey_)
            throw HostError("An AVI log needs frames of one size and type.");
        const auto imageBytes = static_cast<std::uint32_t>(rowBytes_ * static_cast<std::size_t>(height_));
        if (file_->position() + 8 + imageBytes + 16 * (frames_ + 1) + 8 > kRiffLimit)
            throw HostError("The AVI file is full: it cannot pass 4 GiB; use tiff-stack for longer logs.");
        const std::uint64_t offset = file_->position() - moviAt_;
        if (!writeChunk(frame, imageBytes)) fail("write frame " + std::to_string(frame.meta.frameNumber));
        index_.fourcc("00db");
        index_.u32(kKeyFrame);
        index_.u32(static_cast<std::uint32_t>(offset));
        index_.u32(imageBytes);
        if (frames_ == 0) firstTime_ = frame.time;
        lastTime_ = frame.time;
        ++frames_;
    }

    void finish() override
    {
        if (frames_ == 0) {
            if (!file_->close()) fail("complete the file");
            return;
        }
        const std::uint64_t moviEnd = file_->position();
        Bytes tail;
        tail.fourcc("idx1");
        tail.u32(static_cast<std::uint32_t>(index_.size()));
        tail.put(index_.bytes().data(), index_.size());
        if (!file_->write(tail.bytes().data(), tail.size())) fail("write the index");
        const std::uint64_t end = file_->position();
        const double period = frames_ > 1 && lastTime_ > firstTime_
                                  ? (lastTime_ - firstTime_) / static_cast<double>(frames_ - 1)
                                  : 1.0 / 30.0;
        const auto microseconds = static_cast<std::uint32_t>(std::max(1.0, std::round(period * 1e6)));
        const auto frames = static_cast<std::uint32_t>(frames_);
        const bool patched = patch(kRiffSizeAt, static_cast<std::uint32_t>(end - 8)) &&
                             patch(kMicroSecPerFrameAt, microseconds) && patch(kTotalFramesAt, frames) &&
                             patch(strhScaleAt_, microseconds) && patch(strhScaleAt_ + 4, 1000000) &&
                             patch(strhScaleAt_ + 12, frames) &&
                             patch(moviAt_ - 4, static_cast<std::uint32_t>(moviEnd - moviAt_));
        if (!patched) fail("complete the headers");
        if (!file_->close()) fail("complete the file");
    }

private:
    [[noreturn]] void fail(const std::string& what)
    {
        throw HostError("Cannot " + what + " of the AVI log: " + file_->error() + ".");
    }

    bool patch(std::uint64_t at, std::uint32_t value)
    {
        return file_->seek(at) && file_->write(&value, 4);
    }

    void begin(const FrameView& frame)
    {
        width_ = frame.width;
        height_ = frame.height;
        grey_ = frame.frameType == imaqkit::kMono8;
        const std::uint32_t bits = grey_ ? 8 : 24;
        rowBytes_ = ((static_cast<std::size_t>(width_) * bits / 8) + 3) & ~std::size_t{3};
        const auto image = static_cast<std::uint32_t>(rowBytes_ * static_cast<std::size_t>(height_));
        const std::uint32_t palette = grey_ ? 256 * 4 : 0;

        Bytes h;
        h.fourcc("RIFF");
        h.u32(0);
        h.fourcc("AVI ");
        h.fourcc("LIST");
        h.u32(4 + 8 + 56 + 8 + 4 + 8 + 56 + 8 + 40 + palette);
        h.fourcc("hdrl");
        h.fourcc("avih");
        h.u32(56);
        for (std::uint32_t v : {0u, 0u, 0u, kHasIndex, 0u, 0u, 1u, image, std::uint32_t(width_),
                                std::uint32_t(height_), 0u, 0u, 0u, 0u})
            h.u32(v);
        h.fourcc("LIST");
        h.u32(4 + 8 + 56 + 8 + 40 + palette);
        h.fourcc("strl");
        h.fourcc("strh");
        h.u32(56);
        h.fourcc("vids");
        h.fourcc("DIB ");
        h.u32(0);                 // flags
        h.u16(0);                 // priority
        h.u16(0);                 // language
        h.u32(0);                 // initial frames
        strhScaleAt_ = h.size();  // scale, rate, start, length follow
        for (std::uint32_t v : {1u, 30u, 0u, 0u, image, 0xffffffffu, 0u}) h.u32(v);
        for (std::uint16_t v : {std::uint16_t(0), std::uint16_t(0), std::uint16_t(width_), std::uint16_t(height_)})
            h.u16(v);
        h.fourcc("strf");
        h.u32(40 + palette);
        h.u32(40);
        h.u32(static_cast<std::uint32_t>(width_));
        h.u32(static_cast<std::uint32_t>(height_)); // positive: rows bottom-up
        h.u16(1);
        h.u16(static_cast<std::uint16_t>(bits));
        for (std::uint32_t v : {0u, image, 0u, 0u, grey_ ? 256u : 0u, 0u}) h.u32(v);
        for (std::uint32_t i = 0; i < 256 && grey_; ++i) h.u32(i | (i << 8) | (i << 16));
        h.fourcc("LIST");
        h.u32(0);
        moviAt_ = h.size();
        h.fourcc("movi");
        if (!file_->write(h.bytes().data(), h.size())) fail("write the headers");
    }

    // The chunk: 8 bytes of header, then the rows bottom-up, each padded to
    // four bytes, written in blocks that stay in the cache. Bitmaps keep
    // blue, green, red as the host's frames do.
    bool writeChunk(const FrameView& frame, std::uint32_t imageBytes)
    {
        const std::size_t sourcePixel = static_cast<std::size_t>(frame.bytesPerPixel);
        const std::size_t row = static_cast<std::size_t>(width_) * (grey_ ? 1 : 3);
        const std::size_t rowsPerBlock = std::max<std::size_t>(1, kBlockBytes / rowBytes_);
        block_.resize(8 + rowsPerBlock * rowBytes_);
        std::memcpy(block_.data(), "00db", 4);
        std::memcpy(block_.data() + 4, &imageBytes, 4);
        std::size_t used = 8;
        for (std::int32_t y = 0; y < height_; ++y) {
            const std::uint8_t* source =
                frame.pixels + static_cast<std::size_t>(height_ - 1 - y) * width_ * sourcePixel;
            std::uint8_t* target = block_.data() + used;
            if (sourcePixel != 4) {
                std::memcpy(target, source, row);
            } else {
                for (std::int32_t x = 0; x < width_; ++x) std::memcpy(target + 3 * x, source + 4 * x, 3);
            }
            std::memset(target + row, 0, rowBytes_ - row);
            used += rowBytes_;
            if (used + rowBytes_ > block_.size() || y + 1 == height_) {
                if (!file_->write(block_.data(), used)) return false;
                used = 0;
            }
        }
        return true;
    }

    static constexpr std::size_t kBlockBytes = 256 * 1024;

    std::unique_ptr<DiskFile> file_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    bool grey_ = true;
    std::size_t rowBytes_ = 0;
    std::uint64_t moviAt_ = 0;
    std::uint64_t strhScaleAt_ = 0;
    std::uint64_t frames_ = 0;
    double firstTime_ = 0.0;
    double lastTime_ = 0.0;
    Bytes index_;
    std::vector<std::uint8_t> block_;
};

} // namespace

std::unique_ptr<FrameFileWriter> makeAviWriter(std::unique_ptr<DiskFile> file)
{
    return std::make_unique<AviWriter>(std::move(file));
}

} // namespace imaqhost
