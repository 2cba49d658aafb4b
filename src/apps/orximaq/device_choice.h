// Choosing a device and format from the user's texts and opening them.
#pragma once

#include "host_context.h"

#include <memory>
#include <optional>
#include <string>

namespace orximaq {

struct OpenedDevice {
    imaqhost::DeviceRecord device;
    imaqhost::FormatRecord format;
    std::unique_ptr<imaqhost::VideoInput> input;
};

// Device and format each by ID (digits) or by name; no format means the
// device's first one. Throws CliError (or the host's error) naming what is
// unknown. The warnings of the discovery this takes are dropped: they concern
// the other devices, and `devices` shows them.
OpenedDevice openDevice(HostContext& host, const std::string& device,
                        const std::optional<std::string>& format);

} // namespace orximaq
