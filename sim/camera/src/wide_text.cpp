#include "wide_text.h"

#include "com_text.h"

#include "platform/task_mem.h"

#include <algorithm>

namespace vexsim {

WCHAR* wideTaskMemCopy(std::string_view text)
{
    const com::WideString wide = com::utf8ToUtf16(text);
    auto block = orx::TaskMem<WCHAR>::allocate(wide.size() + 1);
    std::copy(wide.begin(), wide.end(), block.get());
    block.get()[wide.size()] = u'\0';
    return block.detach();
}

} // namespace vexsim
