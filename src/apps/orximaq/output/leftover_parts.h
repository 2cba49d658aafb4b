// Unfinished files that a run killed outright (SIGKILL, power loss) left in
// its output folder: the hidden ".NAME.PID-RANDOM.part" files it was writing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace orximaq {

// Whether `name` is one of the hidden partial names this program writes.
bool isLeftoverPartName(std::string_view name);

// Removes every such file from `folder`, answering how many. Call only while
// holding the folder's lock: then no running orximaq is writing any of them.
std::int64_t removeLeftoverParts(const std::filesystem::path& folder) noexcept;

} // namespace orximaq
