// A device property as the commands report it: its description and its
// current value read through the adaptor.
#pragma once

#include "report_json.h"

#include "imaqsim/video_input.h"

#include <optional>
#include <string>

namespace orximaq {

// A property's type and read-only mode as the JSON documents name them.
const char* typeKey(imaqsim::PropertyType type);
const char* readOnlyKey(imaqsim::ReadOnlyMode mode);

// The current value, or the host's or camera's error text when the read fails.
struct PropertyReading {
    imaqsim::PropertyDescription description;
    std::optional<imaqsim::PropertyValue> value;
    std::string error;
};

PropertyReading readProperty(imaqsim::VideoInput& input, const std::string& name);
Json propertyJson(const PropertyReading& reading);
// The value as text, or the error in parentheses.
std::string valueText(const PropertyReading& reading);

} // namespace orximaq
