// The Win32 functions the adaptor uses, for systems other than Windows.
#include "platform/win32.h"
#include "seam_state.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace win32seam::state;

namespace {

// A BSTR is preceded by its length in bytes (32 bits) and ends with a zero.
struct BstrHeader {
    std::uint32_t bytes;
};

std::size_t wideLength(const WCHAR* text)
{
    std::size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

void appendUtf8(std::string& out, std::uint32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(const WCHAR* text, std::size_t length)
{
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint32_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            const std::uint32_t next = text[++i];
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
        } else if (high || low) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

} // namespace

extern "C" {

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT style)
{
    win32seam::MessageBoxCall call{text ? text : "", caption ? caption : "", style};
    if (const auto hook = messageBoxHook()) hook(call);
    if (echoMessageBoxes())
        std::fprintf(stderr, "[message box] %s: %s\n", call.caption.c_str(), call.text.c_str());
    return IDOK;
}

void OutputDebugStringA(LPCSTR text)
{
    if (const auto hook = debugOutputHook()) hook(text ? text : "");
}

void* CoTaskMemAlloc(std::size_t bytes)
{
    if (consumeTaskMemFailure()) return nullptr;
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block) ++liveTaskMem;
    return block;
}

void CoTaskMemFree(void* block)
{
    if (!block) return;
    --liveTaskMem;
    std::free(block);
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    if (consumeBstrFailure()) return nullptr;
    const std::size_t bytes = sizeof(BstrHeader) + (std::size_t{length} + 1) * sizeof(OLECHAR);
    auto* raw = static_cast<unsigned char*>(std::malloc(bytes));
    if (!raw) return nullptr;
    reinterpret_cast<BstrHeader*>(raw)->bytes = static_cast<std::uint32_t>(length * sizeof(OLECHAR));
    auto* chars = reinterpret_cast<OLECHAR*>(raw + sizeof(BstrHeader));
    if (text)
        std::memcpy(chars, text, length * sizeof(OLECHAR));
    else
        std::memset(chars, 0, length * sizeof(OLECHAR));
    chars[length] = 0;
    ++liveBstrs;
    return chars;
}

BSTR SysAllocString(const OLECHAR* text)
{
    if (!text) return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(wideLength(text)));
}

void SysFreeString(BSTR text)
{
    if (!text) return;
    --liveBstrs;
    std::free(reinterpret_cast<unsigned char*>(text) - sizeof(BstrHeader));
}

UINT SysStringLen(BSTR text)
{
    if (!text) return 0;
    const auto* header =
        reinterpret_cast<const BstrHeader*>(reinterpret_cast<unsigned char*>(text) - sizeof(BstrHeader));
    return header->bytes / sizeof(OLECHAR);
}

HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text)
{
    if (!text) return E_INVALIDARG;
    char narrow[40];
    std::snprintf(narrow, sizeof narrow, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(clsid.Data1), clsid.Data2, clsid.Data3, clsid.Data4[0],
                  clsid.Data4[1], clsid.Data4[2], clsid.Data4[3], clsid.Data4[4], clsid.Data4[5],
                  clsid.Data4[6], clsid.Data4[7]);
    auto* wide = static_cast<OLECHAR*>(CoTaskMemAlloc(39 * sizeof(OLECHAR)));
    if (!wide) {
        *text = nullptr;
        return E_OUTOFMEMORY;
    }
    for (int i = 0; i < 39; ++i) wide[i] = static_cast<OLECHAR>(narrow[i]);
    *text = wide;
    return S_OK;
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int wideCount, LPSTR narrow,
                        int narrowBytes, LPCSTR, BOOL* usedDefaultChar)
{
    if (usedDefaultChar) *usedDefaultChar = 0;
    if (codePage != CP_UTF8 || !wide || wideCount == 0 || wideCount < -1 || narrowBytes < 0)
        return 0;
    // With a count of -1 the text is taken up to and including its zero.
    const std::size_t length = wideCount == -1 ? wideLength(wide) + 1 : static_cast<std::size_t>(wideCount);
    const std::string converted = utf16ToUtf8(wide, length);
    const int needed = static_cast<int>(converted.size());
    if (narrowBytes == 0) return needed;
    if (!narrow || narrowBytes < needed) return 0;
    std::memcpy(narrow, converted.data(), converted.size());
    return needed;
}

} // extern "C"
