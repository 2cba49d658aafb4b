// The one kind of failure the command-line host reports to its user: a clear
// message, printed as "orximaq: error: <message>", and a non-zero exit. Its
// kind says to a script what went wrong, in one word (the JSON error
// document's "kind").
#pragma once

#include <stdexcept>
#include <string>

namespace orximaq {

class CliError : public std::runtime_error {
public:
    explicit CliError(const std::string& message, std::string kind = "error")
        : std::runtime_error(message), kind_(std::move(kind))
    {
    }

    const std::string& kind() const { return kind_; }

private:
    std::string kind_;
};

} // namespace orximaq
