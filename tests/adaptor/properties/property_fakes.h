// Host objects that record what the property bridge declares and asks, so a
// test can check names, types, bounds, values and the order of the calls.
#pragma once

#include "platform/imaqkit.h"

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace orx::test {

struct DeclaredProperty {
    std::string kind; // "int", "intRange", "doubleRange" or "enum"
    std::string name;
    double lower = 0;
    double upper = 0;
    double defaultValue = 0;
    std::int32_t flags = 0;
    // Enumerations: (text, id), the creation value first.
    std::vector<std::pair<std::string, std::int32_t>> values;
    std::string readOnlyMode;
    bool published = false;
};

class RecordingFactory final : public imaqkit::IPropFactory {
public:
    // Calls in order: "new <name>", "append <name> <text>=<id>", "mode <name> <mode>",
    // "publish <name>".
    std::vector<std::string> calls;
    // Names for which the factory gives no handle.
    std::set<std::string> refused;

    const std::deque<DeclaredProperty>& declared() const { return declared_; }
    // The published properties of that name, in the order of creation.
    std::vector<const DeclaredProperty*> published(const std::string& name) const;
    // The single published property of that name; fails the test otherwise.
    const DeclaredProperty& only(const std::string& name) const;
    std::vector<std::string> publishedNames() const;

    imaqkit::PropertyHandle newDoubleRangeProperty(const char* name, double lower, double upper,
                                                   double defaultValue) override;
    imaqkit::PropertyHandle newIntProperty(const char* name, std::int32_t defaultValue,
                                           std::int32_t flags) override;
    imaqkit::PropertyHandle newIntRangeProperty(const char* name, std::int32_t lower,
                                                std::int32_t upper, std::int32_t defaultValue,
                                                std::int32_t flags) override;
    imaqkit::PropertyHandle newEnumProperty(const char* name, const char* firstText,
                                            std::int32_t firstId) override;
    void appendEnumValue(imaqkit::PropertyHandle property, const char* text, std::int32_t id) override;
    void publishProperty(imaqkit::PropertyHandle property) override;
    void setReadOnlyMode(imaqkit::PropertyHandle property, const char* mode) override;

    void factoryReserved1() override {}
    void factoryReserved2() override {}
    void factoryReserved3() override {}
    void factoryReserved5() override {}
    void factoryReserved6() override {}
    void factoryReserved9() override {}
    void factoryReserved10() override {}
    void factoryReserved13() override {}
    void factoryReserved15() override {}
    void factoryReserved16() override {}
    void factoryReserved17() override {}

private:
    imaqkit::PropertyHandle create(DeclaredProperty property);
    static DeclaredProperty& at(imaqkit::PropertyHandle property);

    std::deque<DeclaredProperty> declared_;
};

class FakeDeviceInfo final : public imaqkit::IDeviceInfo {
public:
    explicit FakeDeviceInfo(std::string name) : name_(std::move(name)) {}
    int nameRequests = 0;

    imaqkit::IDeviceFormat* createDeviceFormat(std::int32_t, const char*) override { return nullptr; }
    void addDeviceFormat(imaqkit::IDeviceFormat*, bool) override {}
    void deviceInfoReserved3() override {}
    const char* getDeviceName() override
    {
        ++nameRequests;
        return name_.c_str();
    }
    void setDeviceFileSupport(bool) override {}

private:
    std::string name_;
};

class RecordingSources final : public imaqkit::IVideoSourceInfo {
public:
    std::vector<std::pair<std::string, std::int32_t>> sources;
    void addAdaptorSource(const char* name, std::int32_t id) override { sources.emplace_back(name, id); }
};

class FakePropInfo final : public imaqkit::IPropInfo {
public:
    explicit FakePropInfo(std::string name, bool deviceSpecific = true)
        : name_(std::move(name)), deviceSpecific_(deviceSpecific)
    {
    }
    const char* getPropertyName() override { return name_.c_str(); }
    void propInfoReserved2() override {}
    void propInfoReserved3() override {}
    void propInfoReserved4() override {}
    void propInfoReserved5() override {}
    bool isDeviceSpecific() override { return deviceSpecific_; }

private:
    std::string name_;
    bool deviceSpecific_;
};

} // namespace orx::test
