// Identifiers in registry text form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include "com_text.h"

#include <optional>

namespace vexcam::com {

inline constexpr std::size_t kRegistryGuidLength = 38;

// Exactly 38 characters: braces, hexadecimal digits of either case in groups
// of 8, 4, 4, 4 and 12, dashes between them. Anything else gives nothing.
std::optional<GUID> parseRegistryGuid(WideView text);

// "{item}:{element}" or "{item}:{element}:{interface}".
struct InterfacePath {
    GUID item{};
    GUID element{};
    std::optional<GUID> interfaceId;
};

std::optional<InterfacePath> parseInterfacePath(WideView text);

} // namespace vexcam::com
