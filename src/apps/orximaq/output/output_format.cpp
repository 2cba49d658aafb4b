#include "output/output_format.h"

namespace orximaq {

std::optional<OutputFormat> parseOutputFormat(std::string_view text)
{
    if (text == "png") return OutputFormat::Png;
    if (text == "tiff") return OutputFormat::Tiff;
    if (text == "raw") return OutputFormat::Raw;
    return std::nullopt;
}

const char* outputFormatName(OutputFormat format)
{
    switch (format) {
    case OutputFormat::Png: return "png";
    case OutputFormat::Tiff: return "tiff";
    case OutputFormat::Raw: return "raw";
    }
    return "png";
}

const char* frameExtension(OutputFormat format)
{
    switch (format) {
    case OutputFormat::Png: return ".png";
    case OutputFormat::Tiff: return ".tif";
    case OutputFormat::Raw: return ".raw";
    }
    return ".png";
}

bool outputFormatAvailable([[maybe_unused]] OutputFormat format)
{
#if defined(ORX_HAVE_LIBTIFF)
    return true;
#else
    return format != OutputFormat::Tiff;
#endif
}

} // namespace orximaq
