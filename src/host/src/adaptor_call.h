// Calls into the adaptor may throw anything, a bare status code included;
// the host turns each into one HostError that says what it was doing.
#pragma once

#include "imaqhost/host_error.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

namespace imaqhost {

inline std::string describeStatus(std::int32_t status)
{
    char text[64];
    std::snprintf(text, sizeof text, "status %d (0x%08X)", static_cast<int>(status),
                  static_cast<unsigned>(status));
    return text;
}

template <class Call>
decltype(auto) callAdaptor(const std::string& what, Call&& call)
{
    try {
        return call();
    } catch (const HostError&) {
        throw;
    } catch (std::int32_t status) {
        throw HostError(what + " failed: the adaptor raised " + describeStatus(status) + ".");
    } catch (const std::exception& error) {
        throw HostError(what + " failed: " + error.what());
    } catch (...) {
        throw HostError(what + " failed: the adaptor raised an unknown exception.");
    }
}

} // namespace imaqhost
