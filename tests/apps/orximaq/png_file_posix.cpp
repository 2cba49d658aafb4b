#include "png_file.h"
#include "png_rows.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace orx::cli_test {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void onError(png_structp png, png_const_charp message)
{
    auto* problem = static_cast<std::string*>(png_get_error_ptr(png));
    problem->assign(message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// libpng unwinds by longjmp: the rows live in `rows`, owned by the caller.
bool decode(std::FILE* file, PngFile& image, std::vector<std::uint8_t>& rows)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &image.problem, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_read_struct(&png, &info, nullptr);
        image.problem = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    image.width = png_get_image_width(png, info);
    image.height = png_get_image_height(png, info);
    image.bitDepth = png_get_bit_depth(png, info);
    image.channels = png_get_channels(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    rows.resize(rowBytes * image.height);
    for (std::uint32_t y = 0; y < image.height; ++y)
        png_read_row(png, rows.data() + y * rowBytes, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

bool readPngRows(const std::filesystem::path& path, PngFile& image, std::vector<std::uint8_t>& rows)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        image.problem = "cannot open " + path.string();
        return false;
    }
    return decode(file.get(), image, rows);
}

} // namespace orx::cli_test
