// The property factory handed to getDeviceAttributes. Handles are the
// factory's own Property objects; it checks every handle it is given.
// Publishing a name that is already published replaces the earlier property
// in its place: the last declaration of a name is the one the adaptor serves.
#pragma once

#include "host_object.h"
#include "platform/imaqkit.h"
#include "property.h"

#include <memory>
#include <string>
#include <vector>

namespace imaqhost {

class PropFactory final : public HostObject<imaqkit::IPropFactory> {
public:
    void factoryReserved1() override {}
    void factoryReserved2() override {}
    void factoryReserved3() override {}
    imaqkit::PropertyHandle newDoubleRangeProperty(const char* name, double lower, double upper,
                                                   double defaultValue) override;
    void factoryReserved5() override {}
    void factoryReserved6() override {}
    imaqkit::PropertyHandle newIntProperty(const char* name, std::int32_t defaultValue,
                                           std::int32_t flags) override;
    imaqkit::PropertyHandle newIntRangeProperty(const char* name, std::int32_t lower,
                                                std::int32_t upper, std::int32_t defaultValue,
                                                std::int32_t flags) override;
    void factoryReserved9() override {}
    void factoryReserved10() override {}
    imaqkit::PropertyHandle newEnumProperty(const char* name, const char* firstText,
                                            std::int32_t firstId) override;
    void appendEnumValue(imaqkit::PropertyHandle property, const char* text,
                         std::int32_t id) override;
    void factoryReserved13() override {}
    void publishProperty(imaqkit::PropertyHandle property) override;
    void factoryReserved15() override {}
    void factoryReserved16() override {}
    void factoryReserved17() override {}
    void setReadOnlyMode(imaqkit::PropertyHandle property, const char* mode) override;

    std::vector<PropertyDescription> published() const;
    const std::vector<std::string>& issues() const noexcept { return issues_; }

private:
    imaqkit::PropertyHandle create(PropertyDescription description);
    Property* own(imaqkit::PropertyHandle handle, const char* operation);
    imaqkit::PropertyHandle refuse(const std::string& issue);

    std::vector<std::unique_ptr<Property>> created_;
    std::vector<Property*> published_;
    std::vector<std::string> issues_;
};

} // namespace imaqhost
