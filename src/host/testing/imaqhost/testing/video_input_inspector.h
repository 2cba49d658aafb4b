// What tests and diagnostics see of a video input beyond its API: the adaptor
// object itself, the host's record of the adaptor's property listeners, and
// frames handed over while no acquisition was active.
#pragma once

#include "imaqhost/export.h"
#include "imaqhost/video_input.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace imaqkit {
class IAdaptor;
}

namespace imaqhost {

class IMAQHOST_API VideoInputInspector {
public:
    explicit VideoInputInspector(VideoInput& input) noexcept : input_(input) {}

    // The adaptor object, for tests that call its slots directly.
    imaqkit::IAdaptor& adaptor() const;
    // Makes later listener registrations see isDeviceSpecific() == false.
    void setDeviceSpecific(const std::string& name, bool deviceSpecific) const;
    bool hasCustomGetFunction(const std::string& name) const;
    std::size_t postSetListenerCount(const std::string& name) const;
    // Frames the adaptor handed over while no acquisition was active.
    std::int64_t framesOutsideAcquisition() const;

private:
    VideoInput& input_;
};

inline VideoInputInspector inspect(VideoInput& input) noexcept
{
    return VideoInputInspector(input);
}

} // namespace imaqhost
