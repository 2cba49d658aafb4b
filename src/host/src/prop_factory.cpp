#include "prop_factory.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace imaqhost {

namespace {

std::string quoted(const char* text)
{
    return std::string("\"") + text + "\"";
}

} // namespace

imaqkit::PropertyHandle PropFactory::refuse(const std::string& issue)
{
    issues_.push_back(issue);
    return nullptr;
}

imaqkit::PropertyHandle PropFactory::create(PropertyDescription description)
{
    created_.push_back(std::make_unique<Property>(std::move(description)));
    return created_.back().get();
}

imaqkit::PropertyHandle PropFactory::newIntProperty(const char* name, std::int32_t defaultValue,
                                                    std::int32_t flags)
{
    if (!name) return refuse("integer property without a name");
    PropertyDescription description;
    description.name = name;
    description.type = PropertyType::Integer;
    description.defaultValue = defaultValue;
    description.intFlags = flags;
    return create(std::move(description));
}

imaqkit::PropertyHandle PropFactory::newIntRangeProperty(const char* name, std::int32_t lower,
                                                         std::int32_t upper,
                                                         std::int32_t defaultValue,
                                                         std::int32_t flags)
{
    if (!name) return refuse("integer range property without a name");
    if (lower > upper)
        return refuse(quoted(name) + ": lower bound " + std::to_string(lower) +
                      " above upper bound " + std::to_string(upper));
    if (defaultValue < lower || defaultValue > upper)
        return refuse(quoted(name) + ": default " + std::to_string(defaultValue) +
                      " outside [" + std::to_string(lower) + ", " + std::to_string(upper) + "]");
    PropertyDescription description;
    description.name = name;
    description.type = PropertyType::IntegerRange;
    description.intLower = lower;
    description.intUpper = upper;
    description.defaultValue = defaultValue;
    description.intFlags = flags;
    return create(std::move(description));
}

imaqkit::PropertyHandle PropFactory::newDoubleRangeProperty(const char* name, double lower,
                                                            double upper, double defaultValue)
{
    if (!name) return refuse("double range property without a name");
    if (!(lower <= upper))
        return refuse(quoted(name) + ": no valid range [" + formatValue(lower) + ", " +
                      formatValue(upper) + "]");
    if (!(defaultValue >= lower && defaultValue <= upper))
        return refuse(quoted(name) + ": default " + formatValue(defaultValue) + " outside [" +
                      formatValue(lower) + ", " + formatValue(upper) + "]");
    PropertyDescription description;
    description.name = name;
    description.type = PropertyType::DoubleRange;
    description.doubleLower = lower;
    description.doubleUpper = upper;
    description.defaultValue = defaultValue;
    return create(std::move(description));
}

imaqkit::PropertyHandle PropFactory::newEnumProperty(const char* name, const char* firstText,
                                                     std::int32_t firstId)
{
    if (!name) return refuse("enumeration property without a name");
    if (!firstText) return refuse(quoted(name) + ": enumeration without a first value");
    PropertyDescription description;
    description.name = name;
    description.type = PropertyType::Enumeration;
    description.enumValues.push_back({firstText, firstId});
    description.defaultValue = firstId;
    return create(std::move(description));
}

Property* PropFactory::own(imaqkit::PropertyHandle handle, const char* operation)
{
    for (const auto& property : created_)
        if (property.get() == handle) return property.get();
    issues_.push_back(std::string(operation) + " with a handle the factory did not give");
    return nullptr;
}

void PropFactory::appendEnumValue(imaqkit::PropertyHandle handle, const char* text,
                                  std::int32_t id)
{
    Property* property = own(handle, "appendEnumValue");
    if (!property) return;
    auto& description = property->description();
    if (description.type != PropertyType::Enumeration || !text) {
        issues_.push_back(quoted(description.name.c_str()) + ": value appended to a non-enumeration or without text");
        return;
    }
    // The same text with the same id again adds nothing; the same text under
    // another id is a distinct value (a rate that a camera lists twice).
    const EnumValue value{text, id};
    auto& values = description.enumValues;
    if (std::find(values.begin(), values.end(), value) == values.end()) values.push_back(value);
}

void PropFactory::publishProperty(imaqkit::PropertyHandle handle)
{
    Property* property = own(handle, "publishProperty");
    if (!property) return;
    if (std::find(published_.begin(), published_.end(), property) != published_.end()) return;
    auto sameName = std::find_if(published_.begin(), published_.end(), [&](const Property* other) {
        return other->name() == property->name();
    });
    if (sameName != published_.end())
        *sameName = property;
    else
        published_.push_back(property);
}

void PropFactory::setReadOnlyMode(imaqkit::PropertyHandle handle, const char* mode)
{
    Property* property = own(handle, "setReadOnlyMode");
    if (!property) return;
    const std::string text = mode ? mode : "";
    auto& description = property->description();
    if (text == "never")
        description.readOnly = ReadOnlyMode::Never;
    else if (text == "always")
        description.readOnly = ReadOnlyMode::Always;
    else if (text == "whileRunning")
        description.readOnly = ReadOnlyMode::WhileRunning;
    else
        issues_.push_back(quoted(description.name.c_str()) + ": unknown read-only mode \"" + text + "\"");
}

std::vector<PropertyDescription> PropFactory::published() const
{
    std::vector<PropertyDescription> descriptions;
    for (const Property* property : published_) descriptions.push_back(property->description());
    return descriptions;
}

} // namespace imaqhost
