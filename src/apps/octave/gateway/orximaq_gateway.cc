// __orximaq__(COMMAND, ...): the one gateway between the package's Octave
// functions and the host stand-in. It keeps itself locked in memory while
// video inputs are open, so that `clear all` or `clear __orximaq__` cannot
// unload code that an acquisition thread runs; closing the last input
// unlocks it. Unloading or leaving Octave joins every thread first.
#include "frame_copy.h"
#include "input_registry.h"
#include "octave_frames.h"
#include "property_values.h"

#include "imaqhost/testing/accounting.h"
#include "imaqhost/host_error.h"
#include "imaqhost/warnings.h"
#include "win32seam/testing/win32_seam.h"
#include "vexcam/com_objects.h"
#include "vexcam/vexcam.h"
#include "vexcam/testing/camera_testing.h"

#include <octave/oct.h>
#include <octave/interpreter.h>
#include <octave/ov-struct.h>

#include <dlfcn.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>

namespace {

using orxoct::InputRegistry;

constexpr const char* kGatewayName = "__orximaq__";

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

// Errors travel as C++ exceptions, also from the acquisition thread, and
// become Octave errors only at the gateway's edge.
struct GatewayError {
    std::string id;
    std::string message;
};

[[noreturn]] void fail(const std::string& id, const std::string& message)
{
    throw GatewayError{id, message};
}

std::string textArg(const octave_value_list& args, int i, const char* what)
{
    if (args.length() <= i || !args(i).is_string())
        fail("imaq:orximaq:invalidArgument", std::string(what) + " must be a text.");
    return args(i).string_value();
}

double numberArg(const octave_value_list& args, int i, const char* what)
{
    if (args.length() <= i || !args(i).isnumeric() || args(i).numel() != 1)
        fail("imaq:orximaq:invalidArgument", std::string(what) + " must be a number.");
    return args(i).double_value();
}

std::int32_t handleArg(const octave_value_list& args)
{
    return static_cast<std::int32_t>(numberArg(args, 1, "The video input handle"));
}

orxoct::OpenInput& inputArg(const octave_value_list& args)
{
    return registry().find(handleArg(args));
}

// A device or format given as a number (its ID) or a text (its name).
std::variant<std::int32_t, std::string> refArg(const octave_value& value)
{
    if (value.is_string())
        return value.string_value();
    return static_cast<std::int32_t>(value.double_value());
}

// Every call on a video input goes through its acquisition, which hands it to
// the acquisition thread while one runs.
template <typename Result>
Result onInput(orxoct::OpenInput& open, const std::function<Result(imaqhost::VideoInput&)>& call)
{
    Result result{};
    open.acquisition->withInput([&] { result = call(*open.input); });
    return result;
}

octave_value devicesCommand(const octave_value_list&)
{
    const auto& devices = registry().session().discover();
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
    return map;
}

octave_value openCommand(const octave_value_list& args, octave::interpreter& interp)
{
    if (args.length() < 2)
        fail("imaq:orximaq:invalidArgument", "A device ID or name is needed.");
    std::optional<imaqhost::FormatRef> format;
    if (args.length() > 2)
        format = refArg(args(2));
    const std::int32_t handle = registry().open(refArg(args(1)), format);
    interp.mlock();
    return static_cast<double>(handle);
}

void unlockWhenIdle(octave::interpreter& interp)
{
    if (registry().handles().empty() && interp.mislocked(kGatewayName))
        interp.munlock(kGatewayName);
}

octave_value infoCommand(const octave_value_list& args)
{
    auto& open = inputArg(args);
    struct {
        std::string device, format, description, version;
        std::int32_t id = 0, maxHeight = 0, maxWidth = 0, bands = 0;
        std::uint32_t frameType = 0;
        std::size_t sources = 0;
    } read;
    open.acquisition->withInput([&] {
        imaqhost::VideoInput& input = *open.input;
        read = {input.device().name, input.formatName(), input.driverDescription(), input.driverVersion(),
                input.device().id,   input.maxHeight(),  input.maxWidth(),          input.numberOfBands(),
                input.frameType(),   input.sources().size()};
    });
    const auto shape = orxoct::shapeOf(read.frameType, 1, 1);
    octave_scalar_map info;
    info.assign("AdaptorName", "orximaq");
    info.assign("DeviceName", read.device);
    info.assign("DeviceID", static_cast<double>(read.id));
    info.assign("VideoFormat", read.format);
    info.assign("MaxHeight", static_cast<double>(read.maxHeight));
    info.assign("MaxWidth", static_cast<double>(read.maxWidth));
    info.assign("NumberOfBands", static_cast<double>(read.bands));
    info.assign("NativeDataType", shape.sample == orxoct::SampleClass::Uint16 ? "uint16" : "uint8");
    info.assign("TotalSources", static_cast<double>(read.sources));
    info.assign("VendorDriverDescription", read.description);
    info.assign("VendorDriverVersion", read.version);
    return info;
}

octave_value namesCommand(const octave_value_list& args)
{
    const auto names = onInput<std::vector<std::string>>(
        inputArg(args), [](imaqhost::VideoInput& input) { return input.propertyNames(); });
    Cell list(dim_vector(static_cast<octave_idx_type>(names.size()), 1));
    for (std::size_t i = 0; i < names.size(); ++i)
        list(static_cast<octave_idx_type>(i)) = names[i];
    return list;
}

void requireProperty(imaqhost::VideoInput& input, const std::string& name)
{
    if (!input.hasProperty(name))
        fail("imaq:orximaq:unknownProperty", "There is no property '" + name + "' on this source.");
}

octave_value getCommand(const octave_value_list& args)
{
    auto& open = inputArg(args);
    const std::string name = textArg(args, 2, "The property name");
    std::string failure;
    imaqhost::PropertyValue value;
    open.acquisition->withInput([&] {
        requireProperty(*open.input, name);
        try {
            value = open.input->get(name);
        } catch (const imaqhost::HostError& error) {
            failure = error.what();
        }
    });
    if (!failure.empty())
        fail("imaq:orximaq:getFailed", "Reading '" + name + "' failed: " + failure);
    return orxoct::toOctave(value);
}

octave_value setCommand(const octave_value_list& args)
{
    auto& open = inputArg(args);
    const std::string name = textArg(args, 2, "The property name");
    if (args.length() < 4)
        fail("imaq:orximaq:invalidArgument", "A value is needed.");
    imaqhost::PropertyDescription description;
    open.acquisition->withInput([&] {
        requireProperty(*open.input, name);
        description = open.input->describe(name);
    });
    const auto value = orxoct::fromOctave(description, args(3));
    if (!value)
        fail("imaq:orximaq:invalidType",
             "'" + name + "' takes " +
                 (description.type == imaqhost::PropertyType::Enumeration ? "a text" : "a real scalar") + ".");
    std::string failure, id;
    open.acquisition->withInput([&] {
        try {
            open.input->set(name, *value);
        } catch (const imaqhost::HostError& error) {
            id = orxoct::refusalId(description, *value, open.input->isAcquisitionActive());
            failure = error.what();
        }
    });
    if (!failure.empty())
        fail(id.c_str(), failure);
    return octave_value();
}

octave_value describeCommand(const octave_value_list& args)
{
    auto& open = inputArg(args);
    const std::string name = textArg(args, 2, "The property name");
    imaqhost::PropertyDescription description;
    open.acquisition->withInput([&] {
        requireProperty(*open.input, name);
        description = open.input->describe(name);
    });
    return args.length() > 3 ? orxoct::allowedValuesOf(description)
                             : octave_value(orxoct::propinfoOf(description, true));
}

octave_value roiCommand(const octave_value_list& args)
{
    auto& open = inputArg(args);
    if (args.length() > 2) {
        const NDArray roi = args(2).array_value();
        if (roi.numel() != 4)
            fail("imaq:orximaq:invalidArgument", "ROIPosition is [x y width height].");
        for (octave_idx_type i = 0; i < 4; ++i)
            if (!std::isfinite(roi(i)) || roi(i) != std::floor(roi(i)) || roi(i) < 0 || roi(i) > 1e9)
                fail("imaq:orximaq:invalidArgument", "ROIPosition takes whole numbers of at least 0.");
        const imaqhost::Region region{static_cast<std::int32_t>(roi(0)), static_cast<std::int32_t>(roi(1)),
                                     static_cast<std::int32_t>(roi(2)), static_cast<std::int32_t>(roi(3))};
        std::string failure;
        open.acquisition->withInput([&] {
            try {
                open.input->setRegion(region);
            } catch (const imaqhost::HostError& error) {
                failure = error.what();
            }
        });
        if (!failure.empty())
            fail("imaq:orximaq:invalidROI", failure);
        const auto applied =
            onInput<imaqhost::Region>(open, [](imaqhost::VideoInput& input) { return input.region(); });
        if (!(applied == region))
            warning_with_id("imaq:orximaq:roiAdjusted",
                            "The device adjusted ROIPosition to [%d %d %d %d].", applied.x, applied.y,
                            applied.width, applied.height);
    }
    const auto region =
        onInput<imaqhost::Region>(open, [](imaqhost::VideoInput& input) { return input.region(); });
    RowVector out(4);
    out(0) = region.x;
    out(1) = region.y;
    out(2) = region.width;
    out(3) = region.height;
    return out;
}

octave_value sourcesCommand(const octave_value_list& args)
{
    auto& open = inputArg(args);
    std::vector<imaqhost::VideoSource> sources;
    std::string selected;
    open.acquisition->withInput([&] {
        sources = open.input->sources();
        selected = open.input->selectedSource();
    });
    Cell names(dim_vector(1, static_cast<octave_idx_type>(sources.size())));
    for (std::size_t i = 0; i < sources.size(); ++i)
        names(static_cast<octave_idx_type>(i)) = sources[i].name;
    octave_scalar_map out;
    out.assign("Names", names);
    out.assign("Selected", selected);
    return out;
}

octave_value startCommand(const octave_value_list& args)
{
    auto& open = inputArg(args);
    const double frames = numberArg(args, 2, "FramesPerTrigger");
    if (std::isinf(frames))
        open.acquisition->start(orxoct::BackgroundAcquisition::kUnlimitedFrames);
    else if (frames >= 1 && frames == std::floor(frames) && frames < 2147483647.0)
        open.acquisition->start(static_cast<std::int64_t>(frames));
    else
        fail("imaq:orximaq:invalidArgument", "FramesPerTrigger must be a whole number of at least 1, or Inf.");
    return octave_value();
}

octave_value statusCommand(const octave_value_list& args)
{
    const auto counts = inputArg(args).acquisition->counts();
    octave_scalar_map status;
    status.assign("Running", counts.logging);
    status.assign("Logging", counts.logging);
    status.assign("FramesAcquired", static_cast<double>(counts.acquired));
    status.assign("FramesAvailable", static_cast<double>(counts.available));
    status.assign("FramesOverrun", static_cast<double>(counts.overrun));
    status.assign("EndReason", inputArg(args).acquisition->endReason());
    return status;
}

octave_value waitCommand(const octave_value_list& args)
{
    const double seconds = args.length() > 2 ? numberArg(args, 2, "The timeout") : 10.0;
    const auto timeout = std::chrono::milliseconds(static_cast<std::int64_t>(std::max(0.0, seconds) * 1000.0));
    return inputArg(args).acquisition->wait(timeout);
}

octave_value_list dataCommand(const octave_value_list& args, orxoct::FrameTake take, int nargout)
{
    auto& open = inputArg(args);
    const double frames = numberArg(args, 2, "The number of frames");
    if (!(frames >= 1) || frames != std::floor(frames) || frames > 1e7)
        fail("imaq:orximaq:invalidArgument", "The number of frames must be a whole number of at least 1.");
    const double timeout = args.length() > 3 ? numberArg(args, 3, "The timeout") : 10.0;
    return orxoct::framesToOctave(*open.acquisition, take, static_cast<std::int64_t>(frames), timeout, nargout);
}

octave_value countersCommand()
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
    return map;
}

octave_value_list dispatch(octave::interpreter& interp, const std::string& command, const octave_value_list& args,
                           int nargout)
{
    auto& gateway = registry();
    if (command == "devices") return devicesCommand(args);
    if (command == "open") return openCommand(args, interp);
    if (command == "close") {
        gateway.close(handleArg(args));
        unlockWhenIdle(interp);
        return octave_value();
    }
    if (command == "reset") {
        gateway.reset();
        unlockWhenIdle(interp);
        return octave_value();
    }
    if (command == "isopen") return octave_value(gateway.isOpen(handleArg(args)));
    if (command == "info") return infoCommand(args);
    if (command == "names") return namesCommand(args);
    if (command == "get") return getCommand(args);
    if (command == "set") return setCommand(args);
    if (command == "describe") return describeCommand(args);
    if (command == "roi") return roiCommand(args);
    if (command == "sources") return sourcesCommand(args);
    if (command == "start") return startCommand(args);
    if (command == "stop") {
        inputArg(args).acquisition->stop();
        return octave_value();
    }
    if (command == "wait") return waitCommand(args);
    if (command == "status") return statusCommand(args);
    if (command == "getdata") return dataCommand(args, orxoct::FrameTake::Remove, nargout);
    if (command == "peekdata") return dataCommand(args, orxoct::FrameTake::Peek, nargout);
    if (command == "snapshot") {
        const double timeout = args.length() > 2 ? numberArg(args, 2, "The timeout") : 10.0;
        return orxoct::snapshotToOctave(*inputArg(args).acquisition, timeout, nargout);
    }
    if (command == "flush") {
        inputArg(args).acquisition->flushData();
        return octave_value();
    }
    if (command == "counters") return countersCommand();
    if (command == "adaptor") {
        gateway.setAdaptorPath(textArg(args, 1, "The adaptor path"));
        return octave_value();
    }
    if (command == "rig") {
        vexcam::useRigFile(textArg(args, 1, "The rig file"));
        return octave_value();
    }
    if (command == "defaultrig") {
        vexcam::clearInstalledRig();
        return octave_value();
    }
    if (command == "locked") return octave_value(interp.mislocked(kGatewayName));
    fail("imaq:orximaq:invalidArgument", "Unknown gateway command '" + command + "'.");
}

[[noreturn]] void raise(const std::string& id, const std::string& message)
{
    forwardWarnings();
    error_with_id(id.c_str(), "%s", message.c_str());
}

} // namespace

DEFMETHOD_DLD(__orximaq__, interp, args, nargout, "-*- texinfo -*-\n@deftypefn {} {} __orximaq__ (@var{command}, @dots{})\nInternal gateway of the orximaq package.\n@end deftypefn")
{
    if (args.length() < 1 || !args(0).is_string())
        error_with_id("imaq:orximaq:invalidArgument", "__orximaq__: the first argument is a command name");
    static const bool prepared = [] {
        imaqhost::setWarningEcho(false);
        registry().setAdaptorPath(moduleBesideGateway());
        return true;
    }();
    (void)prepared;
    octave_value_list result;
    try {
        result = dispatch(interp, args(0).string_value(), args, nargout);
    } catch (const GatewayError& error) {
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
