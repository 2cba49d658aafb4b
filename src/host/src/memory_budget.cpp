#include "memory_budget.h"

#include "imaqhost/session.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace imaqhost {

std::size_t physicalMemory()
{
#if defined(_WIN32)
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return 0;
    return static_cast<std::size_t>(status.ullTotalPhys);
#else
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
#endif
}

std::size_t defaultMemoryLimit()
{
    const std::size_t physical = physicalMemory();
    return physical ? physical / kDefaultMemoryShare : kDefaultBufferBytes;
}

} // namespace imaqhost
