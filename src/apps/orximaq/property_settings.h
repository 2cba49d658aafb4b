// --set NAME=VALUE: device properties written through the host before a
// command does its work, each read back afterwards.
#pragma once

#include "property_reading.h"
#include "text_parsing.h"

#include <iosfwd>
#include <vector>

namespace orximaq {

struct AppliedSetting {
    PropertySetting asked;
    PropertyReading reading; // read back after the write
};

// The texts parsed, before any device is opened (CliError for a bad one).
std::vector<PropertySetting> parseSettings(const std::vector<std::string>& texts);

// Writes each setting in order; the first that the device does not have,
// that is read-only or that the host refuses (wrong type, out of range, not a
// value of the enumeration) ends it with a CliError naming the argument.
std::vector<AppliedSetting> applySettings(imaqhost::VideoInput& input, const std::vector<PropertySetting>& settings);

Json settingsJson(const std::vector<AppliedSetting>& settings);
// "  set NAME = VALUE (asked TEXT)", one line each.
void printSettings(std::ostream& out, const std::vector<AppliedSetting>& settings);

} // namespace orximaq
