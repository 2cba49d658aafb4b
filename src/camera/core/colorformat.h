// Colour formats of the simulated camera: names, library enumeration values
// and media subtypes.
#pragma once

#include "platform/vexlib.h"

#include <optional>
#include <string>
#include <string_view>

namespace vexcam {

// The media subtype made from a four-character code ("Y800", "BY8 ", ...).
GUID fourccSubtype(std::string_view fourcc);

// The usual subtype of a named colour format; none for an unknown name.
std::optional<GUID> subtypeOfColorformat(std::string_view colorformat);

// The library's enumeration value of a named colour format.
Vexlib::tColorformatEnum colorformatEnum(std::string_view colorformat);

} // namespace vexcam
