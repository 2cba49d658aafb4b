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

IMAQSIM_API std::vector<Warning> warnings();
IMAQSIM_API void clearWarnings();
// When true (the default) each warning is also written to standard error as
// "Warning: <message>".
IMAQSIM_API void setWarningEcho(bool echo);

} // namespace imaqhost
