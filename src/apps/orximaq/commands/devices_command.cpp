#include "commands/devices_command.h"

#include <iomanip>
#include <iostream>

namespace orximaq {

std::vector<imaqhost::DeviceRecord> listedDevices(const std::vector<imaqhost::DeviceRecord>& records)
{
    std::vector<imaqhost::DeviceRecord> devices;
    for (const auto& record : records) {
        if (!record.added)
            continue;
        imaqhost::DeviceRecord device = record;
        device.formats = record.addedFormats();
        devices.push_back(std::move(device));
    }
    return devices;
}

void printDevices(std::ostream& out, const std::vector<imaqhost::DeviceRecord>& devices)
{
    if (devices.empty()) {
        out << "No devices.\n";
        return;
    }
    out << "Devices:\n";
    for (const auto& device : devices) {
        out << "  " << std::setw(3) << device.id << "  " << device.name << '\n';
        if (device.formats.empty())
            out << "         (no formats)\n";
        for (const auto& format : device.formats)
            out << "       " << std::setw(3) << format.id << "  " << format.name << '\n';
    }
}

Json devicesJson(const std::vector<imaqhost::DeviceRecord>& devices)
{
    Json list = Json::array();
    for (const auto& device : devices) {
        Json entry = deviceJson(device);
        Json formats = Json::array();
        for (const auto& format : device.formats)
            formats.push_back(formatJson(format));
        entry["formats"] = std::move(formats);
        list.push_back(std::move(entry));
    }
    return list;
}

void printNotices(std::ostream& out, const Notices& notices)
{
    if (notices.empty())
        return;
    out << "Warnings:\n";
    for (const auto& line : noticeLines(notices))
        out << "  " << line << '\n';
}

int runDevices(const GlobalOptions& global, NoticeLog& log, const DevicesOptions& options)
{
    HostContext host(global, log);
    const auto devices = listedDevices(host.session().discover());
    if (options.json) {
        Json document{{"adaptor", host.adaptorPath()}, {"devices", devicesJson(devices)}};
        addNotices(document, host.takeNotices());
        printJson(std::cout, document);
        return 0;
    }
    printDevices(std::cout, devices);
    printNotices(std::cout, host.takeNotices());
    return 0;
}

} // namespace orximaq
