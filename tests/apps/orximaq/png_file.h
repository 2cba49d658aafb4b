// PNG files read back exactly as stored: bit depth, colour type
// and samples (16-bit samples in the machine's byte order).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace orx::cli_test {

struct PngFile {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 0;
    int channels = 0;      // 1 grey, 3 RGB
    bool valid = false;
    std::string problem;
    std::vector<std::uint16_t> samples; // row by row, channel by channel

    std::uint16_t sample(std::uint32_t x, std::uint32_t y, int channel = 0) const;
    double mean() const;
};

PngFile readPng(const std::filesystem::path& path);

} // namespace orx::cli_test
