// Lists as the library hands them out, with list faults applied.
#pragma once

#include "platform/vexlib.h"
#include "vexcam/rig.h"

#include <utility>
#include <vector>

namespace vexcam {

// Missing: an empty handle; Empty: a list without entries.
template <class T>
Vexlib::ListHandle<T> makeList(std::vector<T> entries, ListFault fault)
{
    if (fault == ListFault::Missing) return {};
    if (fault == ListFault::Empty) entries.clear();
    return Vexlib::ListHandle<T>::make(std::move(entries));
}

} // namespace vexcam
