// The inverse of decodeRig, as far as the encoding reaches: the bytes of the
// nearest rig the fuzzer can name. Names become entries of the name table,
// sizes are capped at kMaxSide and lists at the encoding's counts. Used to
// seed the fuzzer's corpus with the default rig and the test rigs.
#pragma once

#include "vexcam/rig.h"

#include <cstdint>
#include <vector>

namespace orx::fuzz {

std::vector<std::uint8_t> encodeRig(const vexcam::Rig& rig);

} // namespace orx::fuzz
