// Parsing of the command-line host's own value texts.
#pragma once

#include "imaqhost/video_input.h"

#include <cstdint>
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

// The most frames one run may ask for: frame file names stay short, and a
// run at a thousand frames per second still takes days.
inline constexpr std::int64_t kMostFrames = 1'000'000'000;

// Throws CliError unless 1 <= frames <= kMostFrames.
void checkFrameCount(std::int64_t frames);

std::string formatRegion(const imaqhost::Region& region);

// A file or folder name made of letters, digits, '.', '_' and '-' only: every
// run of other characters becomes one '-'.
std::string sanitisedName(const std::string& text);

} // namespace orximaq
