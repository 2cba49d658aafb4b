// The error the host reports to its user: one clear sentence.
#pragma once

#include "imaqhost/export.h"

#include <stdexcept>
#include <string>

namespace imaqhost {

class IMAQHOST_API HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace imaqhost
