// Wide texts that the library hands out in COM task memory.
#pragma once

#include "platform/win32.h"

#include <string_view>

namespace vexcam {

// A UTF-16 copy of `text` in task memory that the caller frees with
// CoTaskMemFree; throws std::bad_alloc when no memory is left.
WCHAR* wideTaskMemCopy(std::string_view text);

} // namespace vexcam
