// The registry text form of an identifier, as StringFromCLSID writes it:
// braces around upper-case hexadecimal digits in groups of 8-4-4-4-12.
#pragma once

#include "platform/win32.h"

#include <string>

namespace orx {

using WideString = std::basic_string<WCHAR>;

// Empty when StringFromCLSID fails.
WideString registryText(const GUID& id);

} // namespace orx
