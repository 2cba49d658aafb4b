#include "commands/acquire_command.h"

#include "acquisition_run.h"
#include "cli_error.h"
#include "device_choice.h"
#include "commands/devices_command.h"
#include "failure_text.h"
#include "interrupts.h"
#include "output/output_folder.h"
#include "progress_bar.h"
#include "property_settings.h"
#include "report_json.h"
#include "text_parsing.h"

#include <iostream>

namespace orximaq {
namespace {

// The smallest region the adaptor applies, found by asking for one pixel;
// the full image is restored after. None when even that is refused.
std::optional<imaqhost::Region> smallestRegion(imaqhost::VideoInput& input)
{
    try {
        input.setRegion({0, 0, 1, 1});
        const auto smallest = input.region();
        input.setRegion({0, 0, input.maxWidth(), input.maxHeight()});
        return smallest;
    } catch (...) {
        return std::nullopt;
    }
}

// Why a region was refused: the bounds of the image and, for a camera that
// rounds to its steps and raises a region to its smallest size, what that
// leaves for the offsets.
std::string regionBounds(imaqhost::VideoInput& input)
{
    const std::int32_t width = input.maxWidth();
    const std::int32_t height = input.maxHeight();
    std::string text = "a region must lie within the " + std::to_string(width) + "x" + std::to_string(height) +
                       " image (X+W at most " + std::to_string(width) + ", Y+H at most " + std::to_string(height) + ")";
    const auto smallest = smallestRegion(input);
    if (smallest && (smallest->width > 1 || smallest->height > 1))
        text += "; this camera rounds offsets and sizes down to its steps and makes a region at least " +
                std::to_string(smallest->width) + "x" + std::to_string(smallest->height) +
                ", so X may be at most " + std::to_string(width - smallest->width) + " and Y at most " +
                std::to_string(height - smallest->height);
    return text;
}

imaqhost::Region applyRegion(imaqhost::VideoInput& input, const imaqhost::Region& region)
{
    try {
        input.setRegion(region);
    } catch (...) {
        const std::string refusal = currentFailureText();
        throw CliError("--roi " + formatRegion(region) + ": " + refusal + " (" + regionBounds(input) + ")", "region");
    }
    return input.region();
}

struct Request {
    std::vector<PropertySetting> settings;
    std::optional<imaqhost::Region> region;
};

// A day: longer runs are better split, and it keeps the deadline arithmetic finite.
constexpr double kLongestDuration = 86400.0;

// Everything that can be checked without a camera, before one is opened.
Request checkRequest(const AcquireOptions& options)
{
    if (options.duration && !(*options.duration > 0.0 && *options.duration <= kLongestDuration))
        throw CliError("--duration must be more than 0 and at most " + std::to_string(kLongestDuration) +
                       " seconds, not " + std::to_string(*options.duration), "argument");
    checkFrameCount(options.frames);
    if (!outputFormatAvailable(options.outputFormat))
        throw CliError(std::string("--output-format ") + outputFormatName(options.outputFormat) +
                       ": this build cannot write it", "argument");
    Request request;
    request.settings = parseSettings(options.settings);
    if (options.region)
        request.region = parseRegion(*options.region);
    return request;
}

} // namespace

int runAcquire(const GlobalOptions& global, NoticeLog& log, const AcquireOptions& options)
{
    const Request request = checkRequest(options);
    const OutputFolder folder(options.folder);
    const InterruptGuard interrupts;

    HostContext host(global, log);
    auto opened = openDevice(host, options.device, options.format);
    const auto applied = applySettings(*opened.input, request.settings);
    const auto region = request.region ? std::optional(applyRegion(*opened.input, *request.region)) : std::nullopt;

    const bool showProgress = !options.json && standardOutputIsTerminal();
    const auto result = acquireInto(*opened.input, options.folder, options.frames, showProgress, options.outputFormat,
                                    options.duration, host.paintsTestPattern(opened.device.name),
                                    {WriterPool::defaultThreads(), options.pngLevel});
    opened.input.reset();
    const Notices notices = host.takeNotices();

    if (options.json) {
        Json document{{"device", deviceJson(opened.device)},
                      {"format", formatJson(opened.format)},
                      {"settings", settingsJson(applied)},
                      {"region",
                       {{"requested", request.region ? regionJson(*request.region) : Json(nullptr)},
                        {"applied", regionJson(result.region)}}}};
        document.update(acquisitionJson(result));
        addNotices(document, notices);
        printJson(std::cout, document);
    } else {
        std::cout << "Device " << opened.device.id << " \"" << opened.device.name << "\", format "
                  << opened.format.id << " \"" << opened.format.name << "\"\n";
        printSettings(std::cout, applied);
        if (region)
            std::cout << "  region:           asked " << formatRegion(*request.region) << ", applied "
                      << formatRegion(*region) << '\n';
        printAcquisition(std::cout, result);
        printNotices(std::cout, notices);
    }
    if (result.interrupt != 0)
        return interruptExitCode(result.interrupt);
    if (!result.succeeded())
        throw CliError(result.failure(), result.writeFailed ? "output" : "acquisition");
    return 0;
}

} // namespace orximaq
