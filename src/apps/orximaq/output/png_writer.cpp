#include "output/png_writer.h"

#include "cli_error.h"
#include "output/file_replacement.h"

#if defined(ORX_HAVE_LIBPNG)
#include <png.h>
#else
#include "output/stored_png.h"
#endif

#include <bit>
#include <memory>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace orximaq {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct PngFailure {
    char message[256] = "";
};

#if defined(ORX_HAVE_LIBPNG)
[[noreturn]] void onPngError(png_structp png, png_const_charp message)
{
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s", message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

int pngColourType(PixelFormat format)
{
    return format == PixelFormat::Rgb24 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY;
}

// libpng reports errors by longjmp, so nothing in here may own a resource that
// a destructor would have to release: only plain pointers and values.
bool encode(std::FILE* file, const Image& image, int level, PngFailure& failure)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, onPngError, onPngWarning);
    if (png == nullptr) {
        std::snprintf(failure.message, sizeof failure.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(failure.message, sizeof failure.message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height),
                 bitDepth(image.format), pngColourType(image.format), PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, level);
    // At the fast levels the cheapest filter costs least and loses little.
    if (level <= 2)
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    if (image.format == PixelFormat::Grey16 && std::endian::native == std::endian::little)
        png_set_swap(png);
    const std::size_t rowBytes = image.rowBytes();
    for (std::int32_t row = 0; row < image.height; ++row)
        png_write_row(png, image.pixels.data() + static_cast<std::size_t>(row) * rowBytes);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

#else
bool encode(std::FILE* file, const Image& image, int, PngFailure& failure)
{
    if (writeStoredPng(file, image)) return true;
    std::snprintf(failure.message, sizeof failure.message, "%s", std::strerror(errno));
    return false;
}
#endif

void checkImage(const std::filesystem::path& path, const Image& image)
{
    if (!hasWholePixels(image))
        throw CliError("cannot write " + path.string() + ": the image has no pixels or the wrong number of them");
}

} // namespace

void writePng(const std::filesystem::path& path, const Image& image, int level)
{
    checkImage(path, image);
    writeReplacing(path, [&](int fd) {
        // The stream gets its own descriptor: closing it leaves the caller's open.
        const int own = ::dup(fd);
        FilePtr file(own >= 0 ? ::fdopen(own, "wb") : nullptr);
        if (own >= 0 && !file)
            ::close(own);
        if (!file)
            throw CliError("cannot write " + path.string() + ": " + std::strerror(errno));
        PngFailure failure;
        const bool encoded = encode(file.get(), image, level, failure);
        int error = 0;
        if (encoded && (std::fflush(file.get()) != 0 || std::ferror(file.get())))
            error = errno != 0 ? errno : EIO;
        if (std::fclose(file.release()) != 0 && error == 0)
            error = errno != 0 ? errno : EIO;
        if (!encoded || error != 0)
            throw CliError("cannot write " + path.string() + ": " + (!encoded ? failure.message : std::strerror(error)));
    });
}

} // namespace orximaq
