#include "png_writer.h"

#include "interrupts.h"

#include "cli_error.h"

#if defined(ORX_HAVE_LIBPNG)
#include <png.h>
#else
#include "stored_png.h"
#endif

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

namespace orximaq {
namespace {

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
bool encode(std::FILE* file, const Image& image, PngFailure& failure)
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
    // Camera frames compress poorly; a fast level keeps writing ahead of the camera.
    png_set_compression_level(png, 3);
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
bool encode(std::FILE* file, const Image& image, PngFailure& failure)
{
    if (writeStoredPng(file, image)) return true;
    std::snprintf(failure.message, sizeof failure.message, "%s", std::strerror(errno));
    return false;
}
#endif

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::FILE* openForWriting(const std::filesystem::path& path)
{
#if defined(_WIN32)
    return _wfopen(path.c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

void checkImage(const std::filesystem::path& path, const Image& image)
{
    const bool sizeOk = image.width > 0 && image.height > 0 &&
                        image.pixels.size() == image.rowBytes() * static_cast<std::size_t>(image.height);
    if (!sizeOk)
        throw CliError("cannot write " + path.string() + ": the image has no pixels or the wrong number of them");
}

} // namespace

void writePng(const std::filesystem::path& path, const Image& image)
{
    checkImage(path, image);
    std::filesystem::path partial = path;
    partial += ".part";
    const PartialFileMark mark(partial);
    std::unique_ptr<std::FILE, FileCloser> file(openForWriting(partial));
    if (!file)
        throw CliError("cannot write " + path.string() + ": " + std::strerror(errno));

    PngFailure failure;
    const bool encoded = encode(file.get(), image, failure);
    int error = 0;
    if (encoded && (std::fflush(file.get()) != 0 || std::ferror(file.get())))
        error = errno != 0 ? errno : EIO;
    if (std::fclose(file.release()) != 0 && error == 0)
        error = errno != 0 ? errno : EIO;
    if (!encoded || error != 0) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        const std::string reason = !encoded ? failure.message : std::strerror(error);
        throw CliError("cannot write " + path.string() + ": " + reason);
    }
    std::error_code renameError;
    std::filesystem::rename(partial, path, renameError);
    if (renameError) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw CliError("cannot write " + path.string() + ": " + renameError.message());
    }
}

} // namespace orximaq
