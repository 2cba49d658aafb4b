// UTF-16 text from the camera library to narrow UTF-8.
#pragma once

#include "platform/win32.h"

#include <string>

namespace orx {

// Converts a zero-terminated UTF-16 text with WideCharToMultiByte (CP_UTF8):
// first the length is asked, then the text converted. Null, empty text or a
// failed conversion give an empty string.
std::string toUtf8(const WCHAR* text);

} // namespace orx
