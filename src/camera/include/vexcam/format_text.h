// A format's text, as the library names its formats and a rig names them:
// "<colorformat> (<width>x<height>)", e.g. "Y800 (640x480)". The adaptor's
// format names end the same way ("NTSC_M:RGB24 (320x240)"), so front-ends
// read a format's size with the same parse.
#pragma once

#include "platform/vexlib.h"
#include "vexcam/rig.h"

#include <optional>
#include <string>
#include <string_view>

namespace vexcam {

VEXLIB_API std::string formatText(std::string_view colorformat, Size size);

// The text taken apart: everything before the last " (" is the colour
// format, and the parentheses hold two positive decimal numbers that fit in
// 32 bits, joined by one 'x', at the very end. None for any other text
// (no parentheses, signs, spaces, zero or too large a size, trailing text).
VEXLIB_API std::optional<FormatSpec> parseFormatText(std::string_view text);

} // namespace vexcam
