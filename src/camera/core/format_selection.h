// Which formats a norm offers: fixed formats, format descriptions and the
// sizes they accept, and the formats named by text.
#pragma once

#include "platform/vexlib.h"
#include "vexcam/format_text.h"
#include "vexcam/rig.h"

#include <optional>
#include <string>
#include <string_view>

namespace vexcam {

GUID colorformatSubtype(std::string_view colorformat);
GUID descriptionSubtype(const DescriptionSpec& description);

Vexlib::VideoFormatItem makeFormat(std::string_view colorformat, const GUID& subtype, Size size);
Vexlib::VideoFormatItem makeFormat(const FormatSpec& format);

// What isValidSize answers.
bool acceptsSize(const DescriptionSpec& description, Size size);
// What the library lets a description produce: the sizes it accepts and its
// own minimum and maximum.
bool offersSize(const DescriptionSpec& description, Size size);

// A format that the norm offers, and whether a region-of-interest
// description produces it.
struct FormatChoice {
    Vexlib::VideoFormatItem format;
    bool roi = false;
};

// A fixed format of the norm with this text, or a format that a description
// of the norm offers at the size the text names.
std::optional<FormatChoice> chooseFormat(const NormSpec& norm, std::string_view text);
// The item itself when the norm offers it.
std::optional<FormatChoice> chooseFormat(const NormSpec& norm, const Vexlib::VideoFormatItem& item);
// What a norm starts with: its first fixed format, else the first
// description at its maximum size; none when it has neither.
std::optional<FormatChoice> defaultFormat(const NormSpec& norm);

// The largest width and height among the sizes the norms offer.
Size largestSize(const std::vector<NormSpec>& norms);

} // namespace vexcam
