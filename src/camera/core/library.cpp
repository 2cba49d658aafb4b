#include "library.h"

#include "format_selection.h"
#include "genicam_source.h"
#include "gstreamer_source.h"
#include "simulation_counters.h"

#include "vexcam/vexcam.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace vexcam {

namespace counters {
std::atomic<std::int64_t> liveGrabbers{0};
std::atomic<std::int64_t> runningStreams{0};
std::atomic<std::int64_t> lockedBuffers{0};
std::atomic<std::int64_t> liveBuffers{0};
std::atomic<std::int64_t> framesDelivered{0};
std::atomic<std::int64_t> framesSkipped{0};
std::atomic<bool> freeRunning{false};
std::atomic<bool> patternGeneration{true};
std::atomic<FillObserver> fillObserver{nullptr};
} // namespace counters

namespace {

Size sensorOf(const DeviceSpec& device)
{
    if (device.sensor.cx > 0 && device.sensor.cy > 0) return device.sensor;
    return largestSize(device.norms);
}

} // namespace

Library& Library::instance()
{
    static Library library;
    return library;
}

std::optional<Rig> Library::rigInForce()
{
    if (installed_) return installed_;
    const char* path = std::getenv("ORX_SIM_RIG");
    if (!path || !*path) return defaultRig();
    try {
        return loadRigFile(path);
    } catch (const RigError& error) {
        lastInitError_ = error.what();
        std::fprintf(stderr, "vexlib: %s\n", error.what());
        return std::nullopt;
    }
}

// The rig's GenICam cameras, with those that ORX_GENICAM names as well.
static std::optional<GenicamSpec> genicamOf(const Rig& rig)
{
    auto spec = rig.genicam;
    if (auto fromEnvironment = genicamFromEnvironment()) {
        if (!spec) spec = GenicamSpec{};
        for (auto& name : fromEnvironment->interfaces) spec->interfaces.push_back(std::move(name));
    }
    return spec;
}

// The rig's GStreamer pipelines, then those of ORX_GSTREAMER_PIPELINES.
static std::optional<GstreamerSpec> gstreamerOf(const Rig& rig)
{
    auto spec = rig.gstreamer;
    if (auto fromEnvironment = gstreamerFromEnvironment()) {
        if (!spec) spec = GstreamerSpec{};
        for (auto& pipeline : fromEnvironment->pipelines) spec->pipelines.push_back(std::move(pipeline));
        spec->monitor = spec->monitor || fromEnvironment->monitor;
    }
    return spec;
}

// Appends the devices a backend found; false, with the reason kept, when it
// could not search at all.
template <class Found>
bool Library::take(Found found)
{
    if (!found.error.empty()) {
        lastInitError_ = found.error;
        std::fprintf(stderr, "vexlib: %s\n", found.error.c_str());
        return false;
    }
    for (auto& device : found.devices) devices_.push_back(std::move(device));
    return true;
}

bool Library::build(const Rig& rig)
{
    devices_.clear();
    for (const DeviceSpec& device : rig.devices)
        devices_.push_back(std::make_shared<Vexlib::detail::DeviceData>(device, sensorOf(device)));
    deviceList_ = rig.deviceList;
    if (const auto genicam = genicamOf(rig); genicam && !take(discoverGenicam(*genicam))) return false;
    if (const auto gstreamer = gstreamerOf(rig); gstreamer && !take(discoverGstreamer(*gstreamer))) return false;
    return true;
}

bool Library::init()
{
    std::lock_guard lock(mutex_);
    if (initCount_++ > 0) return lastInitError_.empty();
    lastInitError_.clear();
    const auto rig = rigInForce();
    const bool built = build(rig ? *rig : Rig{});
    return rig.has_value() && built;
}

void Library::exit()
{
    std::lock_guard lock(mutex_);
    if (initCount_ == 0 || --initCount_ > 0) return;
    devices_.clear();
    deviceList_ = ListFault::None;
}

bool Library::initialised() const
{
    std::lock_guard lock(mutex_);
    return initCount_ > 0;
}

std::string Library::lastInitError() const
{
    std::lock_guard lock(mutex_);
    return lastInitError_;
}

void Library::install(Rig rig)
{
    std::lock_guard lock(mutex_);
    installed_ = std::move(rig);
    if (initCount_ > 0) {
        lastInitError_.clear();
        (void)build(*installed_);
    }
}

void Library::clearInstalled()
{
    std::lock_guard lock(mutex_);
    installed_.reset();
}

std::vector<DevicePtr> Library::devices() const
{
    std::lock_guard lock(mutex_);
    return {devices_.begin(), devices_.end()};
}

DevicePtr Library::findDevice(std::string_view name) const
{
    std::lock_guard lock(mutex_);
    for (const auto& device : devices_)
        if (device->spec.name == name) return device;
    return nullptr;
}

bool Library::setFaults(std::string_view name, const DeviceFaults& faults)
{
    std::shared_ptr<Vexlib::detail::DeviceData> found;
    {
        std::lock_guard lock(mutex_);
        for (const auto& device : devices_)
            if (device->spec.name == name) found = device;
    }
    if (!found) return false;
    found->setFaults(faults);
    return true;
}

ListFault Library::deviceListFault() const
{
    std::lock_guard lock(mutex_);
    return deviceList_;
}

void Library::setDeviceListFault(ListFault fault)
{
    std::lock_guard lock(mutex_);
    deviceList_ = fault;
}

RigError::~RigError() = default;

void installRig(Rig rig) { Library::instance().install(std::move(rig)); }
void useRigFile(const std::string& path) { Library::instance().install(loadRigFile(path)); }
void clearInstalledRig() { Library::instance().clearInstalled(); }
bool isLibraryInitialised() { return Library::instance().initialised(); }
std::string lastInitError() { return Library::instance().lastInitError(); }

bool setDeviceFaults(const std::string& deviceName, const DeviceFaults& faults)
{
    return Library::instance().setFaults(deviceName, faults);
}

DeviceFaults deviceFaults(const std::string& deviceName)
{
    const auto device = Library::instance().findDevice(deviceName);
    return device ? device->faults() : DeviceFaults{};
}

void setDeviceListFault(ListFault fault) { Library::instance().setDeviceListFault(fault); }

void setFreeRunning(bool freeRunning) { counters::freeRunning = freeRunning; }
bool isFreeRunning() { return counters::freeRunning; }
void setPatternGeneration(bool generate) { counters::patternGeneration = generate; }
bool isPatternGenerationOn() { return counters::patternGeneration; }
void setFillObserver(void (*observer)(std::uint32_t frameNumber)) { counters::fillObserver = observer; }

std::int64_t liveGrabbers() { return counters::liveGrabbers; }
std::int64_t runningStreams() { return counters::runningStreams; }
std::int64_t lockedBuffers() { return counters::lockedBuffers; }
std::int64_t liveBuffers() { return counters::liveBuffers; }
std::int64_t framesDelivered() { return counters::framesDelivered; }
std::int64_t framesSkipped() { return counters::framesSkipped; }

} // namespace vexcam

namespace Vexlib {

bool InitLibrary()
{
    return vexcam::Library::instance().init();
}

void ExitLibrary()
{
    vexcam::Library::instance().exit();
}

} // namespace Vexlib
