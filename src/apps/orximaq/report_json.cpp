#include "report_json.h"

#include <ostream>

namespace orximaq {

void addNotices(Json& document, const Notices& notices)
{
    Json warnings = Json::array();
    for (const auto& warning : notices.warnings)
        warnings.push_back({{"identifier", warning.identifier}, {"message", warning.message}});
    Json boxes = Json::array();
    for (const auto& box : notices.boxes)
        boxes.push_back({{"caption", box.caption}, {"text", box.text}});
    document["warnings"] = std::move(warnings);
    document["messages"] = std::move(boxes);
}

Json valueJson(const imaqhost::PropertyValue& value)
{
    return std::visit([](const auto& v) { return Json(v); }, value);
}

Json regionJson(const imaqhost::Region& region)
{
    return {{"x", region.x}, {"y", region.y}, {"width", region.width}, {"height", region.height}};
}

Json deviceJson(const imaqhost::DeviceRecord& device)
{
    return {{"id", device.id}, {"name", device.name}};
}

Json formatJson(const imaqhost::FormatRecord& format)
{
    return {{"id", format.id}, {"name", format.name}};
}

namespace {
bool documentPrinted = false;
}

bool jsonDocumentPrinted()
{
    return documentPrinted;
}

void printJson(std::ostream& out, const Json& document)
{
    documentPrinted = true;
    // Texts from a camera need not be valid UTF-8; replace what is not.
    out << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

} // namespace orximaq
