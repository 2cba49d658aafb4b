// The runtime's resource counters in one list, so that a front-end or a test
// can prove that it returned everything it took: the Win32 seam's task memory
// and BSTRs, the host runtime's imaqmalloc blocks and frames, and the camera
// library's COM objects, grabbers, delivery threads and buffers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orx::apps {

struct ResourceCount {
    const char* name; // "host frames": for sentences
    const char* key;  // "HostFrames": for field names
    std::int64_t value;
};

// Every counter, always in the same order.
std::vector<ResourceCount> resourceCounts();

// "2 host frames, -1 COM objects" for every counter that differs; empty when none does.
std::string leakReport(const std::vector<ResourceCount>& before, const std::vector<ResourceCount>& after);

} // namespace orx::apps
