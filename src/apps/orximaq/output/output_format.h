// The file formats frames are written in: PNG (the default), TIFF or the raw
// bytes the host delivered with a JSON sidecar that describes them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orximaq {

enum class OutputFormat { Png, Tiff, Raw };

// "png", "tiff" or "raw"; none for any other text.
std::optional<OutputFormat> parseOutputFormat(std::string_view text);
const char* outputFormatName(OutputFormat format);
// The file name extension of a frame, with its dot: ".png", ".tif", ".raw".
const char* frameExtension(OutputFormat format);
// Whether this build can write the format (TIFF needs libtiff).
bool outputFormatAvailable(OutputFormat format);

} // namespace orximaq
