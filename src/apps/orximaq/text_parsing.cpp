#include "text_parsing.h"

#include "cli_error.h"

#include <charconv>
#include <cstdint>
#include <vector>

namespace orximaq {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

namespace {

bool parseInt32(const std::string& text, std::int32_t& value)
{
    const std::string number = trimmed(text);
    const char* begin = number.data();
    const char* end = begin + number.size();
    if (begin != end && *begin == '+')
        ++begin;
    const auto result = std::from_chars(begin, end, value);
    return begin != end && result.ec == std::errc{} && result.ptr == end;
}

std::vector<std::string> splitAtCommas(const std::string& text)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const auto comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            return parts;
        start = comma + 1;
    }
}

bool isNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

} // namespace

PropertySetting parseSetting(const std::string& text)
{
    const auto equals = text.find('=');
    if (equals == std::string::npos)
        throw CliError("--set " + text + ": expected NAME=VALUE", "argument");
    PropertySetting setting{trimmed(text.substr(0, equals)), text.substr(equals + 1)};
    if (setting.name.empty())
        throw CliError("--set " + text + ": the property name is empty", "argument");
    return setting;
}

imaqhost::Region parseRegion(const std::string& text)
{
    const auto parts = splitAtCommas(text);
    std::int32_t values[4] = {};
    bool valid = parts.size() == 4;
    for (std::size_t i = 0; valid && i < 4; ++i)
        valid = parseInt32(parts[i], values[i]);
    if (!valid)
        throw CliError("--roi " + text + ": expected four integers X,Y,W,H", "argument");
    const imaqhost::Region region{values[0], values[1], values[2], values[3]};
    if (region.x < 0 || region.y < 0)
        throw CliError("--roi " + text + ": the offsets X and Y must not be negative", "argument");
    if (region.width <= 0 || region.height <= 0)
        throw CliError("--roi " + text + ": the width W and height H must be positive", "argument");
    return region;
}

void checkFrameCount(std::int64_t frames)
{
    if (frames <= 0)
        throw CliError("the frame count must be positive, not " + std::to_string(frames), "argument");
    // The command-line parser stops at the largest number it holds.
    if (frames > kMostFrames)
        throw CliError("the frame count must be at most " + std::to_string(kMostFrames) +
                           (frames == INT64_MAX ? std::string(", not more") : ", not " + std::to_string(frames)),
                       "argument");
}

std::string formatRegion(const imaqhost::Region& region)
{
    return std::to_string(region.x) + "," + std::to_string(region.y) + "," + std::to_string(region.width) + "," +
           std::to_string(region.height);
}

std::string sanitisedName(const std::string& text)
{
    std::string name;
    for (const char c : text) {
        if (isNameCharacter(c))
            name += c;
        else if (!name.empty() && name.back() != '-')
            name += '-';
    }
    while (!name.empty() && name.back() == '-')
        name.pop_back();
    return name.empty() ? "device" : name;
}

} // namespace orximaq
