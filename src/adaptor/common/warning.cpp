#include "common/warning.h"

#include "platform/imaqkit.h"

#include <cstdio>

namespace orx {

void warn(const char* text)
{
    char message[kMessageBufferSize];
    std::snprintf(message, sizeof message, "%s", text);
    imaqkit::adaptorWarn(kWarningId, message);
}

void warnWith(const char* format, const char* argument)
{
    char message[kMessageBufferSize];
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
    std::snprintf(message, sizeof message, format, argument);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    imaqkit::adaptorWarn(kWarningId, message);
}

} // namespace orx
