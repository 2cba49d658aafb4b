#include "common/guid_text.h"

#include "common/task_mem.h"

namespace orx {

Bstr registryText(const GUID& id)
{
    TaskMem<OLECHAR> text;
    if (FAILED(StringFromCLSID(id, text.put())) || !text) return {};
    return Bstr(text.get());
}

} // namespace orx
