// __orximaq__(COMMAND, ...): the one gateway between the package's Octave
// functions and the host runtime, a table of named commands. The video
// inputs acquire with the host's own background engine; the gateway's waits
// poll Octave's interrupt flag so that Ctrl-C ends them at once.
//
// Lifetime: once the host session is loaded the gateway locks itself in
// memory (no `clear` can unload the code that owns the host's threads) and
// has the interpreter run imaqreset and a built-in shutdown function of its
// own while it shuts down: every object is deleted and the session closed
// before Octave tears down anything. While
// inputs are open it also holds the videoinput class's constructor: `clear
// functions` and `clear all` would otherwise unregister the class, and the
// objects that live on would lose their methods.
#include "frame_copy.h"
#include "gateway_arguments.h"
#include "input_registry.h"
#include "octave_frames.h"
#include "polling_wait.h"
#include "property_values.h"

#include "imaqhost/testing/accounting.h"
#include "imaqhost/host_error.h"
#include "imaqhost/warnings.h"
#include "win32seam/testing/win32_seam.h"
#include "vexcam/com_objects.h"
#include "vexcam/vexcam.h"

#include <octave/oct.h>
#include <octave/interpreter.h>
#include <octave/ov-struct.h>
#include <octave/quit.h>
#include <octave/symtab.h>
#include <octave/ov-builtin.h>

#include <dlfcn.h>

#include <filesystem>
#include <map>

namespace {

using orxoct::fail;
using orxoct::InputRegistry;
using orxoct::OpenInput;

constexpr const char* kGatewayName = "__orximaq__";
// Octave calls these while it shuts down: a built-in function of the
// gateway's (found even when the package has left the path), and imaqreset.
constexpr const char* kShutdownBuiltin = "__orximaq_shutdown__";
constexpr const char* kShutdownFunctions[] = {kShutdownBuiltin, "imaqreset"};
constexpr const char* kObjectClass = "videoinput";

// Released by reset, before Octave's shutdown; never destroyed statically,
// when the interpreter it belongs to is gone.
octave_value* heldClass = nullptr;

void holdObjectClass(octave::interpreter& interp)
{
    if (heldClass == nullptr)
        heldClass = new octave_value(interp.get_symbol_table().find_function(kObjectClass));
}

void releaseObjectClass()
{
    delete heldClass;
    heldClass = nullptr;
}

InputRegistry& registry()
{
    static InputRegistry instance;
    return instance;
}

// The adaptor module lies beside this gateway, as it lies beside orximaq.
std::string moduleBesideGateway()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&moduleBesideGateway), &info) == 0 || info.dli_fname == nullptr)
        return {};
    return (std::filesystem::path(info.dli_fname).parent_path() / "ORXImaq.so").string();
}

// Adaptor warnings become Octave warnings with the adaptor's identifier.
void forwardWarnings()
{
    const auto pending = imaqhost::warnings();
    imaqhost::clearWarnings();
    for (const auto& warning : pending)
        warning_with_id(warning.identifier.empty() ? "ORXadaptor:warning" : warning.identifier.c_str(), "%s",
                        warning.message.c_str());
}

struct Call {
    octave::interpreter& interp;
    const octave_value_list& args;
    int nargout;
};

using Command = octave_value_list (*)(const Call&);

void shutdown(octave::interpreter& interp);

octave_value_list shutdownBuiltin(octave::interpreter& interp, const octave_value_list&, int)
{
    shutdown(interp);
    return octave_value_list();
}

void installShutdownBuiltin(octave::interpreter& interp)
{
    auto& symbols = interp.get_symbol_table();
    if (!symbols.is_built_in_function_name(kShutdownBuiltin))
        symbols.install_built_in_function(kShutdownBuiltin,
                                          octave_value(new octave_builtin(&shutdownBuiltin, kShutdownBuiltin)));
}

// The session holds the adaptor module and the camera library's threads:
// from the first use on, the gateway stays loaded and Octave's shutdown
// resets everything while the interpreter still runs.
imaqhost::Session& sessionFor(const Call& call)
{
    auto& gateway = registry();
    const bool fresh = !gateway.hasSession();
    imaqhost::Session& session = gateway.session();
    if (fresh) {
        call.interp.mlock();
        installShutdownBuiltin(call.interp);
        // imaqreset runs first, deleting the objects through their delete.
        for (const char* function : kShutdownFunctions) {
            call.interp.remove_atexit_fcn(function);
            call.interp.add_atexit_fcn(function);
        }
    }
    return session;
}

std::int32_t handleArg(const Call& call)
{
    return orxoct::wholeArg(call.args, 1, "The video input handle", 1);
}

OpenInput& openArg(const Call& call)
{
    return registry().find(handleArg(call));
}

imaqhost::VideoInput& inputArg(const Call& call)
{
    return *openArg(call).input;
}

// Between two slices of a wait: Ctrl-C becomes Octave's interrupt.
void checkInterrupt()
{
    octave_quit();
}

octave_value_list devicesCommand(const Call& call)
{
    const auto& devices = sessionFor(call).discover();
    std::vector<const imaqhost::DeviceRecord*> added;
    for (const auto& device : devices)
        if (device.added)
            added.push_back(&device);
    const dim_vector dims(static_cast<octave_idx_type>(added.size()), 1);
    Cell ids(dims), names(dims), formats(dims), defaults(dims);
    for (std::size_t i = 0; i < added.size(); ++i) {
        const auto list = added[i]->addedFormats();
        Cell texts(dim_vector(1, static_cast<octave_idx_type>(list.size())));
        std::string defaultFormat = list.empty() ? "" : list.front().name;
        for (std::size_t k = 0; k < list.size(); ++k) {
            texts(static_cast<octave_idx_type>(k)) = list[k].name;
            if (list[k].isDefault)
                defaultFormat = list[k].name;
        }
        const auto at = static_cast<octave_idx_type>(i);
        ids(at) = static_cast<double>(added[i]->id);
        names(at) = added[i]->name;
        formats(at) = texts;
        defaults(at) = defaultFormat;
    }
    octave_map map(dims);
    map.assign("DeviceName", names);
    map.assign("DeviceID", ids);
    map.assign("SupportedFormats", formats);
    map.assign("DefaultFormat", defaults);
    return octave_value(map);
}

octave_value_list openCommand(const Call& call)
{
    if (call.args.length() < 2)
        fail("imaq:orximaq:invalidArgument", "A device ID or name is needed.");
    std::optional<imaqhost::FormatRef> format;
    if (call.args.length() > 2)
        format = orxoct::refArg(call.args, 2, "The format (its name or number)");
    const auto device = orxoct::refArg(call.args, 1, "The device (its ID or name)");
    sessionFor(call);
    const auto handle = registry().open(device, format);
    holdObjectClass(call.interp);
    return octave_value(static_cast<double>(handle));
}

octave_value_list closeCommand(const Call& call)
{
    registry().close(handleArg(call));
    return octave_value();
}

octave_value_list resetCommand(const Call& call)
{
    registry().reset();
    releaseObjectClass();
    if (call.interp.mislocked(kGatewayName))
        call.interp.munlock(kGatewayName);
    for (const char* function : kShutdownFunctions)
        call.interp.remove_atexit_fcn(function);
    return octave_value();
}

octave_value_list isOpenCommand(const Call& call)
{
    return octave_value(registry().isOpen(handleArg(call)));
}

octave_value_list infoCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    const auto shape = orxoct::shapeOf(input.frameType(), 1, 1);
    octave_scalar_map info;
    info.assign("AdaptorName", "orximaq");
    info.assign("DeviceName", input.device().name);
    info.assign("DeviceID", static_cast<double>(input.device().id));
    info.assign("VideoFormat", input.formatName());
    info.assign("MaxHeight", static_cast<double>(input.maxHeight()));
    info.assign("MaxWidth", static_cast<double>(input.maxWidth()));
    // The bands getdata returns (the adaptor answers 3 for grey formats too).
    info.assign("NumberOfBands", static_cast<double>(shape.bands));
    info.assign("NativeDataType", shape.sample == orxoct::SampleClass::Uint16 ? "uint16" : "uint8");
    info.assign("IsColour", shape.bands == 3);
    info.assign("TotalSources", static_cast<double>(input.sources().size()));
    info.assign("VendorDriverDescription", input.driverDescription());
    info.assign("VendorDriverVersion", input.driverVersion());
    return octave_value(info);
}

octave_value_list namesCommand(const Call& call)
{
    const auto names = inputArg(call).propertyNames();
    Cell list(dim_vector(static_cast<octave_idx_type>(names.size()), 1));
    for (std::size_t i = 0; i < names.size(); ++i)
        list(static_cast<octave_idx_type>(i)) = names[i];
    return octave_value(list);
}

void requireProperty(imaqhost::VideoInput& input, const std::string& name)
{
    if (!input.hasProperty(name))
        fail("imaq:orximaq:unknownProperty", "There is no property '" + name + "' on this source.");
}

octave_value_list getCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    const std::string name = orxoct::textArg(call.args, 2, "The property name");
    requireProperty(input, name);
    try {
        return orxoct::toOctave(input.get(name));
    } catch (const imaqhost::HostError& error) {
        fail("imaq:orximaq:getFailed", "Reading '" + name + "' failed: " + error.what());
    }
}

octave_value_list setCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    const std::string name = orxoct::textArg(call.args, 2, "The property name");
    if (call.args.length() < 4)
        fail("imaq:orximaq:invalidArgument", "A value for '" + name + "' is needed.");
    requireProperty(input, name);
    const auto description = input.describe(name);
    const auto value = orxoct::fromOctave(description, call.args(3));
    if (!value)
        fail("imaq:orximaq:invalidType",
             "'" + name + "' takes " +
                 (description.type == imaqhost::PropertyType::Enumeration ? "a text" : "a real scalar") + ".");
    try {
        input.set(name, *value);
    } catch (const imaqhost::HostError& error) {
        fail(orxoct::refusalId(description, *value, input.isAcquisitionActive()), error.what());
    }
    return octave_value();
}

octave_value_list describeCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    const std::string name = orxoct::textArg(call.args, 2, "The property name");
    requireProperty(input, name);
    const auto description = input.describe(name);
    return call.args.length() > 3 ? orxoct::allowedValuesOf(description)
                                  : octave_value(orxoct::propinfoOf(description, true));
}

RowVector regionVector(const imaqhost::Region& region)
{
    RowVector out(4);
    out(0) = region.x;
    out(1) = region.y;
    out(2) = region.width;
    out(3) = region.height;
    return out;
}

imaqhost::Region regionArg(const octave_value& value)
{
    const char* shape = "ROIPosition must be a real row [x y width height] of whole numbers of at least 0.";
    if (!value.isnumeric() || value.iscomplex() || value.islogical() || value.rows() != 1 || value.columns() != 4)
        fail("imaq:orximaq:invalidROI", shape);
    const NDArray roi = value.array_value();
    for (octave_idx_type i = 0; i < 4; ++i)
        if (!std::isfinite(roi(i)) || roi(i) != std::floor(roi(i)) || roi(i) < 0 || roi(i) > 1e9)
            fail("imaq:orximaq:invalidROI", shape);
    return {static_cast<std::int32_t>(roi(0)), static_cast<std::int32_t>(roi(1)), static_cast<std::int32_t>(roi(2)),
            static_cast<std::int32_t>(roi(3))};
}

octave_value_list roiCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    if (call.args.length() > 2) {
        const imaqhost::Region region = regionArg(call.args(2));
        if (input.isAcquisitionActive())
            fail("imaq:orximaq:readOnlyWhileRunning", "ROIPosition cannot change while the object is running.");
        try {
            input.setRegion(region);
        } catch (const imaqhost::HostError& error) {
            fail("imaq:orximaq:invalidROI", error.what());
        }
        const auto applied = input.region();
        if (!(applied == region))
            warning_with_id("imaq:orximaq:roiAdjusted", "The device adjusted ROIPosition to [%d %d %d %d].",
                            applied.x, applied.y, applied.width, applied.height);
    }
    return octave_value(regionVector(input.region()));
}

octave_value_list sourcesCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    const auto& sources = input.sources();
    Cell names(dim_vector(1, static_cast<octave_idx_type>(sources.size())));
    for (std::size_t i = 0; i < sources.size(); ++i)
        names(static_cast<octave_idx_type>(i)) = sources[i].name;
    octave_scalar_map out;
    out.assign("Names", names);
    out.assign("Selected", input.selectedSource());
    return octave_value(out);
}

// The counts the user sees: those of the last acquisition, which a snapshot
// does not replace.
imaqhost::AcquisitionStats countsOf(const OpenInput& open)
{
    return open.keptCounts ? *open.keptCounts : open.input->statistics();
}

std::int64_t framesAcquired(const imaqhost::AcquisitionStats& stats)
{
    return stats.received + stats.overrun;
}

// Frames received while the buffer was full: counted, not kept, and said so
// once the acquisition has ended (not at every read while it runs).
void reportOverrun(OpenInput& open)
{
    if (open.input->isAcquisitionActive())
        return;
    const auto stats = countsOf(open);
    if (stats.overrun <= open.overrunReported)
        return;
    open.overrunReported = stats.overrun;
    warning_with_id("imaq:orximaq:framesNotKept",
                    "%lld of %lld frames acquired were not kept: the buffer was full (at most %zu frames, %zu "
                    "bytes). Take frames with getdata while acquiring, or raise the limit with imaqmem.",
                    static_cast<long long>(stats.overrun), static_cast<long long>(framesAcquired(stats)),
                    stats.bufferLimitFrames, stats.bufferLimitBytes);
}

std::string endReason(const imaqhost::AcquisitionStats& stats)
{
    switch (stats.end) {
    case imaqhost::AcquisitionEnd::Completed:
    case imaqhost::AcquisitionEnd::Stopped:
        return {};
    case imaqhost::AcquisitionEnd::DeviceLost:
        return "the device was lost";
    default:
        return imaqhost::toString(stats.end);
    }
}

octave_value_list startCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    const double frames = orxoct::numberArg(call.args, 2, "FramesPerTrigger");
    if (!std::isinf(frames) && !(frames >= 1 && frames == std::floor(frames) && frames <= 2147483647.0))
        fail("imaq:orximaq:invalidArgument", "FramesPerTrigger must be a whole number of at least 1, or Inf.");
    if (open.input->isAcquisitionActive())
        fail("imaq:orximaq:hostError", "The object is already running; stop it first.");
    if (countsOf(open).end == imaqhost::AcquisitionEnd::DeviceLost)
        fail("imaq:orximaq:deviceLost", "The device '" + open.input->device().name + "' (ID " +
                                            std::to_string(open.input->device().id) +
                                            ") was lost: delete this object and open the device again.");
    open.input->start(std::isinf(frames) ? imaqhost::VideoInput::kUnlimitedFrames
                                         : static_cast<std::int64_t>(frames));
    open.keptCounts.reset();
    open.overrunReported = 0;
    return octave_value();
}

octave_value_list stopCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    open.input->stop();
    reportOverrun(open);
    return octave_value();
}

octave_value_list statusCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    const auto stats = countsOf(open);
    const bool logging = open.input->isAcquisitionActive();
    octave_scalar_map status;
    status.assign("Running", logging);
    status.assign("Logging", logging);
    status.assign("FramesAcquired", static_cast<double>(framesAcquired(stats)));
    status.assign("FramesAvailable", static_cast<double>(open.input->framesAvailable()));
    status.assign("FramesNotKept", static_cast<double>(stats.overrun));
    status.assign("BufferFrames", static_cast<double>(stats.bufferLimitFrames));
    status.assign("BufferBytes", static_cast<double>(stats.bufferLimitBytes));
    status.assign("EndReason", endReason(stats));
    reportOverrun(open);
    return octave_value(status);
}

octave_value_list waitCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    const double seconds = call.args.length() > 2 ? orxoct::secondsArg(call.args, 2, "The timeout") : 10.0;
    const bool ended = orxoct::pollUntil([&](auto slice) { return open.input->wait(slice); },
                                         orxoct::deadlineOf(seconds), checkInterrupt);
    reportOverrun(open);
    return octave_value(ended);
}

// Waits until `frames` frames are buffered or the acquisition has ended.
void awaitFrames(imaqhost::VideoInput& input, std::int64_t frames, double seconds)
{
    orxoct::pollUntil(
        [&](auto slice) { return input.framesAvailable() >= frames || input.wait(slice); },
        orxoct::deadlineOf(seconds), checkInterrupt);
}

std::int64_t frameCountArg(const Call& call)
{
    return orxoct::wholeArg(call.args, 2, "The number of frames", 1);
}

octave_value_list getDataCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    const std::int64_t frames = frameCountArg(call);
    const double seconds = call.args.length() > 3 ? orxoct::secondsArg(call.args, 3, "The timeout") : 10.0;
    const auto stats = countsOf(open);
    if (static_cast<std::size_t>(frames) > stats.bufferLimitFrames)
        fail("imaq:orximaq:invalidArgument", std::to_string(frames) + " frames were asked for; the buffer holds at most " +
                                                 std::to_string(stats.bufferLimitFrames) + ".");
    awaitFrames(*open.input, frames, seconds);
    reportOverrun(open);
    return orxoct::removeFrames(*open.input, frames, call.nargout);
}

octave_value_list peekDataCommand(const Call& call)
{
    return orxoct::peekFrames(inputArg(call), frameCountArg(call), call.nargout);
}

// One frame while an acquisition runs: the next one it logs, left in the buffer.
octave_value_list snapshotWhileRunning(imaqhost::VideoInput& input, double seconds, int nargout)
{
    const std::int64_t seen = input.statistics().received;
    orxoct::pollUntil([&](auto slice) { return input.statistics().received > seen || input.wait(slice); },
                      orxoct::deadlineOf(seconds), checkInterrupt);
    if (input.statistics().received <= seen || input.framesAvailable() == 0)
        fail("imaq:getsnapshot:noFrame", "No frame arrived for the snapshot within " + std::to_string(seconds) + " s.");
    return orxoct::peekFrames(input, 1, nargout);
}

// One frame acquired on its own; the counts of the last acquisition stay
// what the user sees. Interrupted or timed out, the capture is stopped.
octave_value_list snapshotAlone(OpenInput& open, double seconds, int nargout)
{
    imaqhost::VideoInput& input = *open.input;
    if (input.framesAvailable() > 0)
        fail("imaq:getsnapshot:framesBuffered",
             std::to_string(input.framesAvailable()) +
                 " frames wait in the buffer and a snapshot would discard them: take them with getdata or "
                 "discard them with flushdata first.");
    const auto kept = countsOf(open);
    input.start(1);
    open.keptCounts = kept;
    try {
        orxoct::pollUntil([&](auto slice) { return input.wait(slice); }, orxoct::deadlineOf(seconds),
                          checkInterrupt);
    } catch (...) {
        input.stop();
        input.flushData();
        throw;
    }
    if (input.framesAvailable() == 0) {
        input.stop();
        input.flushData();
        const std::string reason = endReason(input.statistics());
        fail("imaq:getsnapshot:noFrame",
             "No frame for the snapshot: " + (reason.empty() ? std::string("timeout") : reason) + ".");
    }
    return orxoct::removeFrames(input, 1, nargout);
}

octave_value_list snapshotCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    const double seconds = call.args.length() > 2 ? orxoct::secondsArg(call.args, 2, "The timeout") : 10.0;
    if (open.input->isAcquisitionActive())
        return snapshotWhileRunning(*open.input, seconds, call.nargout);
    return snapshotAlone(open, seconds, call.nargout);
}

octave_value_list flushCommand(const Call& call)
{
    inputArg(call).flushData();
    return octave_value();
}

// bufferlimit(handle[, frames, bytes]): the buffer's bounds.
octave_value_list bufferLimitCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    if (call.args.length() > 2) {
        const double frames = orxoct::wholeArg(call.args, 2, "The frame limit", 1);
        const double bytes = orxoct::numberArg(call.args, 3, "The byte limit");
        if (!(bytes >= 1 && bytes == std::floor(bytes) && bytes < 9.0e18))
            fail("imaq:orximaq:invalidArgument", "The byte limit must be a whole number of at least 1.");
        input.setBufferLimit(static_cast<std::size_t>(frames), static_cast<std::size_t>(bytes));
    }
    const auto stats = input.statistics();
    RowVector out(2);
    out(0) = static_cast<double>(stats.bufferLimitFrames);
    out(1) = static_cast<double>(stats.bufferLimitBytes);
    return octave_value(out);
}

// memlimit([bytes]): the byte bound of every buffer.
octave_value_list memoryLimitCommand(const Call& call)
{
    auto& gateway = registry();
    if (call.args.length() > 1) {
        const double bytes = orxoct::numberArg(call.args, 1, "The memory limit");
        if (!(bytes >= 1 && bytes == std::floor(bytes) && bytes < 9.0e18))
            fail("imaq:imaqmem:invalidLimit", "The memory limit must be a whole number of bytes of at least 1.");
        gateway.setMemoryLimit(static_cast<std::size_t>(bytes));
    }
    return octave_value(static_cast<double>(gateway.memoryLimit()));
}

octave_value_list countersCommand(const Call&)
{
    const std::pair<const char*, std::int64_t> counters[] = {
        {"TaskMemoryBlocks", win32seam::outstandingTaskMemBlocks()},
        {"Bstrs", win32seam::outstandingBstrs()},
        {"ImaqBlocks", imaqhost::outstandingImaqBlocks()},
        {"HostFrames", imaqhost::liveFrames()},
        {"ComObjects", vexcam::liveComObjects()},
        {"Grabbers", vexcam::liveGrabbers()},
        {"DeliveryThreads", vexcam::runningStreams()},
        {"LockedBuffers", vexcam::lockedBuffers()},
        {"CameraBuffers", vexcam::liveBuffers()},
    };
    octave_scalar_map map;
    for (const auto& [name, value] : counters)
        map.assign(name, static_cast<double>(value));
    return octave_value(map);
}

octave_value_list adaptorCommand(const Call& call)
{
    registry().setAdaptorPath(orxoct::textArg(call.args, 1, "The adaptor path"));
    return octave_value();
}

octave_value_list rigCommand(const Call& call)
{
    vexcam::useRigFile(orxoct::textArg(call.args, 1, "The rig file"));
    return octave_value();
}

octave_value_list defaultRigCommand(const Call&)
{
    vexcam::clearInstalledRig();
    return octave_value();
}

octave_value_list lockedCommand(const Call& call)
{
    return octave_value(call.interp.mislocked(kGatewayName));
}

const std::map<std::string, Command>& commands()
{
    static const std::map<std::string, Command> table = {
        {"devices", devicesCommand},   {"open", openCommand},
        {"close", closeCommand},       {"reset", resetCommand},
        {"isopen", isOpenCommand},     {"info", infoCommand},
        {"names", namesCommand},       {"get", getCommand},
        {"set", setCommand},           {"describe", describeCommand},
        {"roi", roiCommand},           {"sources", sourcesCommand},
        {"start", startCommand},       {"stop", stopCommand},
        {"wait", waitCommand},         {"status", statusCommand},
        {"getdata", getDataCommand},   {"peekdata", peekDataCommand},
        {"snapshot", snapshotCommand}, {"flush", flushCommand},
        {"bufferlimit", bufferLimitCommand}, {"memlimit", memoryLimitCommand},
        {"counters", countersCommand},
        {"adaptor", adaptorCommand},   {"rig", rigCommand},
        {"defaultrig", defaultRigCommand}, {"locked", lockedCommand},
    };
    return table;
}

[[noreturn]] void raise(const std::string& id, const std::string& message)
{
    forwardWarnings();
    error_with_id(id.c_str(), "%s", message.c_str());
}

octave_value_list dispatch(const Call& call)
{
    const std::string name = orxoct::textArg(call.args, 0, "The gateway command");
    const auto found = commands().find(name);
    if (found == commands().end())
        fail("imaq:orximaq:invalidArgument", "Unknown gateway command '" + name + "'.");
    return found->second(call);
}

// The objects go first, through imaqreset, while the interpreter can still
// run their delete; whatever fails there, no object outlives the session and
// the session does not outlive the interpreter.
void shutdown(octave::interpreter& interp)
{
    try {
        interp.feval("__orximaq_objects__", octave_value_list(octave_value("clear")), 0);
    } catch (const octave::execution_exception&) {
        interp.recover_from_exception();
    }
    registry().reset();
    releaseObjectClass();
}

} // namespace

DEFMETHOD_DLD(__orximaq__, interp, args, nargout, "-*- texinfo -*-\n@deftypefn {} {} __orximaq__ (@var{command}, @dots{})\nInternal gateway of the orximaq package.\n@end deftypefn")
{
    static const bool prepared = [] {
        imaqhost::setWarningEcho(false);
        registry().setAdaptorPath(moduleBesideGateway());
        return true;
    }();
    (void)prepared;
    octave_value_list result;
    try {
        result = dispatch(Call{interp, args, nargout});
    } catch (const octave::interrupt_exception&) {
        forwardWarnings();
        throw;
    } catch (const octave::execution_exception&) {
        forwardWarnings();
        throw;
    } catch (const orxoct::GatewayError& error) {
        raise(error.id, error.message);
    } catch (const imaqhost::HostError& error) {
        raise("imaq:orximaq:hostError", error.what());
    } catch (const vexcam::RigError& error) {
        raise("imaq:orximaq:rigError", std::string("rig ") + error.what());
    } catch (const std::bad_alloc&) {
        raise("imaq:orximaq:outOfMemory", "Out of memory.");
    } catch (const std::exception& error) {
        raise("imaq:orximaq:failed", error.what());
    }
    forwardWarnings();
    return result;
}
