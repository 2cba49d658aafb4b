// Reading a rig file's text, bounded: only a regular file of limited size is
// read, so that a device, a FIFO or a huge file named as a rig cannot hang the
// library or exhaust memory.
#pragma once

#include <cstddef>
#include <string>

namespace vexcam {

// The largest rig file read: far above any real rig (the default is a few KiB).
inline constexpr std::size_t kMaxRigFileBytes = 16u * 1024u * 1024u;

// The whole text of the file at `path` (symbolic links followed). RigError
// naming the file and what it is when it is not a regular file, is larger
// than `limit` bytes (also when it grows while read), or cannot be read.
std::string readRigFileText(const std::string& path, std::size_t limit = kMaxRigFileBytes);

} // namespace vexcam
