#include "png_file.h"

#include "png_rows.h"

#include <numeric>

namespace orx::cli_test {

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
    std::vector<std::uint8_t> rows;
    if (!readPngRows(path, image, rows))
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
