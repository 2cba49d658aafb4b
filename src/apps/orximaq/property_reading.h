// A device property as the commands report it: its description and its
// current value read through the adaptor.
#pragma once

#include "report_json.h"

#include "imaqhost/video_input.h"

#include <optional>
#include <string>

namespace orximaq {

// A property's type and read-only mode as the JSON documents name them.
const char* typeKey(imaqhost::PropertyType type);
const char* readOnlyKey(imaqhost::ReadOnlyMode mode);

// The current value, or the host's or camera's error text when the read fails.
struct PropertyReading {
    imaqhost::PropertyDescription description;
    std::optional<imaqhost::PropertyValue> value;
    std::string error;
};

PropertyReading readProperty(imaqhost::VideoInput& input, const std::string& name);
Json propertyJson(const PropertyReading& reading);
// The value as text, or the error in parentheses.
std::string valueText(const PropertyReading& reading);

} // namespace orximaq
