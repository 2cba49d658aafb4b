// One line of text for whatever failure is in flight.
#pragma once

#include <string>

namespace orximaq {

// Call only inside a catch block. Knows standard exceptions and the camera
// library's status exceptions (a bare 32-bit status).
std::string currentFailureText();

} // namespace orximaq
