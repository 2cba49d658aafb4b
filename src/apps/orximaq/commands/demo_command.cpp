#include "commands/demo_command.h"

#include "interrupts.h"

#include "acquisition_run.h"
#include "cli_error.h"
#include "output/contact_sheet.h"
#include "device_choice.h"
#include "commands/devices_command.h"
#include "failure_text.h"
#include "output/output_folder.h"
#include "output/png_writer.h"
#include "progress_bar.h"
#include "text_parsing.h"
#include "vexcam/format_text.h"

#include <iostream>

#include <algorithm>
#include <span>

namespace orximaq {
namespace {

void printNewNotices(HostContext& host, std::ostream& out)
{
    for (const auto& line : noticeLines(host.takeNotices()))
        out << "  warning: " << line << '\n';
}

// A format worth showing: the largest that fits in 1280 x 1024, else the first.
const imaqhost::FormatRecord& demoFormat(const imaqhost::DeviceRecord& device)
{
    const imaqhost::FormatRecord* best = &device.formats.front();
    long bestArea = 0;
    for (const auto& format : device.formats) {
        const auto named = vexcam::parseFormatText(format.name);
        if (!named || named->size.cx > 1280 || named->size.cy > 1024) continue;
        const long area = long{named->size.cx} * named->size.cy;
        if (area > bestArea) {
            best = &format;
            bestArea = area;
        }
    }
    return *best;
}

struct CameraFrame {
    std::int32_t deviceId = 0;
    std::string deviceName;
    std::string formatName;
    Image image;
};

std::optional<CameraFrame> tourCamera(HostContext& host, const imaqhost::DeviceRecord& device,
                                      const std::filesystem::path& demoFolder, const DemoOptions& options)
{
    const auto folder = demoFolder / (std::to_string(device.id) + "-" + sanitisedName(device.name));
    std::cout << "\nCamera " << device.id << " \"" << device.name << "\"";
    if (device.formats.empty()) {
        std::cout << ": skipped, it offers no formats\n";
        return std::nullopt;
    }
    const auto& format = demoFormat(device);
    std::cout << ", format " << format.id << " \"" << format.name << "\"\n";
    try {
        const OutputFolder cameraFolder(folder);
        auto opened = openDevice(host, std::to_string(device.id), std::to_string(format.id));
        const auto result = acquireInto(*opened.input, folder, options.frames, standardOutputIsTerminal(),
                                        options.outputFormat, std::nullopt, host.paintsTestPattern(device.name),
                                        {imaqhost::WriterPool::defaultThreads(), options.pngLevel});
        opened.input.reset();
        printAcquisition(std::cout, result);
        if (!result.succeeded() && result.interrupt == 0)
            std::cout << "  failed: " << result.failure() << '\n';
        if (result.firstImage)
            return CameraFrame{device.id, device.name, format.name, *result.firstImage};
    } catch (...) {
        std::cout << "  skipped: " << currentFailureText() << '\n';
    }
    return std::nullopt;
}

// The devices the tour leaves out, named so that they can be acquired one by one.
void printNotToured(std::ostream& out, const std::vector<imaqhost::DeviceRecord>& devices, std::size_t toured)
{
    if (devices.size() <= toured)
        return;
    constexpr std::size_t kNamed = 32;
    out << "\nNot toured (--max-cameras " << toured << "): " << devices.size() - toured << " of "
        << devices.size() << " cameras\n";
    for (std::size_t i = toured; i < devices.size() && i < toured + kNamed; ++i)
        out << "  " << devices[i].id << " \"" << devices[i].name << "\"\n";
    if (devices.size() > toured + kNamed)
        out << "  ... and " << devices.size() - toured - kNamed << " more (orximaq devices lists them all)\n";
}

std::string tileOrder(const std::vector<CameraFrame>& frames)
{
    std::string order;
    for (const auto& frame : frames)
        order += (order.empty() ? "" : ", ") + std::to_string(frame.deviceId);
    return order;
}

} // namespace

int runDemo(const GlobalOptions& global, NoticeLog& log, const DemoOptions& options)
{
    checkFrameCount(options.frames);
    if (options.maxCameras < 1 || options.maxCameras > kMostDemoCameras)
        throw CliError("--max-cameras must be from 1 to " + std::to_string(kMostDemoCameras) + ", not " +
                           std::to_string(options.maxCameras),
                       "argument");
    if (!outputFormatAvailable(options.outputFormat))
        throw CliError(std::string("--output-format ") + outputFormatName(options.outputFormat) +
                       ": this build cannot write it", "argument");
    const OutputFolder folder(options.folder);
    folder.reportLeftovers(std::cerr);
    const std::filesystem::path& demoFolder = folder.path();

    HostContext host(global, log);
    const auto devices = listedDevices(host.session().discover());
    printDevices(std::cout, devices);
    printNewNotices(host, std::cout);

    const InterruptGuard interrupts;
    std::vector<CameraFrame> firstFrames;
    const auto toured = std::min(devices.size(), static_cast<std::size_t>(options.maxCameras));
    for (const auto& device : std::span(devices).first(toured)) {
        if (auto frame = tourCamera(host, device, demoFolder, options))
            firstFrames.push_back(std::move(*frame));
        printNewNotices(host, std::cout);
        // Ctrl-C ends the tour after the camera it stopped; the sheet is not made.
        if (const int signal = pendingInterrupt()) {
            std::cout << "\nDemo interrupted; the files written so far are in " << demoFolder.string() << '\n';
            return interruptExitCode(signal);
        }
    }
    printNotToured(std::cout, devices, toured);
    if (firstFrames.empty())
        throw CliError("no camera delivered frames; nothing written to " + demoFolder.string(), "acquisition");

    std::vector<ContactTile> tiles;
    for (const auto& frame : firstFrames)
        tiles.push_back({frame.image,
                         {"#" + std::to_string(frame.deviceId) + " " + frame.deviceName, frame.formatName,
                          "frame 1 of " + std::to_string(options.frames)}});
    const auto sheet = demoFolder / kContactSheetName;
    const std::string title = "ORXImaq demo: first frames of " + std::to_string(tiles.size()) +
                              (tiles.size() == 1 ? " camera" : " cameras");
    writePng(sheet, makeContactSheet(tiles, title));
    std::cout << "\nContact sheet: " << sheet.string() << " (first frames of devices " << tileOrder(firstFrames)
              << ")\n"
              << "Demo written to " << demoFolder.string() << '\n';
    return 0;
}

} // namespace orximaq
