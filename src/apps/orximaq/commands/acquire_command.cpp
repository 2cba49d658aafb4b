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

#include "imaqhost/host_error.h"
#include "platform/imaqkit.h"

#include <algorithm>
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
    EngineRequest engine;
    bool writeFiles = true;
};

// The log file's folder must exist and the name must not be a folder; the
// host creates the file itself (refusing a symbolic link) at the start.
void checkLogFile(const std::string& format, const std::string& path)
{
    const std::filesystem::path file(path);
    std::error_code error;
    if (std::filesystem::is_directory(file, error))
        throw CliError("--log " + format + " " + path + ": is a folder, not a file", "argument");
    const auto parent = file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    if (!std::filesystem::is_directory(parent, error))
        throw CliError("--log " + format + " " + path + ": the folder " + parent.string() + " does not exist", "argument");
}

// The property --push names must be a button: an enumeration with a "Push" entry.
void checkPushable(imaqhost::VideoInput& input, const std::string& name)
{
    const std::string argument = "--push " + name;
    if (!input.hasProperty(name))
        throw CliError(argument + ": the device has no property \"" + name + "\"", "setting");
    const auto description = input.describe(name);
    const auto& values = description.enumValues;
    const bool button = description.type == imaqhost::PropertyType::Enumeration &&
                        std::any_of(values.begin(), values.end(), [](const auto& value) { return value.text == "Push"; });
    if (!button)
        throw CliError(argument + ": \"" + name + "\" is not a button (it has no value Push)", "setting");
}

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
    request.engine = parseEngineRequest(options.engine, options.frames, options.duration.has_value());
    request.writeFiles = !request.engine.log || options.folderGiven;
    if (request.engine.log)
        checkLogFile(imaqhost::toString(request.engine.log->format), request.engine.log->path);
    return request;
}

// The colour space frames come out in; 16-bit colour has no frame file format here.
void applyColor(imaqhost::VideoInput& input, const ColorRequest& color, const Request& request)
{
    try {
        input.setColorSpace(color.space, color.alignment);
    } catch (const imaqhost::HostError& error) {
        throw CliError("--color-space " + color.text + ": " + error.what(), "argument");
    }
    const bool wide = input.frameType() == imaqkit::kMono16 && color.space != imaqhost::ColorSpace::Grayscale;
    if (wide && request.writeFiles)
        throw CliError("--color-space " + color.text + ": gives 16-bit colour frames from this format, "
                       "which cannot be written as frame files", "argument");
}

// The smallest a frame can be: one byte per sample of the region.
void checkMemoryLimit(imaqhost::VideoInput& input, std::size_t limit)
{
    const auto region = input.region();
    const std::size_t frame = static_cast<std::size_t>(region.width) * static_cast<std::size_t>(region.height) *
                              static_cast<std::size_t>(std::max(input.returnedBands(), 1));
    if (limit < frame)
        throw CliError("--memory-limit " + std::to_string(limit) + ": one " + std::to_string(region.width) + "x" +
                           std::to_string(region.height) + " frame needs at least " + std::to_string(frame) +
                           " bytes",
                       "argument");
}

void applyEngine(HostContext& host, imaqhost::VideoInput& input, const Request& request)
{
    const auto& engine = request.engine;
    if (engine.color)
        applyColor(input, *engine.color, request);
    if (engine.memoryLimit) {
        checkMemoryLimit(input, *engine.memoryLimit);
        host.session().setMemoryLimit(*engine.memoryLimit);
    }
    if (engine.log) {
        const auto mode = request.writeFiles ? imaqhost::LoggingMode::DiskAndMemory : imaqhost::LoggingMode::Disk;
        try {
            input.setLogging(mode, imaqhost::DiskLogSettings{engine.log->format, engine.log->path, {}});
        } catch (const imaqhost::HostError& error) {
            throw CliError("--log " + std::string(imaqhost::toString(engine.log->format)) + " " + engine.log->path +
                               ": " + error.what(),
                           "argument");
        }
    }
}

Json engineJson(const imaqhost::VideoInput& input, const Request& request)
{
    return {{"colorSpace", imaqhost::toString(input.colorSpace())},
            {"bayerAlignment", request.engine.color && request.engine.color->space == imaqhost::ColorSpace::Bayer
                                   ? Json(imaqhost::toString(input.bayerAlignment()))
                                   : Json(nullptr)},
            {"bands", input.returnedBands()},
            {"memoryLimit", request.engine.memoryLimit ? Json(*request.engine.memoryLimit) : Json(nullptr)}};
}

} // namespace

int runAcquire(const GlobalOptions& global, NoticeLog& log, const AcquireOptions& options)
{
    const Request request = checkRequest(options);
    const std::optional<OutputFolder> folder =
        request.writeFiles ? std::optional<OutputFolder>(std::in_place, options.folder) : std::nullopt;
    if (folder)
        folder->reportLeftovers(std::cerr);
    const InterruptGuard interrupts;

    HostContext host(global, log);
    auto opened = openDevice(host, options.device, options.format);
    const auto applied = applySettings(*opened.input, request.settings);
    if (request.engine.push)
        checkPushable(*opened.input, *request.engine.push);
    const auto region = request.region ? std::optional(applyRegion(*opened.input, *request.region)) : std::nullopt;
    const auto nativeSpace = opened.input->colorSpace();
    applyEngine(host, *opened.input, request);
    const Json engine = engineJson(*opened.input, request);
    // Converted frames no longer show the camera's pattern as painted.
    const bool testPattern =
        host.paintsTestPattern(opened.device.name) && opened.input->colorSpace() == nativeSpace;

    const bool showProgress = !options.json && standardOutputIsTerminal();
    const auto result = acquireInto(*opened.input, options.folder, options.frames, showProgress, options.outputFormat,
                                    options.duration, testPattern, {imaqhost::WriterPool::defaultThreads(), options.pngLevel},
                                    {&request.engine, request.writeFiles});
    opened.input.reset();
    const Notices notices = host.takeNotices();

    if (options.json) {
        Json document{{"device", deviceJson(opened.device)},
                      {"format", formatJson(opened.format)},
                      {"settings", settingsJson(applied)},
                      {"region",
                       {{"requested", request.region ? regionJson(*request.region) : Json(nullptr)},
                        {"applied", regionJson(result.region)}}}};
        document.update(engine);
        document.update(acquisitionJson(result));
        if (request.engine.color && request.engine.color->space == imaqhost::ColorSpace::YCbCr &&
            document["output"].contains("colour"))
            document["output"]["colour"] = "ycbcr";
        addNotices(document, notices);
        printJson(std::cout, document);
    } else {
        std::cout << "Device " << opened.device.id << " \"" << opened.device.name << "\", format "
                  << opened.format.id << " \"" << opened.format.name << "\"\n";
        printSettings(std::cout, applied);
        if (region)
            std::cout << "  region:           asked " << formatRegion(*request.region) << ", applied "
                      << formatRegion(*region) << '\n';
        if (request.engine.color)
            std::cout << "  colour space:     " << engine["colorSpace"].get<std::string>()
                      << (request.engine.color->space == imaqhost::ColorSpace::Bayer
                              ? " (demosaiced from " + engine["bayerAlignment"].get<std::string>() + ")"
                              : std::string())
                      << ", " << engine["bands"].get<int>() << " bands\n";
        if (request.engine.memoryLimit)
            std::cout << "  memory limit:     " << *request.engine.memoryLimit << " bytes\n";
        printAcquisition(std::cout, result);
        printNotices(std::cout, notices);
    }
    if (result.interrupt != 0)
        return interruptExitCode(result.interrupt);
    if (!result.succeeded())
        throw CliError(result.failure(),
                       result.writeFailed || !result.stats.diskError.empty() ? "output" : "acquisition");
    return 0;
}

} // namespace orximaq
