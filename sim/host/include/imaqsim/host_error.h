// The error the host reports to its user: one clear sentence.
#pragma once

#include "imaqsim/export.h"

#include <stdexcept>
#include <string>

namespace imaqsim {

class IMAQSIM_API HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace imaqsim
