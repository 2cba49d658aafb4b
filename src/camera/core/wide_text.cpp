#include "wide_text.h"

#include "com_text.h"

#include <algorithm>
#include <new>

namespace vexcam {

WCHAR* wideTaskMemCopy(std::string_view text)
{
    const com::WideString wide = com::utf8ToUtf16(text);
    // Nothing between the allocation and the return can throw: no holder needed.
    auto* block = static_cast<WCHAR*>(CoTaskMemAlloc((wide.size() + 1) * sizeof(WCHAR)));
    if (!block) throw std::bad_alloc();
    std::copy(wide.begin(), wide.end(), block);
    block[wide.size()] = u'\0';
    return block;
}

} // namespace vexcam
