// Lists as the library hands them out, answering the list fault a device
// carries (from its rig or a test's fault switch): what every list call of
// the library reports, whichever backend the device comes from.
#pragma once

#include "platform/vexlib.h"
#include "vexcam/rig.h"

#include <utility>
#include <vector>

namespace vexcam {

// What the list of kind `kind` answers under `faults`.
inline ListFault listFault(const DeviceFaults& faults, ListKind kind)
{
    const auto found = faults.lists.find(kind);
    return found == faults.lists.end() ? ListFault::None : found->second;
}

// Missing: an empty handle; Empty: a list without entries.
template <class T>
Vexlib::ListHandle<T> makeList(std::vector<T> entries, ListFault fault)
{
    if (fault == ListFault::Missing) return {};
    if (fault == ListFault::Empty) entries.clear();
    return Vexlib::ListHandle<T>::make(std::move(entries));
}

} // namespace vexcam
