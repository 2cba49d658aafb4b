#include "commands/properties_command.h"

#include "device_choice.h"
#include "commands/devices_command.h"
#include "property_settings.h"

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace orximaq {
namespace {

std::string constraintText(const imaqhost::PropertyDescription& description)
{
    std::ostringstream text;
    switch (description.type) {
    case imaqhost::PropertyType::Integer: return "any integer";
    case imaqhost::PropertyType::IntegerRange:
        text << '[' << description.intLower << ", " << description.intUpper << ']';
        return text.str();
    case imaqhost::PropertyType::DoubleRange:
        text << '[' << imaqhost::formatValue(description.doubleLower) << ", "
             << imaqhost::formatValue(description.doubleUpper) << ']';
        return text.str();
    case imaqhost::PropertyType::Enumeration:
        for (std::size_t i = 0; i < description.enumValues.size(); ++i)
            text << (i == 0 ? "" : " | ") << description.enumValues[i].text;
        return text.str();
    }
    return {};
}

const char* typeText(imaqhost::PropertyType type)
{
    switch (type) {
    case imaqhost::PropertyType::Integer: return "integer";
    case imaqhost::PropertyType::IntegerRange: return "integer range";
    case imaqhost::PropertyType::DoubleRange: return "double range";
    case imaqhost::PropertyType::Enumeration: return "enumeration";
    }
    return "";
}

// Columns padded to their widest cell, two blanks apart; the last one unpadded.
void printTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    }
    for (const auto& row : rows) {
        out << ' ';
        for (std::size_t column = 0; column < row.size(); ++column) {
            out << ' ' << row[column];
            if (column + 1 < row.size())
                out << std::string(widths[column] - row[column].size() + 1, ' ');
        }
        out << '\n';
    }
}

void printProperties(std::ostream& out, const std::vector<PropertyReading>& readings)
{
    if (readings.empty()) {
        out << "Properties: none\n";
        return;
    }
    out << "Properties:\n";
    std::vector<std::vector<std::string>> rows{{"Name", "Type", "Constraint", "Read-only", "Value"}};
    for (const auto& reading : readings)
        rows.push_back({reading.description.name, typeText(reading.description.type),
                        constraintText(reading.description), readOnlyKey(reading.description.readOnly),
                        valueText(reading)});
    printTable(out, rows);
}

void printSources(std::ostream& out, imaqhost::VideoInput& input)
{
    out << "Video sources:\n";
    const std::string selected = input.selectedSource();
    for (const auto& source : input.sources())
        out << "  " << std::setw(3) << source.id << "  " << source.name
            << (source.name == selected ? "  (selected)" : "") << '\n';
}

Json sourcesJson(imaqhost::VideoInput& input)
{
    const std::string selected = input.selectedSource();
    Json sources = Json::array();
    for (const auto& source : input.sources())
        sources.push_back({{"name", source.name}, {"id", source.id}, {"selected", source.name == selected}});
    return sources;
}

} // namespace

int runProperties(const GlobalOptions& global, NoticeLog& log, const PropertiesOptions& options)
{
    const auto settings = parseSettings(options.settings);
    HostContext host(global, log);
    auto opened = openDevice(host, options.device, options.format);
    const auto applied = applySettings(*opened.input, settings);
    std::vector<PropertyReading> readings;
    for (const auto& name : opened.input->propertyNames())
        readings.push_back(readProperty(*opened.input, name));

    if (options.json) {
        Json properties = Json::array();
        for (const auto& reading : readings)
            properties.push_back(propertyJson(reading));
        Json document{{"device", deviceJson(opened.device)},
                      {"format", formatJson(opened.format)},
                      {"settings", settingsJson(applied)},
                      {"properties", std::move(properties)},
                      {"sources", sourcesJson(*opened.input)}};
        opened.input.reset();
        addNotices(document, host.takeNotices());
        printJson(std::cout, document);
        return 0;
    }
    std::cout << "Device " << opened.device.id << " \"" << opened.device.name << "\", format " << opened.format.id
              << " \"" << opened.format.name << "\"\n";
    printSettings(std::cout, applied);
    printProperties(std::cout, readings);
    printSources(std::cout, *opened.input);
    opened.input.reset();
    printNotices(std::cout, host.takeNotices());
    return 0;
}

} // namespace orximaq
