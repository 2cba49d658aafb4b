#include "output/raw_writer.h"

#include "cli_error.h"
#include "output/file_replacement.h"

#include "imaqhost/acquisition.h"
#include "platform/imaqkit.h"

#include <bit>
#include <cerrno>
#include <cstring>

namespace orximaq {

void writeRawFrame(const std::filesystem::path& path, const imaqhost::FrameView& frame)
{
    if (frame.pixels == nullptr && frame.bytes > 0)
        throw CliError("cannot write " + path.string() + ": the frame has no data");
    writeReplacing(path, [&](int fd) { writeAll(fd, path, frame.pixels, frame.bytes); });
}

std::optional<std::string> rawLayoutName(std::uint32_t frameType)
{
    switch (frameType) {
    case imaqkit::kMono8: return "mono8";
    case imaqkit::kMono16: return "mono16";
    case imaqkit::kRgb24Packed: return "bgr24";
    case imaqkit::kRgb32Packed: return "bgrx32";
    case imaqhost::kHostRgb48: return "bgr48";
    case imaqhost::kHostYCbCr24: return "ycbcr24";
    case imaqhost::kHostYCbCr48: return "ycbcr48";
    default: return std::nullopt;
    }
}

void RawSidecar::add(const std::filesystem::path& file, const imaqhost::FrameView& frame)
{
    if (frames_.empty()) {
        const auto layout = rawLayoutName(frame.frameType);
        description_ = {
            {"width", frame.width},
            {"height", frame.height},
            {"layout", layout ? nlohmann::ordered_json(*layout) : nlohmann::ordered_json(nullptr)},
            {"frameType", frame.frameType},
            {"bytesPerPixel", frame.bytesPerPixel},
            {"rowBytes", static_cast<std::int64_t>(frame.width) * frame.bytesPerPixel},
            {"rowOrder", "top-down"},
            // Samples wider than a byte are stored in the machine's order.
            {"byteOrder", std::endian::native == std::endian::little ? "little" : "big"},
        };
    }
    frames_.push_back({{"file", file.filename().string()},
                       {"index", frame.index},
                       {"time", frame.time},
                       {"bytes", frame.bytes}});
}

nlohmann::ordered_json RawSidecar::document() const
{
    nlohmann::ordered_json document = description_;
    document["frames"] = frames_;
    return document;
}

std::filesystem::path RawSidecar::write(const std::filesystem::path& folder) const
{
    const auto path = folder / kRawSidecarName;
    const std::string text = document().dump(2) + "\n";
    writeReplacing(path, [&](int fd) { writeAll(fd, path, text.data(), text.size()); });
    return path;
}

} // namespace orximaq
