#include "property_reading.h"

#include "failure_text.h"

namespace orximaq {
namespace {

Json constraintJson(const imaqsim::PropertyDescription& description)
{
    switch (description.type) {
    case imaqsim::PropertyType::Integer: return nullptr;
    case imaqsim::PropertyType::IntegerRange: return {{"min", description.intLower}, {"max", description.intUpper}};
    case imaqsim::PropertyType::DoubleRange:
        return {{"min", description.doubleLower}, {"max", description.doubleUpper}};
    case imaqsim::PropertyType::Enumeration: {
        Json values = Json::array();
        for (const auto& value : description.enumValues)
            values.push_back({{"text", value.text}, {"id", value.id}});
        return {{"values", std::move(values)}};
    }
    }
    return nullptr;
}

} // namespace

const char* typeKey(imaqsim::PropertyType type)
{
    switch (type) {
    case imaqsim::PropertyType::Integer: return "integer";
    case imaqsim::PropertyType::IntegerRange: return "integerRange";
    case imaqsim::PropertyType::DoubleRange: return "doubleRange";
    case imaqsim::PropertyType::Enumeration: return "enumeration";
    }
    return "";
}

const char* readOnlyKey(imaqsim::ReadOnlyMode mode)
{
    switch (mode) {
    case imaqsim::ReadOnlyMode::Never: return "never";
    case imaqsim::ReadOnlyMode::Always: return "always";
    case imaqsim::ReadOnlyMode::WhileRunning: return "whileRunning";
    }
    return "";
}

PropertyReading readProperty(imaqsim::VideoInput& input, const std::string& name)
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
                  {"default", valueJson(imaqsim::defaultValueOf(description))},
                  {"value", reading.value ? valueJson(*reading.value) : Json(nullptr)}};
    if (!reading.value)
        property["error"] = reading.error;
    return property;
}

std::string valueText(const PropertyReading& reading)
{
    return reading.value ? imaqsim::formatValue(*reading.value) : "(" + reading.error + ")";
}

} // namespace orximaq
