// orximaq: a command-line host for the ORXImaq adaptor. It loads the adaptor
// module at run time and drives it through the host runtime exactly as
// the image-acquisition host would.
#include "commands/acquire_command.h"
#include "cli_error.h"
#include "commands/demo_command.h"
#include "commands/devices_command.h"
#include "failure_text.h"
#include "common/resource_counts.h"
#include "report_json.h"
#include "notices.h"
#include "commands/properties_command.h"

#include <CLI/CLI.hpp>

#include <map>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>
#include <functional>
#include <optional>
#include <string>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitLeak = 3;

void printError(const std::string& message)
{
    std::fprintf(stderr, "orximaq: error: %s\n", message.c_str());
}

// With --json a failure is a document too, unless the run printed its own.
void printErrorDocument(const std::string& message, const std::string& kind)
{
    if (orximaq::jsonDocumentPrinted())
        return;
    orximaq::printJson(std::cout, {{"error", {{"message", message}, {"kind", kind}}}});
}

// The kind of the failure being handled, for the JSON error document.
std::string currentFailureKind()
{
    try {
        throw;
    } catch (const orximaq::CliError& error) {
        return error.kind();
    } catch (...) {
        return "error";
    }
}

bool askedForJson(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--json")
            return true;
    return false;
}

// Everything printed must have reached standard output: lost output (a full
// disk, a closed pipe) is a failure, not a success.
bool standardOutputFailed(std::string& reason)
{
    errno = 0;
    std::cout.flush();
    const bool failed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout);
    if (failed)
        reason = errno != 0 ? std::strerror(errno) : "write error";
    return failed;
}

void printLeftoverNotices(orximaq::NoticeLog& log)
{
    const auto notices = log.take();
    for (const auto& box : notices.boxes)
        std::fprintf(stderr, "orximaq: message box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    for (const auto& warning : notices.warnings)
        std::fprintf(stderr, "orximaq: warning: %s\n", warning.message.c_str());
}

constexpr const char* kCommandNames[] = {"devices", "properties", "acquire", "demo"};

// The first word that is neither an option nor an option's value, when it
// names no command; CLI11 would only say that a command is missing.
std::optional<std::string> unknownCommand(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--rig" || word == "--adaptor" || word == "--genicam" || word == "--gstreamer") {
            ++i;
            continue;
        }
        if (word.starts_with("-"))
            continue;
        for (const char* name : kCommandNames)
            if (word == name)
                return std::nullopt;
        return word;
    }
    return std::nullopt;
}

// --png-level for a command that writes frames.
void addPngLevel(CLI::App& command, int& level)
{
    command
        .add_option("--png-level", level,
                    "zlib compression level of PNG frames: 0 (none, fastest) to 9 (smallest, slowest).")
        ->check(CLI::Range(0, 9))
        ->type_name("0-9")
        ->capture_default_str();
}

// --output-format for a command that writes frames.
void addOutputFormat(CLI::App& command, orximaq::OutputFormat& format)
{
    static const std::map<std::string, orximaq::OutputFormat> formats{
        {"png", orximaq::OutputFormat::Png}, {"tiff", orximaq::OutputFormat::Tiff}, {"raw", orximaq::OutputFormat::Raw}};
    command
        .add_option("--output-format", format,
                    "File format of the frames: png (default; 16-bit grey kept), tiff (uncompressed, every sample "
                    "kept exactly) or raw (the bytes as delivered, described by frames.json).")
        ->transform(CLI::CheckedTransformer(formats, CLI::ignore_case))
        ->type_name("png|tiff|raw");
}

struct Commands {
    orximaq::GlobalOptions global;
    orximaq::DevicesOptions devices;
    orximaq::PropertiesOptions properties;
    orximaq::AcquireOptions acquire;
    orximaq::DemoOptions demo;
    std::function<int(orximaq::NoticeLog&)> run;

    bool json() const { return devices.json || properties.json || acquire.json; }
};

void addGlobalOptions(CLI::App& app, Commands& commands)
{
    app.add_option("--rig", commands.global.rigFile,
                   "Simulated cameras to use: a JSON rig file (see docs/rig-format.md), installed before "
                   "the adaptor starts. Default: the file named by ORX_SIM_RIG, else the built-in rig.")
        ->type_name("FILE");
    app.add_option("--genicam", commands.global.genicam,
                   "GenICam cameras to list after the rig's: the Aravis interfaces to search, comma-separated "
                   "(Fake, GigEVision, USB3Vision; see docs/genicam.md). Default: ORX_GENICAM.")
        ->type_name("INTERFACES");
    app.add_option("--gstreamer", commands.global.gstreamer,
                   "A GStreamer pipeline to list as a device after the rig's, in gst-launch syntax, e.g. "
                   "\"v4l2src device=/dev/video0\" (repeatable; see docs/gstreamer.md). Default: "
                   "ORX_GSTREAMER_PIPELINES.")
        ->type_name("PIPELINE")
        ->allow_extra_args(false);
    app.add_option("--adaptor", commands.global.adaptorPath,
                   "The adaptor module to load. Default: ORXImaq.so (ORXImaq.dll on Windows) in the folder "
                   "of this program.")
        ->type_name("PATH");
    // For tests: fail when any host, camera or COM resource is still held at the end.
    app.add_flag("--check-leaks", commands.global.checkLeaks)->group("");
}

void addDevices(CLI::App& app, Commands& commands)
{
    auto* command = app.add_subcommand("devices", "List every device the adaptor reports, with its formats.");
    command->add_flag("--json", commands.devices.json, "Print one JSON document instead of text.");
    command->callback([&commands] {
        commands.run = [&commands](orximaq::NoticeLog& log) {
            return orximaq::runDevices(commands.global, log, commands.devices);
        };
    });
}

void addProperties(CLI::App& app, Commands& commands)
{
    auto* command = app.add_subcommand(
        "properties", "Show a device's properties (type, constraint, read-only mode, current value) and its "
                      "video sources, read through a live adaptor object.");
    command->add_option("DEVICE", commands.properties.device, "Device ID or name, as `devices` lists it.")
        ->required();
    command->add_option("FORMAT", commands.properties.format,
                        "Format ID or name, as `devices` lists it. Default: the device's first format.");
    command->add_option("--set", commands.properties.settings,
                        "Set a device property first, then list them all; may be repeated.")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    command->add_flag("--json", commands.properties.json, "Print one JSON document instead of text.");
    command->callback([&commands] {
        commands.run = [&commands](orximaq::NoticeLog& log) {
            return orximaq::runProperties(commands.global, log, commands.properties);
        };
    });
}

// Triggering, colour space, frame memory and the host's log file for `acquire`.
void addEngineOptions(CLI::App& command, orximaq::EngineOptions& engine, CLI::Option* frames)
{
    const auto text = [&command](const char* name, std::optional<std::string>& value, const char* help,
                                 const char* type) {
        return command.add_option(name, value, help)->type_name(type);
    };
    text("--trigger", engine.trigger,
         "immediate (default): frames are logged from the start; manual: each Enter (standard input on a "
         "terminal) or SIGUSR1 (not on Windows) fires a trigger.",
         "immediate|manual");
    text("--frames-per-trigger", engine.framesPerTrigger,
         "Frames each trigger logs (at least 1, or inf). Default: -n.", "N|inf")
        ->excludes(frames);
    text("--trigger-repeat", engine.triggerRepeat,
         "Triggers after the first (0 or more, or inf); the run ends by itself after the last.", "N|inf");
    text("--frame-delay", engine.frameDelay, "Camera frames to skip after each trigger before logging.", "N");
    text("--grab-interval", engine.grabInterval, "Log every K-th camera frame (at least 1).", "K");
    text("--color-space", engine.colorSpace,
         "Colour space of the frame files: rgb, grayscale, ycbcr (Y, Cb, Cr written as three channels) or "
         "bayer:gbrg|grbg|bggr|rggb (a grey format demosaiced).",
         "SPACE");
    text("--memory-limit", engine.memoryLimit,
         "Bytes of frames the host may hold at once (K, M or G suffix allowed); frames beyond are overruns.",
         "BYTES");
    text("--push", engine.push,
         "Push the camera's button property NAME at each Enter (standard input on a terminal) or SIGUSR1, e.g. "
         "a camera's own software trigger: --set Trigger=Enable --push TriggerSoftwareTrigger. The run waits "
         "for pushes without a time limit.",
         "NAME");
    command.add_option("--log", engine.log,
                       "Also log every frame into one FILE through the host's disk logger: tiff-stack (one page "
                       "per frame) or avi. Without -o, only this file is written.")
        ->expected(2)
        ->type_name("FORMAT FILE")
        ->allow_extra_args(false);
}

void addAcquire(CLI::App& app, Commands& commands)
{
    auto& options = commands.acquire;
    auto* command = app.add_subcommand(
        "acquire", "Acquire frames from a device in a format and write them as PNG files "
                   "(frame-0001.png, ...; or TIFF or raw, see --output-format), then print a summary.");
    command->add_option("DEVICE", options.device, "Device ID or name, as `devices` lists it.")->required();
    command->add_option("FORMAT", options.format, "Format ID or name, as `devices` lists it.")->required();
    auto* frames = command->add_option("-n,--frames", options.frames, "Number of frames to acquire (at least 1); with --trigger, frames per trigger.")
                       ->capture_default_str();
    command->add_option("--duration", options.duration,
                        "Acquire for this many seconds instead of a number of frames (more than 0, at most a day).")
        ->type_name("SECONDS")
        ->excludes(frames);
    auto* output = command->add_option("-o,--output", options.folder,
                                       "Folder for the frame files; created when missing. With --log and "
                                       "without -o no frame files are written.")
                       ->type_name("DIR")
                       ->capture_default_str();
    command->add_option("--set", options.settings,
                        "Set a device property before acquiring; may be repeated. Enumerations take the "
                        "value's text (e.g. --set FrameRate=15.00).")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    command->add_option("--roi", options.region,
                        "Region of interest in pixels. The summary shows the region the adaptor applied.")
        ->type_name("X,Y,W,H");
    addOutputFormat(*command, options.outputFormat);
    addPngLevel(*command, options.pngLevel);
    addEngineOptions(*command, options.engine, frames);
    command->add_flag("--json", options.json, "Print one JSON document instead of text (no progress bar).");
    command->callback([&commands, output] {
        commands.acquire.folderGiven = output->count() > 0;
        commands.run = [&commands](orximaq::NoticeLog& log) {
            return orximaq::runAcquire(commands.global, log, commands.acquire);
        };
    });
}

void addDemo(CLI::App& app, Commands& commands)
{
    auto* command = app.add_subcommand(
        "demo", "The tour: list the devices, acquire a few frames from each camera (in its largest format up to "
                "1280x1024) into its own folder, and make a contact sheet of their first frames.");
    command->add_option("-o,--output", commands.demo.folder, "Folder for the tour's files.")
        ->type_name("DIR")
        ->capture_default_str();
    command->add_option("-n,--frames", commands.demo.frames, "Frames per camera (at least 1).")
        ->capture_default_str();
    command->add_option("--max-cameras", commands.demo.maxCameras,
                        "Tour at most this many cameras, in device order (1 to 64); the others are listed.")
        ->type_name("N")
        ->capture_default_str();
    addOutputFormat(*command, commands.demo.outputFormat);
    addPngLevel(*command, commands.demo.pngLevel);
    command->callback([&commands] {
        commands.run = [&commands](orximaq::NoticeLog& log) {
            return orximaq::runDemo(commands.global, log, commands.demo);
        };
    });
}

int runCommand(Commands& commands)
{
    const auto countsBefore = orx::apps::resourceCounts();
    int status = kExitFailure;
    {
        orximaq::NoticeLog log;
        try {
            status = commands.run(log);
            printLeftoverNotices(log);
        } catch (...) {
            const std::string failure = orximaq::currentFailureText();
            const std::string kind = currentFailureKind();
            printLeftoverNotices(log);
            printError(failure);
            if (commands.json())
                printErrorDocument(failure, kind);
            status = kExitFailure;
        }
    }
    if (commands.global.checkLeaks) {
        const std::string leaks = orx::apps::leakReport(countsBefore, orx::apps::resourceCounts());
        if (!leaks.empty()) {
            printError("resources still held at exit: " + leaks);
            return kExitLeak;
        }
    }
    return status;
}

// The exit code, after checking that standard output took everything.
int finish(int status)
{
    std::string reason;
    if (!standardOutputFailed(reason))
        return status;
    printError("cannot write to standard output: " + reason);
    return status == 0 ? kExitFailure : status;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"orximaq: drives the ORXImaq camera adaptor from the command line, as the image-acquisition "
                 "host does: lists devices and properties, acquires frames into PNG files.",
                 "orximaq"};
    app.footer("Examples:\n"
               "  orximaq demo\n"
               "  orximaq devices --json\n"
               "  orximaq properties 1\n"
               "  orximaq acquire 2 \"Y800 (1280x960)\" -n 20 --set Gain=8 --roi 0,0,320,240 -o frames");
    app.require_subcommand(1);
    app.fallthrough();
    Commands commands;
    addGlobalOptions(app, commands);
    addDevices(app, commands);
    addProperties(app, commands);
    addAcquire(app, commands);
    addDemo(app, commands);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help and version requests arrive as "errors" with exit code 0.
        if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
            return finish(app.exit(error));
        const auto unknown = unknownCommand(argc, argv);
        const std::string message = unknown ? "unknown command \"" + *unknown +
                                                  "\" (choose devices, properties, acquire or demo)"
                                            : std::string(error.what());
        printError(message);
        if (askedForJson(argc, argv))
            printErrorDocument(message, "usage");
        return finish(kExitUsage);
    }
    return finish(runCommand(commands));
}
