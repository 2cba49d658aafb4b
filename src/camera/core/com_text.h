// Texts crossing the COM boundary: UTF-8 from the rig out as BSTRs, BSTRs in.
#pragma once

#include "platform/win32.h"

#include <string>
#include <string_view>

namespace vexcam::com {

using WideString = std::basic_string<OLECHAR>;
using WideView = std::basic_string_view<OLECHAR>;

// UTF-8 to UTF-16; a byte that does not start a valid sequence becomes U+FFFD.
WideString utf8ToUtf16(std::string_view text);

// Hands out `text` as a new BSTR of its full length, zero characters inside
// included. E_POINTER without a place to put it, E_OUTOFMEMORY (and null)
// when the allocation fails.
HRESULT putBstr(std::string_view text, BSTR* out);

// The characters of a BSTR by its stored length; empty for null.
WideView bstrView(BSTR text);

} // namespace vexcam::com
