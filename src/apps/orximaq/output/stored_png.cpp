#include "output/stored_png.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <string_view>

namespace orximaq {
namespace {

constexpr std::size_t kMaxStoredBlock = 65535;

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data)
{
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void putBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putChunk(std::vector<std::uint8_t>& out, std::string_view type, const std::vector<std::uint8_t>& data)
{
    putBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian32(out, crc32(out.data() + typeStart, out.size() - typeStart));
}

// Each row is preceded by filter type 0; 16-bit samples go most significant byte first.
std::vector<std::uint8_t> scanlines(const Image& image)
{
    const std::size_t rowBytes = image.rowBytes();
    const bool swap16 = image.format == PixelFormat::Grey16 && std::endian::native == std::endian::little;
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * static_cast<std::size_t>(image.height));
    for (std::int32_t row = 0; row < image.height; ++row) {
        raw.push_back(0);
        const auto* pixels = image.pixels.data() + static_cast<std::size_t>(row) * rowBytes;
        if (!swap16) {
            raw.insert(raw.end(), pixels, pixels + rowBytes);
            continue;
        }
        for (std::size_t i = 0; i + 1 < rowBytes; i += 2) {
            raw.push_back(pixels[i + 1]);
            raw.push_back(pixels[i]);
        }
    }
    return raw;
}

// A zlib stream of stored deflate blocks.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> out{0x78, 0x01};
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(kMaxStoredBlock, raw.size() - offset);
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length & 0xFF));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length & 0xFF));
        out.push_back(static_cast<std::uint8_t>((~length >> 8) & 0xFF));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                   raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < raw.size());
    putBigEndian32(out, adler32(raw));
    return out;
}

} // namespace

std::vector<std::uint8_t> encodeStoredPng(const Image& image)
{
    std::vector<std::uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    putBigEndian32(header, static_cast<std::uint32_t>(image.width));
    putBigEndian32(header, static_cast<std::uint32_t>(image.height));
    header.push_back(static_cast<std::uint8_t>(bitDepth(image.format)));
    header.push_back(image.format == PixelFormat::Rgb24 ? 2 : 0); // colour type: RGB or grey
    header.insert(header.end(), {0, 0, 0});                      // deflate, no filter set, no interlace
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", zlibStored(scanlines(image)));
    putChunk(file, "IEND", {});
    return file;
}

bool writeStoredPng(std::FILE* file, const Image& image)
{
    const auto bytes = encodeStoredPng(image);
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

} // namespace orximaq
