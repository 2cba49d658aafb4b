// A compact binary encoding of rigs for the fuzzer: every byte string decodes
// to some rig, and the sizes it can name are small, so no run allocates more
// than a few hundred kilobytes per frame.
#pragma once

#include "rig_alphabet.h"

#include "vexcam/rig.h"

#include <cstddef>
#include <cstdint>

namespace orx::fuzz {

vexcam::Rig decodeRig(const std::uint8_t* data, std::size_t size);

} // namespace orx::fuzz
