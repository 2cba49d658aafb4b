#include "common/to_utf8.h"

namespace orx {

std::string toUtf8(const WCHAR* text)
{
    if (!text) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    const int written =
        WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), bytes, nullptr, nullptr);
    if (written <= 0) return {};
    narrow.resize(static_cast<std::size_t>(written - 1)); // drop the terminating zero
    return narrow;
}

} // namespace orx
