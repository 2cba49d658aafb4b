#include "property_settings.h"

#include "cli_error.h"
#include "failure_text.h"
#include "text_parsing.h"

#include <ostream>
#include <vector>

namespace orximaq {
namespace {

std::string knownNames(imaqhost::VideoInput& input)
{
    std::string names;
    for (const auto& name : input.propertyNames())
        names += (names.empty() ? "" : ", ") + name;
    return names.empty() ? "none" : names;
}

// An enumeration's entry text for what the user typed: the exact text, else
// the one entry that matches without its padding (" 7.50" for "7.50").
std::string enumerationText(const imaqhost::PropertyDescription& description, const std::string& typed)
{
    if (description.type != imaqhost::PropertyType::Enumeration)
        return typed;
    const std::string wanted = trimmed(typed);
    std::vector<const std::string*> matches;
    for (const auto& value : description.enumValues) {
        if (value.text == typed)
            return typed;
        if (trimmed(value.text) == wanted)
            matches.push_back(&value.text);
    }
    return matches.size() == 1 ? *matches.front() : typed;
}

AppliedSetting applySetting(imaqhost::VideoInput& input, const PropertySetting& setting)
{
    const std::string argument = "--set " + setting.name + "=" + setting.value;
    if (!input.hasProperty(setting.name))
        throw CliError(argument + ": the device has no property \"" + setting.name + "\" (it has: " +
                       knownNames(input) + ")", "setting");
    const auto description = input.describe(setting.name);
    if (description.readOnly == imaqhost::ReadOnlyMode::Always)
        throw CliError(argument + ": property \"" + setting.name + "\" is read-only", "setting");
    try {
        input.setFromText(setting.name, enumerationText(description, setting.value));
    } catch (...) {
        throw CliError(argument + ": " + currentFailureText(), "setting");
    }
    return {setting, readProperty(input, setting.name)};
}

} // namespace

std::vector<PropertySetting> parseSettings(const std::vector<std::string>& texts)
{
    std::vector<PropertySetting> settings;
    for (const auto& text : texts)
        settings.push_back(parseSetting(text));
    return settings;
}

std::vector<AppliedSetting> applySettings(imaqhost::VideoInput& input, const std::vector<PropertySetting>& settings)
{
    std::vector<AppliedSetting> applied;
    for (const auto& setting : settings)
        applied.push_back(applySetting(input, setting));
    return applied;
}

Json settingsJson(const std::vector<AppliedSetting>& settings)
{
    Json list = Json::array();
    for (const auto& setting : settings)
        list.push_back({{"name", setting.asked.name},
                        {"requested", setting.asked.value},
                        {"value", setting.reading.value ? valueJson(*setting.reading.value) : Json(nullptr)}});
    return list;
}

void printSettings(std::ostream& out, const std::vector<AppliedSetting>& settings)
{
    for (const auto& setting : settings)
        out << "  set " << setting.asked.name << " = " << valueText(setting.reading) << " (asked "
            << setting.asked.value << ")\n";
}

} // namespace orximaq
