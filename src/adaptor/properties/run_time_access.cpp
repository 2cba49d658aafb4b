#include "properties/run_time_access.h"

#include "common/property_names.h"
#include "common/warning.h"
#include "properties/property_model.h"
#include "properties/property_publication.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace orx {

namespace {

constexpr std::size_t kSerialTextBytes = 19;

// The host's buffers hold a 32-bit integer or a 64-bit double, by property;
// they are copied bytewise since the host makes no promise of alignment.
void storeInt32(void* target, std::int32_t value)
{
    std::memcpy(target, &value, sizeof value);
}

void storeDouble(void* target, double value)
{
    std::memcpy(target, &value, sizeof value);
}

std::int32_t loadInt32(const void* source)
{
    std::int32_t value = 0;
    std::memcpy(&value, source, sizeof value);
    return value;
}

double loadDouble(const void* source)
{
    double value = 0;
    std::memcpy(&value, source, sizeof value);
    return value;
}

std::string propertyName(imaqkit::IPropInfo* info)
{
    const char* name = info ? info->getPropertyName() : nullptr;
    return name ? name : "";
}

// The frame-rate values of the current format; position i is the rate at
// position i of the "FrameRate" enumeration.
std::vector<std::int32_t> frameRateValues(const Vexlib::Grabber& grabber)
{
    const auto list = grabber.getAvailableFrameRates_(grabber.getVideoFormat());
    return list ? *list : std::vector<std::int32_t>{};
}

void readFrameRate(const Vexlib::Grabber& grabber, void* buffer)
{
    const std::vector<std::int32_t> values = frameRateValues(grabber);
    const std::int32_t current = grabber.getFrameRate();
    // The last matching position wins; with no match the buffer stays as it is.
    for (std::size_t position = 0; position < values.size(); ++position)
        if (values[position] == current) storeInt32(buffer, static_cast<std::int32_t>(position));
}

void writeFrameRate(Vexlib::Grabber& grabber, std::int32_t position)
{
    if (!grabber.isFrameRateListAvailable()) return;
    const std::vector<std::int32_t> values = frameRateValues(grabber);
    if (position < 0 || static_cast<std::size_t>(position) >= values.size()) return;
    static_cast<void>(grabber.setFrameRate(values[static_cast<std::size_t>(position)]));
}

// The number as the host has always seen it: the hexadecimal digits of its low
// 32 bits read as a decimal number, up to the first letter (0x1A reads as 1).
void readSerialNumber(const Vexlib::Grabber& grabber, void* buffer)
{
    std::int64_t serial = 0;
    if (!grabber.getDev().getSerialNumber(serial)) return;
    char text[kSerialTextBytes];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(static_cast<std::uint32_t>(serial)));
    storeInt32(buffer, static_cast<std::int32_t>(std::strtol(text, nullptr, 10)));
}

// The value of each interface kind as the host stores it.
void readValue(Vexlib::DoubleRangeInterface& range, void* buffer)
{
    double value = 0;
    checkStatus(range.get_Value(&value));
    storeDouble(buffer, value);
}

void readValue(Vexlib::StringListInterface& list, void* buffer)
{
    LONG value = 0;
    LONG minimum = 0;
    checkStatus(list.get_Value(&value));
    checkStatus(list.get_RangeMin(&minimum));
    storeInt32(buffer, static_cast<std::int32_t>(std::int64_t{value} - minimum));
}

void readValue(Vexlib::SwitchInterface& switchInterface, void* buffer)
{
    VARIANT_BOOL state = VARIANT_FALSE;
    checkStatus(switchInterface.get_Switch(&state));
    storeInt32(buffer, state == VARIANT_TRUE ? 1 : 0);
}

void readValue(Vexlib::ButtonInterface&, void* buffer)
{
    OutputDebugStringA("P_Set ");
    OutputDebugStringA("... OK\n");
    storeInt32(buffer, 0);
}

void readValue(Vexlib::IntegerRangeInterface& range, void* buffer)
{
    LONG value = 0;
    checkStatus(range.get_Value(&value));
    storeInt32(buffer, value);
}

void writeValue(Vexlib::DoubleRangeInterface& range, const void* newValue)
{
    checkStatus(range.put_Value(loadDouble(newValue)));
}

void writeValue(Vexlib::StringListInterface& list, const void* newValue)
{
    LONG minimum = 0;
    checkStatus(list.get_RangeMin(&minimum));
    checkStatus(list.put_Value(static_cast<LONG>(std::int64_t{minimum} + loadInt32(newValue))));
}

void writeValue(Vexlib::SwitchInterface& switchInterface, const void* newValue)
{
    checkStatus(switchInterface.put_Switch(loadInt32(newValue) != 0 ? VARIANT_TRUE : VARIANT_FALSE));
}

// A button is pushed whatever the value.
void writeValue(Vexlib::ButtonInterface& button, const void*)
{
    checkStatus(button.Push());
}

void writeValue(Vexlib::IntegerRangeInterface& range, const void* newValue)
{
    checkStatus(range.put_Value(loadInt32(newValue)));
}

// Applies `use` to the element's `Interface` and tells whether the element
// offers it; the interface is held for the call only.
template <class Interface, class Use>
bool useIfOffered(Vexlib::PropertyElement& element, Use& use)
{
    ComPtr<Interface> typed;
    lookUpInterface(element, typed);
    if (!typed) return false;
    use(*typed.get());
    return true;
}

// The first interface the element offers, in this order, carries the value.
template <class Use>
void useFirstOffered(Vexlib::PropertyElement& element, Use use)
{
    static_cast<void>(useIfOffered<Vexlib::DoubleRangeInterface>(element, use) ||
                      useIfOffered<Vexlib::StringListInterface>(element, use) ||
                      useIfOffered<Vexlib::SwitchInterface>(element, use) ||
                      useIfOffered<Vexlib::ButtonInterface>(element, use) ||
                      useIfOffered<Vexlib::IntegerRangeInterface>(element, use));
}

} // namespace

void readDeviceProperty(Vexlib::Grabber& grabber, imaqkit::IPropInfo* info, void* buffer)
{
    if (!buffer) return;
    if (!grabber.isDevValid()) {
        storeInt32(buffer, 0);
        warn("Unable to get property. Device invalid.");
        return;
    }
    const std::string name = propertyName(info);
    if (name == kInputChannelProperty)
        storeInt32(buffer, grabber.getInputChannel().getIndex());
    else if (name == kFrameRateProperty)
        readFrameRate(grabber, buffer);
    else if (name == kSerialNoProperty)
        readSerialNumber(grabber, buffer);
    else
        readCameraProperty(grabber, name, buffer);
}

void writeDeviceProperty(Vexlib::Grabber& grabber, imaqkit::IPropInfo* info, void* newValue)
{
    if (!newValue) return;
    if (!grabber.isDevValid()) {
        storeInt32(newValue, 0);
        warn("Unable to set property. Device invalid.");
        return;
    }
    const std::string name = propertyName(info);
    if (name == kInputChannelProperty)
        static_cast<void>(grabber.setInputChannel(static_cast<std::uint32_t>(loadInt32(newValue))));
    else if (name == kFrameRateProperty)
        writeFrameRate(grabber, loadInt32(newValue));
    else
        writeCameraProperty(grabber, name, newValue);
}

void readCameraProperty(Vexlib::Grabber& grabber, const std::string& name, void* buffer)
{
    const auto element = findCameraElement(grabber, name);
    if (!element) {
        storeInt32(buffer, 0);
        warnWith("P_get() Property \"%s\" not found.", name.c_str());
        return;
    }
    useFirstOffered(*element.get(), [buffer](auto& typed) { readValue(typed, buffer); });
}

void writeCameraProperty(Vexlib::Grabber& grabber, const std::string& name, void* newValue)
{
    const auto element = findCameraElement(grabber, name);
    if (!element) {
        storeInt32(newValue, 0);
        warnWith("Property \"%s\" not found.", name.c_str());
        return;
    }
    useFirstOffered(*element.get(), [newValue](auto& typed) { writeValue(typed, newValue); });
}

ComPtr<Vexlib::PropertyElement> findCameraElement(Vexlib::Grabber& grabber, const std::string& name)
{
    ComPtr<Vexlib::PropertyElement> found;
    const auto items = grabber.getAvailableVCDProperties();
    if (!items) return found;
    // Every item is searched: a later item's match replaces an earlier one.
    for (const auto& item : listItems(items.get())) {
        const std::string itemPart = itemPartOf(*item.get());
        for (const auto& element : listElements(*item.get())) {
            if (publishedPropertyName(itemPart, *element.get()) != name) continue;
            found = element.copy();
            break;
        }
    }
    return found;
}

} // namespace orx
