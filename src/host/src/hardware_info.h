// The discovery objects handed to getAvailHW: the hardware-information object
// creates device entries, a device entry creates format entries. Every entry
// belongs to its creator, added or not, and is recorded for the session.
#pragma once

#include "host_object.h"
#include "imaqhost/discovery.h"
#include "platform/imaqkit.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace imaqhost {

class DeviceFormat final : public HostObject<imaqkit::IDeviceFormat> {
public:
    DeviceFormat(std::int32_t id, std::string name) : record_{id, std::move(name)} {}

    FormatRecord& record() noexcept { return record_; }
    const FormatRecord& record() const noexcept { return record_; }

private:
    FormatRecord record_;
};

class DeviceInfo final : public HostObject<imaqkit::IDeviceInfo> {
public:
    DeviceInfo(std::int32_t id, std::string name);
    // A fresh entry for a device that discovery reported, with its added formats.
    static std::unique_ptr<DeviceInfo> fromRecord(const DeviceRecord& record);

    imaqkit::IDeviceFormat* createDeviceFormat(std::int32_t id, const char* name) override;
    void addDeviceFormat(imaqkit::IDeviceFormat* format, bool isDefault) override;
    void deviceInfoReserved3() override {}
    const char* getDeviceName() override { return name_.c_str(); }
    void setDeviceFileSupport(bool supported) override { fileSupport_ = supported; }

    DeviceRecord record() const;
    void markAdded() noexcept { added_ = true; }

private:
    DeviceFormat* findOwn(const imaqkit::IDeviceFormat* format) const;

    std::int32_t id_;
    std::string name_;
    bool added_ = false;
    std::optional<bool> fileSupport_;
    std::vector<std::unique_ptr<DeviceFormat>> formats_;
};

class HardwareInfo final : public HostObject<imaqkit::IHardwareInfo> {
public:
    imaqkit::IDeviceInfo* createDeviceInfo(std::int32_t id, const char* name) override;
    void addDevice(imaqkit::IDeviceInfo* device) override;

    std::vector<DeviceRecord> records() const;

private:
    std::vector<std::unique_ptr<DeviceInfo>> devices_;
};

} // namespace imaqhost
