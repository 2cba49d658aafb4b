// Pieces shared by the commands' JSON documents.
#pragma once

#include "notices.h"

#include "imaqsim/discovery.h"
#include "imaqsim/property_description.h"
#include "imaqsim/video_input.h"

#include <nlohmann/json.hpp>

#include <iosfwd>

namespace orximaq {

using Json = nlohmann::ordered_json;

// Adds "warnings" and "messages" to the document.
void addNotices(Json& document, const Notices& notices);

Json valueJson(const imaqsim::PropertyValue& value);
Json regionJson(const imaqsim::Region& region);
Json deviceJson(const imaqsim::DeviceRecord& device);
Json formatJson(const imaqsim::FormatRecord& format);

// Pretty-printed, followed by a line end.
void printJson(std::ostream& out, const Json& document);

} // namespace orximaq
