#include "output/leftover_parts.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace orximaq {
namespace {

bool allOf(std::string_view text, int (*kind)(int))
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [kind](char c) { return kind(static_cast<unsigned char>(c)) != 0; });
}

} // namespace

// ".frame-0001.png.4242-0123456789abcdef.part": a stem, the writer's
// process number and sixteen hexadecimal digits.
bool isLeftoverPartName(std::string_view name)
{
    constexpr std::string_view suffix = ".part";
    if (name.size() <= suffix.size() + 1 || !name.starts_with('.') || !name.ends_with(suffix))
        return false;
    name.remove_prefix(1);
    name.remove_suffix(suffix.size());
    const auto tagStart = name.rfind('.');
    if (tagStart == std::string_view::npos || tagStart == 0)
        return false;
    const std::string_view tag = name.substr(tagStart + 1);
    const auto dash = tag.find('-');
    if (dash == std::string_view::npos)
        return false;
    const std::string_view random = tag.substr(dash + 1);
    return allOf(tag.substr(0, dash), isdigit) && random.size() == 16 && allOf(random, isxdigit);
}

std::int64_t removeLeftoverParts(const std::filesystem::path& folder) noexcept
{
    std::int64_t removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code removal;
        // remove() takes a planted link itself away, never what it points to.
        if (isLeftoverPartName(entry->path().filename().string()) && std::filesystem::remove(entry->path(), removal))
            ++removed;
    }
    return removed;
}

} // namespace orximaq
