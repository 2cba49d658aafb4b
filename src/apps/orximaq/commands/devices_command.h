// `orximaq devices`: what the adaptor's discovery reports.
#pragma once

#include "host_context.h"
#include "report_json.h"

#include <iosfwd>
#include <vector>

namespace orximaq {

struct DevicesOptions {
    bool json = false;
};

int runDevices(const GlobalOptions& global, NoticeLog& log, const DevicesOptions& options);

// The devices the adaptor added, each with the formats it added.
std::vector<imaqhost::DeviceRecord> listedDevices(const std::vector<imaqhost::DeviceRecord>& records);

void printDevices(std::ostream& out, const std::vector<imaqhost::DeviceRecord>& devices);
Json devicesJson(const std::vector<imaqhost::DeviceRecord>& devices);

// Prints notice lines under a "Warnings:" heading; nothing when there are none.
void printNotices(std::ostream& out, const Notices& notices);

} // namespace orximaq
