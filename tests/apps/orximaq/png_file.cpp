#include "png_file.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <numeric>

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
bool decode(std::FILE* file, PngFile& image, std::vector<png_byte>& rows)
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

std::uint16_t PngFile::sample(std::uint32_t x, std::uint32_t y, int channel) const
{
    return samples.at((static_cast<std::size_t>(y) * width + x) * static_cast<std::size_t>(channels) +
                      static_cast<std::size_t>(channel));
}

double PngFile::mean() const
{
    if (samples.empty())
        return 0.0;
    return std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
}

PngFile readPng(const std::filesystem::path& path)
{
    PngFile image;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        image.problem = "cannot open " + path.string();
        return image;
    }
    std::vector<png_byte> rows;
    if (!decode(file.get(), image, rows))
        return image;
    // PNG stores 16-bit samples big-endian.
    if (image.bitDepth == 16) {
        image.samples.resize(rows.size() / 2);
        for (std::size_t i = 0; i < image.samples.size(); ++i)
            image.samples[i] = static_cast<std::uint16_t>(rows[2 * i] << 8 | rows[2 * i + 1]);
    } else {
        image.samples.assign(rows.begin(), rows.end());
    }
    image.valid = true;
    return image;
}

} // namespace orx::cli_test
