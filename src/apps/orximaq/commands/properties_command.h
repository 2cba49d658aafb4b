// `orximaq properties`: the device properties of one device and format, with
// their current values read through a live adaptor object.
#pragma once

#include "host_context.h"

#include <optional>
#include <string>
#include <vector>

namespace orximaq {

struct PropertiesOptions {
    std::string device;
    std::optional<std::string> format;
    bool json = false;
    std::vector<std::string> settings; // NAME=VALUE, applied before the listing
};

int runProperties(const GlobalOptions& global, NoticeLog& log, const PropertiesOptions& options);

} // namespace orximaq
