// Warnings to the host. Every text is composed into a 1024-byte buffer (cut
// at its end) and handed over with the one identifier the adaptor uses.
#pragma once

#include <cstddef>

namespace orx {

inline constexpr const char* kWarningId = "ORXadaptor:constructor";
inline constexpr std::size_t kMessageBufferSize = 1024;

// Warns with a fixed text.
void warn(const char* text);

// Warns with `format` (holding one "%s") filled with `argument`. The composed
// text reaches the host as plain text: a '%' in the argument stays as it is.
void warnWith(const char* format, const char* argument);

} // namespace orx

namespace orx {
// Given whenever the camera refuses to go live.
inline constexpr const char* kLiveRefused =
    "Failed to start the live video. Is the camera already in use by another program?";
} // namespace orx
