// Parsing of the command-line host's own value texts.
#pragma once

#include "imaqhost/video_input.h"

#include <string>

namespace orximaq {

// The text without its leading and trailing spaces and tabs.
std::string trimmed(const std::string& text);

// One --set argument, NAME=VALUE, split at the first '='.
struct PropertySetting {
    std::string name;
    std::string value;
};

// Throws CliError for a text without '=' or with an empty name.
PropertySetting parseSetting(const std::string& text);

// "X,Y,W,H" in pixels; throws CliError unless it is four integers with a
// positive width and height and offsets that are not negative.
imaqhost::Region parseRegion(const std::string& text);

std::string formatRegion(const imaqhost::Region& region);

// A file or folder name made of letters, digits, '.', '_' and '-' only: every
// run of other characters becomes one '-'.
std::string sanitisedName(const std::string& text);

} // namespace orximaq
