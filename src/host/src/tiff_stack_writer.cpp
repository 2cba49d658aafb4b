#include "frame_file_writer.h"

#include "imaqhost/host_error.h"
#include "platform/imaqkit.h"

#include <cstdarg>
#include <cstdio>
#include <algorithm>
#include <cstring>

#if defined(ORX_HAVE_TIFF)
#include <tiffio.h>
#endif

namespace imaqhost {

void checkLoggable(DiskFileFormat format, std::uint32_t frameType)
{
    const bool colour = frameType == imaqkit::kRgb24Packed || frameType == imaqkit::kRgb32Packed;
    const bool grey8 = frameType == imaqkit::kMono8;
    const bool grey16 = frameType == imaqkit::kMono16;
    if (format == DiskFileFormat::Avi && !(colour || grey8))
        throw HostError("An AVI log takes 8-bit grey or colour frames; use tiff-stack for this format.");
    if (!(colour || grey8 || grey16)) throw HostError("Frames of this format cannot be logged to disk.");
#if !defined(ORX_HAVE_TIFF)
    if (format == DiskFileFormat::TiffStack)
        throw HostError("This build has no TIFF support; log as avi instead.");
#endif
}

#if defined(ORX_HAVE_TIFF)

namespace {

DiskFile& fileOf(thandle_t handle)
{
    return *static_cast<DiskFile*>(static_cast<void*>(handle));
}

tmsize_t readProc(thandle_t handle, void* data, tmsize_t size)
{
    return static_cast<tmsize_t>(fileOf(handle).read(data, static_cast<std::size_t>(size)));
}

tmsize_t writeProc(thandle_t handle, void* data, tmsize_t size)
{
    return fileOf(handle).write(data, static_cast<std::size_t>(size)) ? size : -1;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence)
{
    DiskFile& file = fileOf(handle);
    std::uint64_t target = offset;
    if (whence == SEEK_CUR) target = file.position() + offset;
    if (whence == SEEK_END) target = file.size() + offset;
    return file.seek(target) ? target : static_cast<toff_t>(-1);
}

int closeProc(thandle_t)
{
    return 0;
}

toff_t sizeProc(thandle_t handle)
{
    return fileOf(handle).size();
}

int noMap(thandle_t, void**, toff_t*)
{
    return 0;
}

void noUnmap(thandle_t, void*, toff_t) {}

// libtiff's messages go to the writer, never to standard error.
int keepMessage(TIFF*, void* user, const char*, const char* format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    *static_cast<std::string*>(user) = text;
    return 1;
}

int ignoreMessage(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

std::string dateTimeOf(const ClockVector& clock)
{
    char text[24];
    std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", int(clock[0]), int(clock[1]),
                  int(clock[2]), int(clock[3]), int(clock[4]), int(clock[5]));
    return text;
}

// The page's own line of metadata, parseable as key=value pairs.
std::string descriptionOf(const FrameView& frame, const ClockVector& when)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "FrameNumber=%lld RelativeFrame=%lld TriggerIndex=%lld Time=%.6f "
                  "AbsTime=%04d-%02d-%02dT%02d:%02d:%09.6f",
                  static_cast<long long>(frame.meta.frameNumber),
                  static_cast<long long>(frame.meta.relativeFrame),
                  static_cast<long long>(frame.meta.triggerIndex), frame.meta.time,
                  int(when[0]), int(when[1]), int(when[2]), int(when[3]), int(when[4]), when[5]);
    return text;
}

class TiffStackWriter final : public FrameFileWriter {
public:
    TiffStackWriter(std::unique_ptr<DiskFile> file, bool bigTiff) : file_(std::move(file))
    {
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        TIFFOpenOptionsSetErrorHandlerExtR(options, keepMessage, &message_);
        TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreMessage, nullptr);
        tiff_ = TIFFClientOpenExt("log", bigTiff ? "w8" : "w", static_cast<thandle_t>(file_.get()),
                                  readProc, writeProc, seekProc, closeProc, sizeProc, noMap, noUnmap,
                                  options);
        TIFFOpenOptionsFree(options);
        if (!tiff_) throw HostError("Cannot start the TIFF stack: " + why());
    }

    ~TiffStackWriter() override
    {
        if (tiff_) TIFFClose(tiff_);
    }

    void write(const FrameView& frame) override
    {
        const bool colour = frame.frameType == imaqkit::kRgb24Packed || frame.frameType == imaqkit::kRgb32Packed;
        const int bits = frame.frameType == imaqkit::kMono16 ? 16 : 8;

        const ClockVector clock = frame.meta.absTime();
        const std::string when = dateTimeOf(clock);
        const std::string description = descriptionOf(frame, clock);
        const bool tagged =
            TIFFSetField(tiff_, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE) &&
            TIFFSetField(tiff_, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(frame.width)) &&
            TIFFSetField(tiff_, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(frame.height)) &&
            TIFFSetField(tiff_, TIFFTAG_BITSPERSAMPLE, bits) &&
            TIFFSetField(tiff_, TIFFTAG_SAMPLESPERPIXEL, colour ? 3 : 1) &&
            TIFFSetField(tiff_, TIFFTAG_PHOTOMETRIC, colour ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK) &&
            TIFFSetField(tiff_, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
            TIFFSetField(tiff_, TIFFTAG_COMPRESSION, COMPRESSION_NONE) &&
            TIFFSetField(tiff_, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(frame.height)) &&
            TIFFSetField(tiff_, TIFFTAG_DATETIME, when.c_str()) &&
            TIFFSetField(tiff_, TIFFTAG_IMAGEDESCRIPTION, description.c_str()) &&
            TIFFSetField(tiff_, TIFFTAG_SOFTWARE, "ORXImaq");
        if (!tagged) throw HostError("Cannot describe TIFF page " + std::to_string(frame.meta.frameNumber) + ": " + why());
        if (!writeStrip(frame, colour) || !TIFFWriteDirectory(tiff_))
            throw HostError("Cannot write TIFF page " + std::to_string(frame.meta.frameNumber) + ": " + why());
    }

    void finish() override
    {
        TIFF* tiff = tiff_;
        tiff_ = nullptr;
        TIFFClose(tiff); // every page's directory is already written
        if (!file_->close()) throw HostError("Cannot complete the TIFF stack: " + file_->error() + ".");
    }

private:
    // Uncompressed, the strip goes to the file as it is rather than through
    // libtiff's small encoding buffer: a grey frame in one write, a colour
    // one in blocks turned to red, green, blue while they are in the cache
    // (each raw write to the same strip appends to it).
    bool writeStrip(const FrameView& frame, bool colour)
    {
        const std::size_t pixels = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
        if (!colour) {
            const auto bytes = static_cast<tmsize_t>(pixels * static_cast<std::size_t>(frame.bytesPerPixel));
            return TIFFWriteRawStrip(tiff_, 0, const_cast<std::uint8_t*>(frame.pixels), bytes) == bytes;
        }
        for (std::size_t first = 0; first < pixels; first += kBlockPixels) {
            const std::size_t count = std::min(kBlockPixels, pixels - first);
            toRgbOrder(frame, first, count, scratch_);
            const auto bytes = static_cast<tmsize_t>(scratch_.size());
            if (TIFFWriteRawStrip(tiff_, 0, scratch_.data(), bytes) != bytes) return false;
        }
        return true;
    }

    static constexpr std::size_t kBlockPixels = 64 * 1024;

    std::string why() const
    {
        const std::string cause = file_->error();
        return cause.empty() ? (message_.empty() ? "libtiff refused" : message_) : cause;
    }

    std::unique_ptr<DiskFile> file_;
    TIFF* tiff_ = nullptr;
    std::string message_;
    std::vector<std::uint8_t> scratch_;
};

} // namespace

std::unique_ptr<FrameFileWriter> makeTiffStackWriter(std::unique_ptr<DiskFile> file, bool bigTiff)
{
    return std::make_unique<TiffStackWriter>(std::move(file), bigTiff);
}

#else

std::unique_ptr<FrameFileWriter> makeTiffStackWriter(std::unique_ptr<DiskFile>, bool)
{
    throw HostError("This build has no TIFF support; log as avi instead.");
}

#endif

} // namespace imaqhost
