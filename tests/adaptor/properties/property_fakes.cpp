#include "property_fakes.h"

#include <gtest/gtest.h>

namespace orx::test {

std::vector<const DeclaredProperty*> RecordingFactory::published(const std::string& name) const
{
    std::vector<const DeclaredProperty*> found;
    for (const auto& property : declared_)
        if (property.name == name && property.published) found.push_back(&property);
    return found;
}

const DeclaredProperty& RecordingFactory::only(const std::string& name) const
{
    static const DeclaredProperty kNone;
    const auto found = published(name);
    EXPECT_EQ(found.size(), 1u) << "published properties named " << name;
    return found.size() == 1 ? *found.front() : kNone;
}

std::vector<std::string> RecordingFactory::publishedNames() const
{
    std::vector<std::string> names;
    for (const auto& call : calls)
        if (call.rfind("publish ", 0) == 0) names.push_back(call.substr(8));
    return names;
}

imaqkit::PropertyHandle RecordingFactory::create(DeclaredProperty property)
{
    calls.push_back("new " + property.name);
    if (refused.count(property.name)) return nullptr;
    declared_.push_back(std::move(property));
    return &declared_.back();
}

DeclaredProperty& RecordingFactory::at(imaqkit::PropertyHandle property)
{
    EXPECT_NE(property, nullptr) << "a call with an empty property handle";
    return *static_cast<DeclaredProperty*>(property);
}

imaqkit::PropertyHandle RecordingFactory::newDoubleRangeProperty(const char* name, double lower,
                                                                 double upper, double defaultValue)
{
    return create({"doubleRange", name, lower, upper, defaultValue, 0, {}, {}, false});
}

imaqkit::PropertyHandle RecordingFactory::newIntProperty(const char* name, std::int32_t defaultValue,
                                                         std::int32_t flags)
{
    return create({"int", name, 0, 0, static_cast<double>(defaultValue), flags, {}, {}, false});
}

imaqkit::PropertyHandle RecordingFactory::newIntRangeProperty(const char* name, std::int32_t lower,
                                                              std::int32_t upper,
                                                              std::int32_t defaultValue,
                                                              std::int32_t flags)
{
    return create({"intRange", name, static_cast<double>(lower), static_cast<double>(upper),
                   static_cast<double>(defaultValue), flags, {}, {}, false});
}

imaqkit::PropertyHandle RecordingFactory::newEnumProperty(const char* name, const char* firstText,
                                                          std::int32_t firstId)
{
    return create({"enum", name, 0, 0, 0, 0, {{firstText, firstId}}, {}, false});
}

void RecordingFactory::appendEnumValue(imaqkit::PropertyHandle property, const char* text,
                                       std::int32_t id)
{
    if (!property) {
        calls.push_back("append <none>");
        return;
    }
    auto& declared = at(property);
    calls.push_back("append " + declared.name + " " + text + "=" + std::to_string(id));
    declared.values.emplace_back(text, id);
}

void RecordingFactory::publishProperty(imaqkit::PropertyHandle property)
{
    if (!property) {
        calls.push_back("publish <none>");
        return;
    }
    auto& declared = at(property);
    calls.push_back("publish " + declared.name);
    declared.published = true;
}

void RecordingFactory::setReadOnlyMode(imaqkit::PropertyHandle property, const char* mode)
{
    if (!property) {
        calls.push_back("mode <none>");
        return;
    }
    auto& declared = at(property);
    calls.push_back("mode " + declared.name + " " + mode);
    declared.readOnlyMode = mode;
}

} // namespace orx::test
