// There is no libpng in the Windows build: this reads the files its program
// writes, whose image data is stored in uncompressed deflate blocks with
// filter type 0 on every row, and calls anything else a problem.
#include "png_rows.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace orx::cli_test {
namespace {

std::uint32_t bigEndian(const std::uint8_t* bytes)
{
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

bool fail(PngFile& image, const std::string& problem)
{
    image.problem = problem;
    return false;
}

// IHDR and the concatenated IDAT data.
bool readChunks(const std::vector<std::uint8_t>& file, PngFile& image, std::vector<std::uint8_t>& data)
{
    static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0)
        return fail(image, "not a PNG file");
    bool header = false;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = bigEndian(&file[at]);
        if (length > file.size() - at - 12)
            return fail(image, "chunk beyond the end of the file");
        const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const std::uint8_t* body = &file[at + 8];
        if (type == "IHDR" && length == 13) {
            image.width = bigEndian(body);
            image.height = bigEndian(body + 4);
            image.bitDepth = body[8];
            image.channels = body[9] == 0 ? 1 : body[9] == 2 ? 3 : 0;
            if (image.channels == 0 || body[12] != 0)
                return fail(image, "colour type or interlacing not read here");
            header = true;
        } else if (type == "IDAT") {
            data.insert(data.end(), body, body + length);
        } else if (type == "IEND") {
            return header || fail(image, "no IHDR chunk");
        }
        at += 12 + length;
    }
    return fail(image, "no IEND chunk");
}

// The zlib stream's stored blocks, joined.
bool inflateStored(const std::vector<std::uint8_t>& stream, PngFile& image, std::vector<std::uint8_t>& out)
{
    if (stream.size() < 6 || (stream[0] & 0x0f) != 8)
        return fail(image, "not a zlib stream");
    for (std::size_t at = 2;;) {
        if (at + 5 > stream.size())
            return fail(image, "deflate data cut short");
        const std::uint8_t head = stream[at];
        if ((head & 0x06) != 0)
            return fail(image, "compressed deflate block (only stored blocks are read here)");
        const std::size_t length = stream[at + 1] | stream[at + 2] << 8;
        if (at + 5 + length > stream.size())
            return fail(image, "stored block beyond the end of the data");
        out.insert(out.end(), stream.begin() + static_cast<std::ptrdiff_t>(at + 5),
                   stream.begin() + static_cast<std::ptrdiff_t>(at + 5 + length));
        at += 5 + length;
        if (head & 0x01)
            return true;
    }
}

} // namespace

bool readPngRows(const std::filesystem::path& path, PngFile& image, std::vector<std::uint8_t>& rows)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail(image, "cannot open " + path.string());
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::uint8_t> data;
    std::vector<std::uint8_t> filtered;
    if (!readChunks(file, image, data) || !inflateStored(data, image, filtered))
        return false;
    const std::size_t rowBytes = std::size_t{image.width} * static_cast<std::size_t>(image.channels) *
                                 static_cast<std::size_t>(image.bitDepth) / 8;
    if (filtered.size() != (rowBytes + 1) * image.height)
        return fail(image, "image data of the wrong size");
    for (std::uint32_t y = 0; y < image.height; ++y) {
        const auto row = filtered.begin() + static_cast<std::ptrdiff_t>(y * (rowBytes + 1));
        if (*row != 0)
            return fail(image, "row filter other than none");
        rows.insert(rows.end(), row + 1, row + 1 + static_cast<std::ptrdiff_t>(rowBytes));
    }
    return true;
}

} // namespace orx::cli_test
