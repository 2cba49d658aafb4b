#include "device_prop_container.h"

#include "adaptor_call.h"
#include "imaqhost/host_error.h"

#include <cstring>

namespace imaqhost {

struct DevicePropContainer::Entry {
    Entry(const PropertyDescription& description)
        : property(description), info(description.name, true)
    {
    }

    Property property;
    PropInfo info;
    std::unique_ptr<imaqkit::IPropCustomGetFcn> getter;
    std::vector<std::unique_ptr<imaqkit::IPropPostSetListener>> listeners;
};

DevicePropContainer::DevicePropContainer(const std::vector<PropertyDescription>& properties,
                                         std::function<bool()> acquisitionActive)
    : acquisitionActive_(std::move(acquisitionActive))
{
    for (const PropertyDescription& description : properties)
        entries_.push_back(std::make_unique<Entry>(description));
}

DevicePropContainer::~DevicePropContainer() = default;

DevicePropContainer::Entry* DevicePropContainer::find(const char* name) const
{
    if (!name) return nullptr;
    for (const auto& entry : entries_)
        if (entry->property.name() == name) return entry.get();
    return nullptr;
}

DevicePropContainer::Entry& DevicePropContainer::require(const std::string& name) const
{
    if (Entry* entry = find(name.c_str())) return *entry;
    throw HostError("There is no property \"" + name + "\".");
}

imaqkit::IPropInfo* DevicePropContainer::getIPropInfo(const char* name)
{
    Entry* entry = find(name);
    return entry ? &entry->info : nullptr;
}

std::int32_t DevicePropContainer::getNumberProps()
{
    return static_cast<std::int32_t>(entries_.size());
}

void DevicePropContainer::getPropNames(const char** names)
{
    if (!names) return;
    for (std::size_t i = 0; i < entries_.size(); ++i) names[i] = entries_[i]->property.name().c_str();
}

void DevicePropContainer::setCustomGetFcn(const char* name, imaqkit::IPropCustomGetFcn* fcn)
{
    // Ownership passes to the container even for an unknown name.
    std::unique_ptr<imaqkit::IPropCustomGetFcn> owned(fcn);
    if (Entry* entry = find(name)) entry->getter = std::move(owned);
}

void DevicePropContainer::addListener(const char* name, imaqkit::IPropPostSetListener* listener)
{
    std::unique_ptr<imaqkit::IPropPostSetListener> owned(listener);
    Entry* entry = find(name);
    if (entry && owned) entry->listeners.push_back(std::move(owned));
}

std::vector<std::string> DevicePropContainer::names() const
{
    std::vector<std::string> names;
    for (const auto& entry : entries_) names.push_back(entry->property.name());
    return names;
}

bool DevicePropContainer::has(const std::string& name) const
{
    return find(name.c_str()) != nullptr;
}

PropertyDescription DevicePropContainer::describe(const std::string& name) const
{
    return require(name).property.description();
}

RawValue DevicePropContainer::readRaw(const std::string& name)
{
    Entry& entry = require(name);
    if (!entry.getter) return entry.property.stored();
    // The buffer starts as the stored value, so a get function that leaves it
    // alone yields the stored value.
    ValueBuffer buffer = entry.property.bufferOf(entry.property.stored());
    callAdaptor("Reading property \"" + name + "\"",
                [&] { entry.getter->getValue(&entry.info, buffer.data()); });
    return entry.property.fromBuffer(buffer);
}

PropertyValue DevicePropContainer::read(const std::string& name)
{
    const RawValue raw = readRaw(name);
    return require(name).property.toUser(raw);
}

void DevicePropContainer::write(const std::string& name, const PropertyValue& value)
{
    Entry& entry = require(name);
    entry.property.checkWritable(acquisitionActive_());
    writeRaw(entry, entry.property.checkedRaw(value));
}

void DevicePropContainer::writeText(const std::string& name, const std::string& text)
{
    Entry& entry = require(name);
    entry.property.checkWritable(acquisitionActive_());
    writeRaw(entry, entry.property.parse(text));
}

void DevicePropContainer::writeRaw(Entry& entry, RawValue value)
{
    const RawValue previous = entry.property.stored();
    entry.property.store(value);
    try {
        for (const auto& listener : entry.listeners) {
            // Each listener gets its own copy: one may overwrite the buffer.
            ValueBuffer buffer = entry.property.bufferOf(value);
            callAdaptor("Setting property \"" + entry.property.name() + "\"",
                        [&] { listener->notify(&entry.info, buffer.data()); });
        }
    } catch (...) {
        entry.property.store(previous);
        throw;
    }
}

void DevicePropContainer::setDeviceSpecific(const std::string& name, bool deviceSpecific)
{
    require(name).info.setDeviceSpecific(deviceSpecific);
}

bool DevicePropContainer::hasCustomGetFunction(const std::string& name) const
{
    return require(name).getter != nullptr;
}

std::size_t DevicePropContainer::postSetListenerCount(const std::string& name) const
{
    return require(name).listeners.size();
}

} // namespace imaqhost
