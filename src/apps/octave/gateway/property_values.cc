#include "property_values.h"

#include <cmath>
#include <limits>

namespace orxoct {

octave_value toOctave(const imaqhost::PropertyValue& value)
{
    if (const auto* integer = std::get_if<std::int32_t>(&value))
        return octave_value(static_cast<double>(*integer));
    if (const auto* real = std::get_if<double>(&value))
        return octave_value(*real);
    return octave_value(std::get<std::string>(value));
}

std::optional<imaqhost::PropertyValue> fromOctave(const imaqhost::PropertyDescription& description,
                                                 const octave_value& value)
{
    using imaqhost::PropertyType;
    if (description.type == PropertyType::Enumeration)
        return value.is_string() ? std::optional<imaqhost::PropertyValue>(value.string_value()) : std::nullopt;
    if (value.is_string() || !value.isnumeric() || value.iscomplex() || value.numel() != 1)
        return std::nullopt;
    const double number = value.double_value();
    if (description.type == PropertyType::DoubleRange)
        return imaqhost::PropertyValue(number);
    // An integer property takes whole numbers only; a fraction or a value
    // beyond 32 bits goes to the host as a double, which it refuses by type.
    if (std::isfinite(number) && number == std::floor(number) &&
        number >= std::numeric_limits<std::int32_t>::min() && number <= std::numeric_limits<std::int32_t>::max())
        return imaqhost::PropertyValue(static_cast<std::int32_t>(number));
    return imaqhost::PropertyValue(number);
}

namespace {

octave_value defaultOf(const imaqhost::PropertyDescription& description)
{
    return toOctave(imaqhost::defaultValueOf(description));
}

Cell enumTexts(const imaqhost::PropertyDescription& description)
{
    Cell texts(dim_vector(1, static_cast<octave_idx_type>(description.enumValues.size())));
    for (std::size_t i = 0; i < description.enumValues.size(); ++i)
        texts(static_cast<octave_idx_type>(i)) = description.enumValues[i].text;
    return texts;
}

} // namespace

octave_value allowedValuesOf(const imaqhost::PropertyDescription& description)
{
    using imaqhost::PropertyType;
    switch (description.type) {
    case PropertyType::Enumeration: return enumTexts(description);
    case PropertyType::IntegerRange: {
        RowVector range(2);
        range(0) = description.intLower;
        range(1) = description.intUpper;
        return range;
    }
    case PropertyType::DoubleRange: {
        RowVector range(2);
        range(0) = description.doubleLower;
        range(1) = description.doubleUpper;
        return range;
    }
    case PropertyType::Integer: break;
    }
    return Matrix();
}

octave_scalar_map propinfoOf(const imaqhost::PropertyDescription& description, bool deviceSpecific)
{
    using imaqhost::PropertyType;
    octave_scalar_map info;
    const bool isEnum = description.type == PropertyType::Enumeration;
    info.assign("Type", isEnum ? "string" : description.type == PropertyType::DoubleRange ? "double" : "integer");
    info.assign("Constraint", isEnum                                   ? "enum"
                              : description.type == PropertyType::Integer ? "none"
                                                                          : "bounded");
    info.assign("ConstraintValue", allowedValuesOf(description));
    info.assign("DefaultValue", defaultOf(description));
    info.assign("ReadOnly", description.readOnly == imaqhost::ReadOnlyMode::Always         ? "always"
                            : description.readOnly == imaqhost::ReadOnlyMode::WhileRunning ? "whileRunning"
                                                                                          : "notCurrently");
    info.assign("DeviceSpecific", deviceSpecific);
    return info;
}

std::string refusalId(const imaqhost::PropertyDescription& description, const imaqhost::PropertyValue& value,
                      bool running)
{
    using imaqhost::PropertyType;
    if (description.readOnly == imaqhost::ReadOnlyMode::Always)
        return "imaq:orximaq:readOnly";
    if (description.readOnly == imaqhost::ReadOnlyMode::WhileRunning && running)
        return "imaq:orximaq:readOnlyWhileRunning";
    if (description.type == PropertyType::Enumeration)
        return "imaq:orximaq:invalidValue";
    if (description.type != PropertyType::DoubleRange && std::holds_alternative<double>(value))
        return "imaq:orximaq:invalidType";
    if (description.type == PropertyType::IntegerRange) {
        const auto number = std::get<std::int32_t>(value);
        if (number < description.intLower || number > description.intUpper)
            return "imaq:orximaq:outOfRange";
    }
    if (description.type == PropertyType::DoubleRange) {
        const double number = std::get<double>(value);
        if (!(number >= description.doubleLower && number <= description.doubleUpper))
            return "imaq:orximaq:outOfRange";
    }
    return "imaq:orximaq:setFailed";
}

} // namespace orxoct
