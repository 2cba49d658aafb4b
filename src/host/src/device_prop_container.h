// The device property container of a video input, built from the properties
// getDeviceAttributes published. It owns the custom get functions and
// post-set listeners the adaptor hands it and deletes them with itself.
#pragma once

#include "host_object.h"
#include "platform/imaqkit.h"
#include "prop_info.h"
#include "property.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace imaqhost {

class DevicePropContainer final : public HostObject<imaqkit::IPropContainer> {
public:
    // `acquisitionActive` decides the "whileRunning" read-only mode.
    DevicePropContainer(const std::vector<PropertyDescription>& properties,
                        std::function<bool()> acquisitionActive);
    ~DevicePropContainer() override;

    void containerReserved1() override {}
    void containerReserved2() override {}
    void containerReserved3() override {}
    void containerReserved4() override {}
    void containerReserved5() override {}
    void containerReserved6() override {}
    void containerReserved7() override {}
    imaqkit::IPropInfo* getIPropInfo(const char* name) override;
    std::int32_t getNumberProps() override;
    void getPropNames(const char** names) override;
    void containerReserved11() override {}
    void containerReserved12() override {}
    void containerReserved13() override {}
    void setCustomGetFcn(const char* name, imaqkit::IPropCustomGetFcn* fcn) override;
    void addListener(const char* name, imaqkit::IPropPostSetListener* listener) override;

    std::vector<std::string> names() const;
    bool has(const std::string& name) const;
    PropertyDescription describe(const std::string& name) const;
    RawValue readRaw(const std::string& name);
    PropertyValue read(const std::string& name);
    void write(const std::string& name, const PropertyValue& value);
    void writeText(const std::string& name, const std::string& text);
    void setDeviceSpecific(const std::string& name, bool deviceSpecific);
    bool hasCustomGetFunction(const std::string& name) const;
    std::size_t postSetListenerCount(const std::string& name) const;

private:
    struct Entry;
    Entry* find(const char* name) const;
    Entry& require(const std::string& name) const;
    void writeRaw(Entry& entry, RawValue value);

    std::vector<std::unique_ptr<Entry>> entries_;
    std::function<bool()> acquisitionActive_;
};

} // namespace imaqhost
