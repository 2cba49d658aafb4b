#include "hardware_info.h"

#include <algorithm>

namespace imaqhost {

namespace {

std::string textOrEmpty(const char* text)
{
    return text ? std::string(text) : std::string();
}

} // namespace

std::vector<FormatRecord> DeviceRecord::addedFormats() const
{
    std::vector<FormatRecord> added;
    std::copy_if(formats.begin(), formats.end(), std::back_inserter(added),
                 [](const FormatRecord& format) { return format.added; });
    return added;
}

DeviceInfo::DeviceInfo(std::int32_t id, std::string name) : id_(id), name_(std::move(name)) {}

std::unique_ptr<DeviceInfo> DeviceInfo::fromRecord(const DeviceRecord& record)
{
    auto info = std::make_unique<DeviceInfo>(record.id, record.name);
    info->added_ = record.added;
    info->fileSupport_ = record.fileSupport;
    for (const FormatRecord& format : record.addedFormats()) {
        info->formats_.push_back(std::make_unique<DeviceFormat>(format.id, format.name));
        info->formats_.back()->record() = format;
    }
    return info;
}

imaqkit::IDeviceFormat* DeviceInfo::createDeviceFormat(std::int32_t id, const char* name)
{
    formats_.push_back(std::make_unique<DeviceFormat>(id, textOrEmpty(name)));
    return formats_.back().get();
}

void DeviceInfo::addDeviceFormat(imaqkit::IDeviceFormat* format, bool isDefault)
{
    // A format entry of another device, or none at all, is ignored.
    if (DeviceFormat* own = findOwn(format)) {
        own->record().added = true;
        own->record().isDefault = isDefault;
    }
}

DeviceFormat* DeviceInfo::findOwn(const imaqkit::IDeviceFormat* format) const
{
    for (const auto& own : formats_)
        if (own.get() == format) return own.get();
    return nullptr;
}

DeviceRecord DeviceInfo::record() const
{
    DeviceRecord record{id_, name_, added_, fileSupport_, {}};
    for (const auto& format : formats_) record.formats.push_back(format->record());
    return record;
}

imaqkit::IDeviceInfo* HardwareInfo::createDeviceInfo(std::int32_t id, const char* name)
{
    devices_.push_back(std::make_unique<DeviceInfo>(id, textOrEmpty(name)));
    return devices_.back().get();
}

void HardwareInfo::addDevice(imaqkit::IDeviceInfo* device)
{
    for (const auto& own : devices_)
        if (own.get() == device) own->markAdded();
}

std::vector<DeviceRecord> HardwareInfo::records() const
{
    std::vector<DeviceRecord> records;
    for (const auto& device : devices_) records.push_back(device->record());
    return records;
}

} // namespace imaqhost
