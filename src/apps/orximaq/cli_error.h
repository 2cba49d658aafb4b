// The one kind of failure the command-line host reports to its user: a clear
// message, printed as "orximaq: error: <message>", and a non-zero exit.
#pragma once

#include <stdexcept>
#include <string>

namespace orximaq {

class CliError : public std::runtime_error {
public:
    explicit CliError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace orximaq
