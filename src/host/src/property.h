// One device property as the host keeps it: its description, its stored
// value, and the checks a write must pass before any listener hears of it.
#pragma once

#include "imaqhost/property_description.h"

#include <cstdint>
#include <string>
#include <variant>

namespace imaqhost {

// A value as the adaptor sees it: int32 for integers and enumeration ids,
// double for doubles.
using RawValue = std::variant<std::int32_t, double>;

// The 8-byte value buffer passed to custom get functions and listeners.
struct ValueBuffer {
    alignas(8) unsigned char bytes[8] = {};
    void* data() noexcept { return bytes; }
};

class Property {
public:
    explicit Property(PropertyDescription description);

    const PropertyDescription& description() const noexcept { return description_; }
    PropertyDescription& description() noexcept { return description_; }
    const std::string& name() const noexcept { return description_.name; }

    RawValue stored() const noexcept { return stored_; }
    void store(RawValue value) noexcept { stored_ = value; }

    // Throws a HostError when the property may not be written now.
    void checkWritable(bool acquisitionActive) const;
    // The raw value for a user value of the right kind and within the
    // constraint; a HostError otherwise.
    RawValue checkedRaw(const PropertyValue& value) const;
    // The same for a value given as text.
    RawValue parse(const std::string& text) const;

    // An enumeration id becomes its text; a HostError if the id is unknown.
    PropertyValue toUser(RawValue raw) const;
    ValueBuffer bufferOf(RawValue raw) const noexcept;
    RawValue fromBuffer(const ValueBuffer& buffer) const noexcept;

private:
    RawValue checkedInteger(double value) const;
    RawValue checkedDouble(double value) const;
    RawValue checkedEnumText(const std::string& text) const;
    [[noreturn]] void failValue(const std::string& what) const;

    PropertyDescription description_;
    RawValue stored_;
};

} // namespace imaqhost
