#include "vexcam/format_text.h"

#include <charconv>

namespace vexcam {
namespace {

std::optional<std::int32_t> parsePositive(std::string_view digits)
{
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value <= 0) return std::nullopt;
    return value;
}

} // namespace

std::string formatText(std::string_view colorformat, Size size)
{
    return std::string(colorformat) + " (" + std::to_string(size.cx) + "x" + std::to_string(size.cy) + ")";
}

std::optional<FormatSpec> parseFormatText(std::string_view text)
{
    const auto open = text.rfind(" (");
    if (open == std::string_view::npos || open == 0 || text.back() != ')') return std::nullopt;
    const std::string_view dimensions = text.substr(open + 2, text.size() - open - 3);
    const auto cross = dimensions.find('x');
    if (cross == std::string_view::npos) return std::nullopt;
    const auto width = parsePositive(dimensions.substr(0, cross));
    const auto height = parsePositive(dimensions.substr(cross + 1));
    if (!width || !height) return std::nullopt;
    return FormatSpec{std::string(text.substr(0, open)), Size{*width, *height}};
}

} // namespace vexcam
