#include "output/tiff_writer.h"

#include "cli_error.h"
#include "output/file_replacement.h"

#if defined(ORX_HAVE_LIBTIFF)
#include <tiffio.h>
#endif

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <memory>

#include <unistd.h>

#include <cstdio>
#include <vector>

namespace orximaq {
namespace {

#if defined(ORX_HAVE_LIBTIFF)
struct TiffFailure {
    char message[256] = "";
};

// libtiff reports through handlers; the first error is kept for the message.
int onTiffError(TIFF*, void* data, const char*, const char* format, va_list arguments)
{
    auto* failure = static_cast<TiffFailure*>(data);
    if (failure->message[0] == '\0')
        std::vsnprintf(failure->message, sizeof failure->message, format, arguments);
    return 1;
}

int onTiffWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

// libtiff closes the descriptor it is given: it gets a copy of `fd`.
TIFF* openTiff(int fd, const std::filesystem::path& path, TiffFailure& failure)
{
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), onTiffError, &failure);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), onTiffWarning, nullptr);
    const int own = ::dup(fd);
    if (own < 0) {
        std::snprintf(failure.message, sizeof failure.message, "%s", std::strerror(errno));
        return nullptr;
    }
    TIFF* tiff = TIFFFdOpenExt(own, path.string().c_str(), "w", options.get());
    if (tiff == nullptr)
        ::close(own);
    return tiff;
}

bool describe(TIFF* tiff, const Image& image)
{
    const bool colour = image.format == PixelFormat::Rgb24;
    return TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(image.width)) == 1 &&
           TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(image.height)) == 1 &&
           TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<std::uint16_t>(bitDepth(image.format))) == 1 &&
           TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(colour ? 3 : 1)) == 1 &&
           TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT) == 1 &&
           TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, colour ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK) == 1 &&
           TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == 1 &&
           TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) == 1 &&
           // Uncompressed: camera frames compress poorly and writing must keep up.
           TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE) == 1 &&
           TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0)) == 1 &&
           TIFFSetField(tiff, TIFFTAG_SOFTWARE, "orximaq") == 1;
}

// 16-bit samples are written in the machine's order; the header says which.
bool encode(TIFF* tiff, const Image& image)
{
    if (!describe(tiff, image)) return false;
    const std::size_t rowBytes = image.rowBytes();
    std::vector<std::uint8_t> row(rowBytes); // libtiff may change the row it is given
    for (std::int32_t y = 0; y < image.height; ++y) {
        const auto* source = image.pixels.data() + static_cast<std::size_t>(y) * rowBytes;
        row.assign(source, source + rowBytes);
        if (TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0) != 1) return false;
    }
    return TIFFFlush(tiff) == 1;
}
#endif

} // namespace

void writeTiff(const std::filesystem::path& path, const Image& image)
{
    if (!hasWholePixels(image))
        throw CliError("cannot write " + path.string() + ": the image has no pixels or the wrong number of them");
#if defined(ORX_HAVE_LIBTIFF)
    writeReplacing(path, [&](int fd) {
        TiffFailure failure;
        std::unique_ptr<TIFF, TiffCloser> tiff(openTiff(fd, path, failure));
        const bool written = tiff && encode(tiff.get(), image);
        tiff.reset();
        if (!written)
            throw CliError("cannot write " + path.string() + ": " +
                           (failure.message[0] != '\0' ? failure.message : "libtiff failed"));
    });
#else
    throw CliError("cannot write " + path.string() + ": this build has no TIFF support (libtiff)");
#endif
}

} // namespace orximaq
