// The gateway's argument checks and its error type: errors travel as C++
// exceptions and become Octave errors only at the gateway's edge.
#pragma once

#include "imaqhost/discovery.h"

#include <octave/oct.h>

#include <cstdint>
#include <string>
#include <variant>

namespace orxoct {

struct GatewayError {
    std::string id;
    std::string message;
};

[[noreturn]] void fail(const std::string& id, const std::string& message);

std::string textArg(const octave_value_list& args, int i, const char* what);
// A real, finite or infinite, non-NaN scalar.
double numberArg(const octave_value_list& args, int i, const char* what);
// A whole number from `least` to 2^31 - 1.
std::int32_t wholeArg(const octave_value_list& args, int i, const char* what, std::int32_t least);
// Seconds: a number of at least 0, or Inf.
double secondsArg(const octave_value_list& args, int i, const char* what);
// A device or format given by its ID (a whole number of at least 1) or name.
std::variant<std::int32_t, std::string> refArg(const octave_value_list& args, int i, const char* what);

} // namespace orxoct
