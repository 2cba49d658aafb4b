#include "library.h"

#include "backend_registry.h"
#include "simulation_counters.h"

#include "vexcam/testing/camera_testing.h"
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

bool Library::build(const Rig& rig)
{
    devices_.clear();
    deviceList_ = rig.deviceList;
    for (const auto& backend : cameraBackends()) {
        auto found = backend.discover(rig);
        if (!found.error.empty()) {
            lastInitError_ = found.error;
            std::fprintf(stderr, "vexlib: %s\n", found.error.c_str());
            return false;
        }
        for (auto& device : found.devices) devices_.push_back(std::move(device));
    }
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
