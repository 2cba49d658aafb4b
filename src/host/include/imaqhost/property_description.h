// What the host knows of a property that an adaptor declared: its type,
// constraint, read-only mode and default value.
#pragma once

#include "imaqhost/export.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace imaqhost {

enum class PropertyType {
    Integer,      // any 32-bit value
    IntegerRange, // 32-bit value within [intLower, intUpper]
    DoubleRange,  // double within [doubleLower, doubleUpper]
    Enumeration,  // one of enumValues; the adaptor sees the value's id
};

enum class ReadOnlyMode {
    Never,
    Always,
    WhileRunning, // read-only while an acquisition is active
};

struct EnumValue {
    std::string text;
    std::int32_t id = 0;
    friend bool operator==(const EnumValue&, const EnumValue&) = default;
};

// A value as the user sees it: integers as int32, doubles as double,
// enumerations as the value's text.
using PropertyValue = std::variant<std::int32_t, double, std::string>;

struct PropertyDescription {
    std::string name;
    PropertyType type = PropertyType::Integer;
    std::int32_t intLower = 0;
    std::int32_t intUpper = 0;
    double doubleLower = 0.0;
    double doubleUpper = 0.0;
    std::vector<EnumValue> enumValues;
    ReadOnlyMode readOnly = ReadOnlyMode::Never;
    // int32 for integers, double for doubles, the enumeration id as int32.
    std::variant<std::int32_t, double> defaultValue = std::int32_t{0};
    // The last argument of the plain integer constructor, kept as given.
    std::int32_t intFlags = 0;
};

IMAQHOST_API const char* toString(PropertyType type);
IMAQHOST_API const char* toString(ReadOnlyMode mode);
// "42", "0.5" (shortest text that reads back the same), or the text itself.
IMAQHOST_API std::string formatValue(const PropertyValue& value);
// The default value as the user sees it (an enumeration's text).
IMAQHOST_API PropertyValue defaultValueOf(const PropertyDescription& description);

} // namespace imaqhost
