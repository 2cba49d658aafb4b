// The camera library takes names as narrow texts in COM task memory.
#pragma once

#include "common/task_mem.h"
#include "platform/vexlib.h"

#include <string_view>

namespace orx {

// Calls `operation` with `name` copied into task memory, which is freed as
// soon as the operation returns; gives back the operation's result.
template <class Operation>
auto withCameraName(std::string_view name, Operation operation)
{
    const auto text = copyToTaskMem(name);
    return operation(Vexlib::dstringa(text.get()));
}

} // namespace orx
