#include "common/guid_text.h"

#include "common/task_mem.h"

namespace orx {

WideString registryText(const GUID& id)
{
    TaskMem<OLECHAR> text;
    if (FAILED(StringFromCLSID(id, text.put())) || !text) return {};
    return WideString(text.get());
}

} // namespace orx
