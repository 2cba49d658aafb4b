// A compact binary encoding of rigs for the fuzzer: every byte string decodes
// to some rig, and the sizes it can name are small, so no run allocates more
// than a few hundred kilobytes per frame.
#pragma once

#include "vexsim/rig.h"

#include <cstddef>
#include <cstdint>

namespace orx::fuzz {

inline constexpr std::int32_t kMaxSide = 256;

vexsim::Rig decodeRig(const std::uint8_t* data, std::size_t size);

} // namespace orx::fuzz
