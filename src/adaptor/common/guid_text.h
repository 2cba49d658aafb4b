// The registry text form of an identifier, as StringFromCLSID writes it:
// braces around upper-case hexadecimal digits in groups of 8-4-4-4-12.
#pragma once

#include "common/bstr.h"
#include "platform/win32.h"

#include <cstddef>
#include <cstdint>

namespace orx {

inline constexpr std::size_t kRegistryTextLength = 38;

namespace detail {

constexpr void appendHex(WCHAR* out, std::size_t& at, std::uint32_t value, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out[at++] = static_cast<WCHAR>("0123456789ABCDEF"[(value >> shift) & 0xFu]);
}

} // namespace detail

// Writes the kRegistryTextLength characters of `id`'s text at out[at] and
// moves `at` past them; usable at compile time.
constexpr void appendRegistryText(WCHAR* out, std::size_t& at, const GUID& id)
{
    out[at++] = WCHAR('{');
    detail::appendHex(out, at, id.Data1, 8);
    out[at++] = WCHAR('-');
    detail::appendHex(out, at, id.Data2, 4);
    out[at++] = WCHAR('-');
    detail::appendHex(out, at, id.Data3, 4);
    out[at++] = WCHAR('-');
    for (int i = 0; i < 8; ++i) {
        if (i == 2) out[at++] = WCHAR('-');
        detail::appendHex(out, at, id.Data4[i], 2);
    }
    out[at++] = WCHAR('}');
}

// The text from StringFromCLSID, as a BSTR; empty when StringFromCLSID or
// the copy into a BSTR fails.
Bstr registryText(const GUID& id);

} // namespace orx
