#include "device_choice.h"

#include "cli_error.h"

#include "imaqhost/host_error.h"

namespace orximaq {

OpenedDevice openDevice(HostContext& host, const std::string& device, const std::optional<std::string>& format)
{
    auto& session = host.session();
    session.discover();
    host.takeNotices();
    OpenedDevice opened;
    try {
        opened.device = session.resolveDevice(imaqhost::parseRef(device));
        if (format)
            opened.format = session.resolveFormat(opened.device, imaqhost::parseRef(*format));
    } catch (const imaqhost::HostError& error) {
        throw CliError(error.what(), "device");
    }
    if (!format) {
        const auto formats = opened.device.addedFormats();
        if (formats.empty())
            throw CliError("device " + std::to_string(opened.device.id) + " \"" + opened.device.name +
                           "\" offers no formats", "device");
        opened.format = formats.front();
    }
    opened.input = session.open(opened.device.id, opened.format.id);
    return opened;
}

} // namespace orximaq
