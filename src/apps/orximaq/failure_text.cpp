#include "failure_text.h"

#include "platform/vexlib.h"

#include <cstdio>
#include <exception>

namespace orximaq {

std::string currentFailureText()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (Vexlib::StatusCode status) {
        char text[80];
        std::snprintf(text, sizeof text, "the camera library failed with status 0x%08X",
                      static_cast<unsigned>(status));
        return text;
    } catch (...) {
        return "an unexpected failure";
    }
}

} // namespace orximaq
