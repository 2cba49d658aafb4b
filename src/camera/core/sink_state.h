// What a frame-handler sink was created with.
#pragma once

#include "platform/win32.h"

#include <atomic>
#include <cstdint>

namespace Vexlib::detail {

struct SinkState {
    GUID acceptedSubtype{}; // all zero: the format's own layout
    std::int32_t bufferCount = 1;
    std::atomic<bool> snapMode{true};
};

} // namespace Vexlib::detail
