#include "com_guid.h"

#include <array>
#include <cstdint>

namespace vexcam::com {
namespace {

constexpr std::array<std::size_t, 4> kDashPositions{9, 14, 19, 24};

int hexDigit(OLECHAR c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

bool isDashPosition(std::size_t position)
{
    for (std::size_t dash : kDashPositions)
        if (dash == position) return true;
    return false;
}

// The 16 bytes in text order: Data1, Data2, Data3, then Data4.
std::optional<std::array<std::uint8_t, 16>> parseBytes(WideView text)
{
    std::array<std::uint8_t, 16> bytes{};
    std::size_t nibble = 0;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (isDashPosition(i)) {
            if (text[i] != u'-') return std::nullopt;
            continue;
        }
        const int digit = hexDigit(text[i]);
        if (digit < 0) return std::nullopt;
        bytes[nibble / 2] = static_cast<std::uint8_t>((bytes[nibble / 2] << 4) | digit);
        ++nibble;
    }
    return bytes;
}

} // namespace

std::optional<GUID> parseRegistryGuid(WideView text)
{
    if (text.size() != kRegistryGuidLength || text.front() != u'{' || text.back() != u'}')
        return std::nullopt;
    const auto bytes = parseBytes(text);
    if (!bytes) return std::nullopt;
    const auto& b = *bytes;
    GUID guid{};
    guid.Data1 = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
    guid.Data2 = static_cast<std::uint16_t>((b[4] << 8) | b[5]);
    guid.Data3 = static_cast<std::uint16_t>((b[6] << 8) | b[7]);
    for (std::size_t i = 0; i < 8; ++i) guid.Data4[i] = b[8 + i];
    return guid;
}

std::optional<InterfacePath> parseInterfacePath(WideView text)
{
    constexpr std::size_t kTwoParts = 2 * kRegistryGuidLength + 1;
    constexpr std::size_t kThreeParts = 3 * kRegistryGuidLength + 2;
    if (text.size() != kTwoParts && text.size() != kThreeParts) return std::nullopt;

    std::optional<GUID> parts[3];
    for (std::size_t part = 0; part * (kRegistryGuidLength + 1) < text.size(); ++part) {
        const std::size_t start = part * (kRegistryGuidLength + 1);
        if (start > 0 && text[start - 1] != u':') return std::nullopt;
        parts[part] = parseRegistryGuid(text.substr(start, kRegistryGuidLength));
        if (!parts[part]) return std::nullopt;
    }
    return InterfacePath{*parts[0], *parts[1], parts[2]};
}

} // namespace vexcam::com
