#include "property.h"

#include "imaqhost/host_error.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace imaqhost {

namespace {

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string formatDouble(double value)
{
    char text[64];
    for (int precision = 6; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    return text;
}

bool equalIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string enumChoices(const std::vector<EnumValue>& values)
{
    std::string choices;
    for (const EnumValue& value : values) {
        if (!choices.empty()) choices += ", ";
        choices += quoted(value.text);
    }
    return choices;
}

bool isIntegral(PropertyType type)
{
    return type == PropertyType::Integer || type == PropertyType::IntegerRange;
}

} // namespace

const char* toString(PropertyType type)
{
    switch (type) {
    case PropertyType::Integer: return "integer";
    case PropertyType::IntegerRange: return "integer range";
    case PropertyType::DoubleRange: return "double range";
    case PropertyType::Enumeration: return "enumeration";
    }
    return "unknown";
}

const char* toString(ReadOnlyMode mode)
{
    switch (mode) {
    case ReadOnlyMode::Never: return "never";
    case ReadOnlyMode::Always: return "always";
    case ReadOnlyMode::WhileRunning: return "whileRunning";
    }
    return "unknown";
}

std::string formatValue(const PropertyValue& value)
{
    if (const auto* integer = std::get_if<std::int32_t>(&value)) return std::to_string(*integer);
    if (const auto* real = std::get_if<double>(&value)) return formatDouble(*real);
    return std::get<std::string>(value);
}

PropertyValue defaultValueOf(const PropertyDescription& description)
{
    return Property(description).toUser(description.defaultValue);
}

Property::Property(PropertyDescription description)
    : description_(std::move(description)), stored_(description_.defaultValue)
{
}

void Property::checkWritable(bool acquisitionActive) const
{
    if (description_.readOnly == ReadOnlyMode::Always)
        throw HostError("Property " + quoted(name()) + " is read-only.");
    if (description_.readOnly == ReadOnlyMode::WhileRunning && acquisitionActive)
        throw HostError("Property " + quoted(name()) + " is read-only while an acquisition runs.");
}

void Property::failValue(const std::string& what) const
{
    throw HostError("Property " + quoted(name()) + " expects " + what + ".");
}

RawValue Property::checkedRaw(const PropertyValue& value) const
{
    if (description_.type == PropertyType::Enumeration) {
        if (const auto* text = std::get_if<std::string>(&value)) return checkedEnumText(*text);
        failValue("one of " + enumChoices(description_.enumValues));
    }
    if (std::holds_alternative<std::string>(value))
        failValue(isIntegral(description_.type) ? "an integer" : "a number");
    const double number = std::holds_alternative<std::int32_t>(value)
                              ? static_cast<double>(std::get<std::int32_t>(value))
                              : std::get<double>(value);
    return isIntegral(description_.type) ? checkedInteger(number) : checkedDouble(number);
}

RawValue Property::checkedInteger(double value) const
{
    const bool fits = std::isfinite(value) && value == std::trunc(value) &&
                      value >= std::numeric_limits<std::int32_t>::min() &&
                      value <= std::numeric_limits<std::int32_t>::max();
    if (!fits) failValue("an integer, not " + formatDouble(value));
    const auto integer = static_cast<std::int32_t>(value);
    if (description_.type == PropertyType::IntegerRange &&
        (integer < description_.intLower || integer > description_.intUpper)) {
        throw HostError("Value " + std::to_string(integer) + " is out of range [" +
                        std::to_string(description_.intLower) + ", " +
                        std::to_string(description_.intUpper) + "] for property " +
                        quoted(name()) + ".");
    }
    return integer;
}

RawValue Property::checkedDouble(double value) const
{
    if (std::isnan(value) || value < description_.doubleLower || value > description_.doubleUpper) {
        throw HostError("Value " + formatDouble(value) + " is out of range [" +
                        formatDouble(description_.doubleLower) + ", " +
                        formatDouble(description_.doubleUpper) + "] for property " +
                        quoted(name()) + ".");
    }
    return value;
}

RawValue Property::checkedEnumText(const std::string& text) const
{
    const auto& values = description_.enumValues;
    auto exact = std::find_if(values.begin(), values.end(),
                              [&](const EnumValue& value) { return value.text == text; });
    if (exact != values.end()) return exact->id;
    // Like the real host, a value may be named without regard to letter case
    // as long as that names one text only.
    const EnumValue* match = nullptr;
    std::size_t matches = 0;
    for (const EnumValue& value : values) {
        if (equalIgnoringCase(value.text, text) && (!match || match->text != value.text)) {
            match = &value;
            ++matches;
        }
    }
    if (matches == 1) return match->id;
    throw HostError(quoted(text) + " is not a value of property " + quoted(name()) +
                    "; choose one of " + enumChoices(values) + ".");
}

RawValue Property::parse(const std::string& text) const
{
    if (description_.type == PropertyType::Enumeration) return checkedEnumText(text);
    if (isIntegral(description_.type)) {
        std::int64_t integer = 0;
        const char* end = text.data() + text.size();
        const auto [stop, error] = std::from_chars(text.data(), end, integer);
        if (text.empty() || error != std::errc() || stop != end)
            failValue("an integer, not " + quoted(text));
        return checkedInteger(static_cast<double>(integer));
    }
    char* stop = nullptr;
    const double number = text.empty() ? 0.0 : std::strtod(text.c_str(), &stop);
    if (text.empty() || stop != text.c_str() + text.size() || std::isspace(static_cast<unsigned char>(text[0])))
        failValue("a number, not " + quoted(text));
    return checkedDouble(number);
}

PropertyValue Property::toUser(RawValue raw) const
{
    if (description_.type != PropertyType::Enumeration) {
        if (const auto* real = std::get_if<double>(&raw)) return *real;
        return std::get<std::int32_t>(raw);
    }
    const std::int32_t id = std::holds_alternative<std::int32_t>(raw)
                                ? std::get<std::int32_t>(raw)
                                : static_cast<std::int32_t>(std::get<double>(raw));
    for (const EnumValue& value : description_.enumValues)
        if (value.id == id) return value.text;
    throw HostError("The adaptor reported value " + std::to_string(id) + " for property " +
                    quoted(name()) + ", which is none of its values.");
}

ValueBuffer Property::bufferOf(RawValue raw) const noexcept
{
    ValueBuffer buffer;
    if (const auto* real = std::get_if<double>(&raw))
        std::memcpy(buffer.bytes, real, sizeof(double));
    else
        std::memcpy(buffer.bytes, &std::get<std::int32_t>(raw), sizeof(std::int32_t));
    return buffer;
}

RawValue Property::fromBuffer(const ValueBuffer& buffer) const noexcept
{
    if (description_.type == PropertyType::DoubleRange) {
        double real = 0.0;
        std::memcpy(&real, buffer.bytes, sizeof real);
        return real;
    }
    std::int32_t integer = 0;
    std::memcpy(&integer, buffer.bytes, sizeof integer);
    return integer;
}

} // namespace imaqhost
