// The warnings an adaptor has shown through adaptorWarn, in order.
#pragma once

#include "imaqhost/export.h"

#include <string>
#include <vector>

namespace imaqhost {

struct Warning {
    std::string identifier;
    std::string message;
};

IMAQHOST_API std::vector<Warning> warnings();
IMAQHOST_API void clearWarnings();
// When true (the default) each warning is also written to standard error as
// "Warning: <message>".
IMAQHOST_API void setWarningEcho(bool echo);

} // namespace imaqhost
