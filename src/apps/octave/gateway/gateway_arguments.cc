#include "gateway_arguments.h"

#include <cmath>
#include <limits>

namespace orxoct {

void fail(const std::string& id, const std::string& message)
{
    throw GatewayError{id, message};
}

namespace {

constexpr const char* kInvalid = "imaq:orximaq:invalidArgument";

bool isRealScalar(const octave_value& value)
{
    return value.isnumeric() && !value.islogical() && !value.iscomplex() && value.numel() == 1;
}

} // namespace

std::string textArg(const octave_value_list& args, int i, const char* what)
{
    if (args.length() <= i || !args(i).is_string() || args(i).rows() > 1)
        fail(kInvalid, std::string(what) + " must be a text.");
    return args(i).string_value();
}

double numberArg(const octave_value_list& args, int i, const char* what)
{
    if (args.length() <= i || !isRealScalar(args(i)) || std::isnan(args(i).double_value()))
        fail(kInvalid, std::string(what) + " must be a real number.");
    return args(i).double_value();
}

std::int32_t wholeArg(const octave_value_list& args, int i, const char* what, std::int32_t least)
{
    const bool given = args.length() > i && isRealScalar(args(i));
    const double value = given ? args(i).double_value() : 0.0;
    if (!given || !std::isfinite(value) || value != std::floor(value) || value < least ||
        value > std::numeric_limits<std::int32_t>::max())
        fail(kInvalid, std::string(what) + " must be a whole number from " + std::to_string(least) + " to " +
                           std::to_string(std::numeric_limits<std::int32_t>::max()) + ".");
    return static_cast<std::int32_t>(value);
}

double secondsArg(const octave_value_list& args, int i, const char* what)
{
    const double value = args.length() > i && isRealScalar(args(i)) ? args(i).double_value() : -1.0;
    if (!(value >= 0))
        fail(kInvalid, std::string(what) + " must be a number of seconds of at least 0, or Inf.");
    return value;
}

std::variant<std::int32_t, std::string> refArg(const octave_value_list& args, int i, const char* what)
{
    if (args.length() > i && args(i).is_string())
        return textArg(args, i, what);
    return wholeArg(args, i, what, 1);
}

} // namespace orxoct
