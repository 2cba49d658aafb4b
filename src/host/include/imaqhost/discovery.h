// What an adaptor reported through getAvailHW: every device entry it created,
// whether it added it, and the format entries of each.
#pragma once

#include "imaqhost/export.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace imaqhost {

struct FormatRecord {
    std::int32_t id = 0;
    std::string name;
    bool added = false;
    bool isDefault = false;
};

struct IMAQHOST_API DeviceRecord {
    std::int32_t id = 0;
    std::string name;
    bool added = false;
    // The last value given to the device entry's file-support flag, if any.
    std::optional<bool> fileSupport;
    // Every format entry created, in creation order.
    std::vector<FormatRecord> formats;

    std::vector<FormatRecord> addedFormats() const;
};

// A video source an adaptor declared for a device.
struct VideoSource {
    std::string name;
    std::int32_t id = 0;
};

// A hardware-trigger configuration an adaptor declared.
struct TriggerConfiguration {
    std::string source;
    std::int32_t sourceId = 0;
    std::string condition;
    std::int32_t conditionId = 0;
};

} // namespace imaqhost
