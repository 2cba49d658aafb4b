// Pieces shared by the commands' JSON documents.
#pragma once

#include "notices.h"

#include "imaqhost/discovery.h"
#include "imaqhost/property_description.h"
#include "imaqhost/video_input.h"

#include <nlohmann/json.hpp>

#include <iosfwd>

namespace orximaq {

using Json = nlohmann::ordered_json;

// Adds "warnings" and "messages" to the document.
void addNotices(Json& document, const Notices& notices);

Json valueJson(const imaqhost::PropertyValue& value);
Json regionJson(const imaqhost::Region& region);
Json deviceJson(const imaqhost::DeviceRecord& device);
Json formatJson(const imaqhost::FormatRecord& format);

// Pretty-printed, followed by a line end.
void printJson(std::ostream& out, const Json& document);
// Whether this run has printed its document already (an error after it gets none of its own).
bool jsonDocumentPrinted();

} // namespace orximaq
