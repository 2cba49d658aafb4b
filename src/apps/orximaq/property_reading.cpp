#include "property_reading.h"

#include "failure_text.h"

namespace orximaq {
namespace {

Json constraintJson(const imaqhost::PropertyDescription& description)
{
    switch (description.type) {
    case imaqhost::PropertyType::Integer: return nullptr;
    case imaqhost::PropertyType::IntegerRange: return {{"min", description.intLower}, {"max", description.intUpper}};
    case imaqhost::PropertyType::DoubleRange:
        return {{"min", description.doubleLower}, {"max", description.doubleUpper}};
    case imaqhost::PropertyType::Enumeration: {
        Json values = Json::array();
        for (const auto& value : description.enumValues)
            values.push_back({{"text", value.text}, {"id", value.id}});
        return {{"values", std::move(values)}};
    }
    }
    return nullptr;
}

} // namespace

const char* typeKey(imaqhost::PropertyType type)
{
    switch (type) {
    case imaqhost::PropertyType::Integer: return "integer";
    case imaqhost::PropertyType::IntegerRange: return "integerRange";
    case imaqhost::PropertyType::DoubleRange: return "doubleRange";
    case imaqhost::PropertyType::Enumeration: return "enumeration";
    }
    return "";
}

const char* readOnlyKey(imaqhost::ReadOnlyMode mode)
{
    switch (mode) {
    case imaqhost::ReadOnlyMode::Never: return "never";
    case imaqhost::ReadOnlyMode::Always: return "always";
    case imaqhost::ReadOnlyMode::WhileRunning: return "whileRunning";
    }
    return "";
}

PropertyReading readProperty(imaqhost::VideoInput& input, const std::string& name)
{
    PropertyReading reading{input.describe(name), std::nullopt, {}};
    try {
        reading.value = input.get(name);
    } catch (...) {
        reading.error = currentFailureText();
    }
    return reading;
}

Json propertyJson(const PropertyReading& reading)
{
    const auto& description = reading.description;
    Json property{{"name", description.name},
                  {"type", typeKey(description.type)},
                  {"constraint", constraintJson(description)},
                  {"readOnly", readOnlyKey(description.readOnly)},
                  {"default", valueJson(imaqhost::defaultValueOf(description))},
                  {"value", reading.value ? valueJson(*reading.value) : Json(nullptr)}};
    if (!reading.value)
        property["error"] = reading.error;
    return property;
}

std::string valueText(const PropertyReading& reading)
{
    return reading.value ? imaqhost::formatValue(*reading.value) : "(" + reading.error + ")";
}

} // namespace orximaq
