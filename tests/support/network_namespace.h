// Whether this process runs in a network namespace with no interface but
// loopback (`unshare -n`), where no GenICam discovery can reach a network.
// getifaddrs asks the kernel, unlike /sys, which shows the namespace it was
// mounted in.
#pragma once

#include <ifaddrs.h>

#include <algorithm>
#include <string>
#include <vector>

namespace orx::test {

inline std::vector<std::string> networkInterfaces()
{
    std::vector<std::string> names;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return {"getifaddrs failed"};
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next)
        if (std::find(names.begin(), names.end(), entry->ifa_name) == names.end()) names.emplace_back(entry->ifa_name);
    freeifaddrs(list);
    return names;
}

inline bool onlyLoopback()
{
    const auto names = networkInterfaces();
    return names.empty() || names == std::vector<std::string>{"lo"};
}

} // namespace orx::test
