// The registry text form of an identifier, as StringFromCLSID writes it:
// braces around upper-case hexadecimal digits in groups of 8-4-4-4-12.
#pragma once

#include "common/bstr.h"
#include "platform/win32.h"

namespace orx {

// Empty when StringFromCLSID or the copy into a BSTR fails.
Bstr registryText(const GUID& id);

} // namespace orx
