// The property-information object the host hands to custom get functions and
// listeners: the property's name and whether the adaptor serves it.
#pragma once

#include "host_object.h"
#include "platform/imaqkit.h"

#include <string>

namespace imaqhost {

class PropInfo final : public HostObject<imaqkit::IPropInfo> {
public:
    PropInfo(std::string name, bool deviceSpecific)
        : name_(std::move(name)), deviceSpecific_(deviceSpecific)
    {
    }

    const char* getPropertyName() override { return name_.c_str(); }
    void propInfoReserved2() override {}
    void propInfoReserved3() override {}
    void propInfoReserved4() override {}
    void propInfoReserved5() override {}
    bool isDeviceSpecific() override { return deviceSpecific_; }

    const std::string& name() const noexcept { return name_; }
    void setDeviceSpecific(bool deviceSpecific) noexcept { deviceSpecific_ = deviceSpecific; }

private:
    std::string name_;
    bool deviceSpecific_;
};

} // namespace imaqhost
