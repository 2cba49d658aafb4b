// The resource counters of the seam and both stand-ins, so that a run can
// prove it returned everything it took (--check-leaks).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orximaq {

struct ResourceCount {
    const char* name;
    std::int64_t value;
};

std::vector<ResourceCount> resourceCounts();

// "2 host frames, 1 COM objects" for every counter that differs; empty when none does.
std::string leakReport(const std::vector<ResourceCount>& before, const std::vector<ResourceCount>& after);

} // namespace orximaq
