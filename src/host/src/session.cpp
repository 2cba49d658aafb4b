#include "imaqhost/session.h"

#include "adaptor_call.h"
#include "imaqhost/host_error.h"
#include "memory_budget.h"
#include "prop_factory.h"
#include "video_input_parts.h"
#include "video_source_info.h"

#include <algorithm>

namespace imaqhost {

// The initialised adaptor. uninitializeAdaptor runs when the session and the
// last video input it opened are gone; the module unloads after that.
struct Session::Core {
    Core(std::shared_ptr<AdaptorModule> loaded, const EntryPoints& entry)
        : module(std::move(loaded)), entryPoints(entry)
    {
    }
    ~Core() { entryPoints.uninitializeAdaptor(); }
    Core(const Core&) = delete;
    Core& operator=(const Core&) = delete;

    std::shared_ptr<AdaptorModule> module;
    EntryPoints entryPoints;
    std::shared_ptr<MemoryBudget> memory = std::make_shared<MemoryBudget>(defaultMemoryLimit());
};

namespace {

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// What getDeviceAttributes declared for one device and format.
struct Declaration {
    std::unique_ptr<DeviceInfo> deviceInfo;
    PropFactory factory;
    VideoSourceInfo sources;
    TriggerInfo triggers;
};

} // namespace

std::variant<std::int32_t, std::string> parseRef(const std::string& text)
{
    const bool digits = !text.empty() && text.size() <= 9 &&
                        std::all_of(text.begin(), text.end(),
                                    [](unsigned char c) { return c >= '0' && c <= '9'; });
    if (digits) return static_cast<std::int32_t>(std::stol(text));
    return text;
}

Session::Session(const EntryPoints& entryPoints) : Session(nullptr, entryPoints) {}

Session::Session(std::shared_ptr<AdaptorModule> module, const EntryPoints& entryPoints)
{
    if (const char* missing = entryPoints.firstMissing())
        throw HostError(std::string("The adaptor has no entry point \"") + missing + "\".");
    const bool initialised = callAdaptor("Initialising the adaptor",
                                         [&] { return entryPoints.initializeAdaptor(); });
    if (!initialised) throw HostError("The adaptor could not initialise.");
    core_ = std::make_shared<Core>(std::move(module), entryPoints);
}

Session Session::load(const std::string& modulePath)
{
    auto module = std::make_shared<AdaptorModule>(AdaptorModule::load(modulePath));
    const EntryPoints entryPoints = module->entryPoints();
    return Session(std::move(module), entryPoints);
}

Session::Session(Session&&) noexcept = default;
Session& Session::operator=(Session&&) noexcept = default;
Session::~Session() = default;

const std::vector<DeviceRecord>& Session::discover()
{
    HardwareInfo hardware;
    callAdaptor("Discovering devices", [&] { core_->entryPoints.getAvailHW(&hardware); });
    devices_ = hardware.records();
    discovered_ = true;
    return devices_;
}

const std::vector<DeviceRecord>& Session::devices()
{
    return discovered_ ? devices_ : discover();
}

const DeviceRecord& Session::resolveDevice(const DeviceRef& device)
{
    const auto& known = devices();
    const auto matches = [&](const DeviceRecord& record) {
        if (!record.added) return false;
        if (const auto* id = std::get_if<std::int32_t>(&device)) return record.id == *id;
        return record.name == std::get<std::string>(device);
    };
    auto found = std::find_if(known.begin(), known.end(), matches);
    if (found != known.end()) return *found;
    if (const auto* id = std::get_if<std::int32_t>(&device))
        throw HostError("There is no device with ID " + std::to_string(*id) + ".");
    throw HostError("There is no device named " + quoted(std::get<std::string>(device)) + ".");
}

const FormatRecord& Session::resolveFormat(const DeviceRecord& device, const FormatRef& format)
{
    const auto matches = [&](const FormatRecord& record) {
        if (!record.added) return false;
        if (const auto* id = std::get_if<std::int32_t>(&format)) return record.id == *id;
        return record.name == std::get<std::string>(format);
    };
    auto found = std::find_if(device.formats.begin(), device.formats.end(), matches);
    if (found != device.formats.end()) return *found;
    if (const auto* id = std::get_if<std::int32_t>(&format))
        throw HostError("Device " + quoted(device.name) + " has no format with ID " +
                        std::to_string(*id) + ".");
    throw HostError("Device " + quoted(device.name) + " has no format " +
                    quoted(std::get<std::string>(format)) + ".");
}

namespace {

std::unique_ptr<Declaration> declare(const EntryPoints& entryPoints, const DeviceRecord& device,
                                     const std::string& formatName)
{
    auto declaration = std::make_unique<Declaration>();
    declaration->deviceInfo = DeviceInfo::fromRecord(device);
    callAdaptor("Reading the attributes of " + quoted(device.name) + " in format " +
                    quoted(formatName),
                [&] {
                    entryPoints.getDeviceAttributes(declaration->deviceInfo.get(),
                                                    formatName.c_str(), &declaration->factory,
                                                    &declaration->sources, &declaration->triggers);
                });
    return declaration;
}

} // namespace

DeviceAttributes Session::attributes(const DeviceRef& device, const FormatRef& format)
{
    const DeviceRecord& record = resolveDevice(device);
    const FormatRecord& formatRecord = resolveFormat(record, format);
    const auto declaration = declare(core_->entryPoints, record, formatRecord.name);
    return {declaration->factory.published(), declaration->sources.sources(),
            declaration->triggers.configurations(), declaration->factory.issues()};
}

std::unique_ptr<VideoInput> Session::open(const DeviceRef& device, const FormatRef& format,
                                          const OpenOptions& options)
{
    const DeviceRecord& record = resolveDevice(device);
    const std::string formatName = options.formatNameOverride
                                       ? *options.formatNameOverride
                                       : resolveFormat(record, format).name;
    auto declaration = declare(core_->entryPoints, record, formatName);

    auto parts = std::make_unique<VideoInput::Parts>();
    parts->session = core_;
    parts->device = record;
    parts->formatName = formatName;
    parts->sources = declaration->sources.sources();
    parts->deviceInfo = std::move(declaration->deviceInfo);
    const std::string firstSource = parts->sources.empty() ? "" : parts->sources.front().name;
    parts->engine = std::make_unique<Engine>(declaration->factory.published(), firstSource);
    parts->engine->acquisition().useMemoryBudget(core_->memory);
    for (const std::string& name : options.notDeviceSpecific)
        parts->engine->deviceProperties().setDeviceSpecific(name, false);

    imaqkit::IAdaptor* adaptor = callAdaptor("Creating a video input on " + quoted(record.name), [&] {
        return core_->entryPoints.createInstance(parts->engine.get(), parts->deviceInfo.get(),
                                                 parts->formatName.c_str());
    });
    if (!adaptor)
        throw HostError("The adaptor could not create a video input on " + quoted(record.name) +
                        " in format " + quoted(parts->formatName) + ".");
    parts->adaptor.reset(adaptor);
    return std::make_unique<VideoInput>(std::move(parts));
}

void Session::setMemoryLimit(std::size_t bytes)
{
    if (bytes < 1) throw HostError("The frame-memory limit must be at least one byte.");
    core_->memory->setLimit(bytes);
}

std::size_t Session::memoryLimit() const
{
    return core_->memory->limit();
}

std::size_t Session::memoryInUse() const
{
    return core_->memory->used();
}

} // namespace imaqhost
