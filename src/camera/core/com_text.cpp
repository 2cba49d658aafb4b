#include "com_text.h"

#include <cstdint>

namespace vexcam::com {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct Decoded {
    char32_t codePoint;
    std::size_t length;
};

std::size_t sequenceLength(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// One code point at the start of `text`; invalid input yields U+FFFD for one byte.
Decoded decodeOne(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = sequenceLength(lead);
    if (length == 0 || length > text.size()) return {kReplacement, 1};
    if (length == 1) return {lead, 1};
    char32_t codePoint = lead & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return {kReplacement, 1};
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < smallest[length] || codePoint > 0x10FFFF || surrogate) return {kReplacement, 1};
    return {codePoint, length};
}

void appendUtf16(WideString& out, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        out += static_cast<OLECHAR>(codePoint);
        return;
    }
    codePoint -= 0x10000;
    out += static_cast<OLECHAR>(0xD800 + (codePoint >> 10));
    out += static_cast<OLECHAR>(0xDC00 + (codePoint & 0x3FF));
}

} // namespace

WideString utf8ToUtf16(std::string_view text)
{
    WideString out;
    out.reserve(text.size());
    while (!text.empty()) {
        const Decoded decoded = decodeOne(text);
        appendUtf16(out, decoded.codePoint);
        text.remove_prefix(decoded.length);
    }
    return out;
}

HRESULT putBstr(std::string_view text, BSTR* out)
{
    if (!out) return E_POINTER;
    const WideString wide = utf8ToUtf16(text);
    *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

WideView bstrView(BSTR text)
{
    if (!text) return {};
    return WideView(text, SysStringLen(text));
}

} // namespace vexcam::com
