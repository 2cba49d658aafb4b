// Cost of the property bridge against the number of camera property items:
// a run-time read and a write of one camera property (each walks every item
// and element afresh), and a whole getDeviceAttributes. The "per_item" column
// is the time divided by the number of items, so a flat column means linear
// growth; the complexity lines fit the times to N.
#include "common/task_mem.h"
#include "properties/device_attributes.h"
#include "properties/run_time_access.h"
#include "numbered_settings.h"
#include "vexcam/vexcam.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace {

constexpr const char* kCameraName = "ORX Bench Camera";
constexpr const char* kFormat = "Y800 (640x480)";

// `count` items "Setting N", each with an integer Value element and an Auto switch.
vexcam::DeviceSpec benchCamera(std::int64_t count)
{
    vexcam::DeviceSpec device;
    device.name = kCameraName;
    device.serial = 0x1234;
    device.norms.push_back(vexcam::NormSpec{"", {vexcam::FormatSpec{"Y800", {640, 480}}}, {}});
    device.frameRates.defaults = {60, 30, 15, 7.5};
    addNumberedSettings(device, count);
    return device;
}

class CameraOnRig {
public:
    explicit CameraOnRig(std::int64_t items)
    {
        vexcam::installRig(vexcam::Rig{{benchCamera(items)}});
        Vexlib::InitLibrary();
    }
    ~CameraOnRig()
    {
        Vexlib::ExitLibrary();
        vexcam::clearInstalledRig();
    }
    CameraOnRig(const CameraOnRig&) = delete;
    CameraOnRig& operator=(const CameraOnRig&) = delete;
};

class OpenGrabber {
public:
    OpenGrabber()
    {
        const auto name = orx::copyToTaskMem(kCameraName);
        grabber_.openDev(Vexlib::dstringa(name.get()));
    }
    ~OpenGrabber() { grabber_.closeDev(); }
    OpenGrabber(const OpenGrabber&) = delete;
    OpenGrabber& operator=(const OpenGrabber&) = delete;
    Vexlib::Grabber& get() { return grabber_; }

private:
    Vexlib::Grabber grabber_;
};

class NamedProperty final : public imaqkit::IPropInfo {
public:
    explicit NamedProperty(std::string name) : name_(std::move(name)) {}
    const char* getPropertyName() override { return name_.c_str(); }
    void propInfoReserved2() override {}
    void propInfoReserved3() override {}
    void propInfoReserved4() override {}
    void propInfoReserved5() override {}
    bool isDeviceSpecific() override { return true; }

private:
    std::string name_;
};

// Hands out handles and forgets everything else.
class CountingFactory final : public imaqkit::IPropFactory {
public:
    std::int64_t published = 0;

    imaqkit::PropertyHandle newDoubleRangeProperty(const char*, double, double, double) override { return next(); }
    imaqkit::PropertyHandle newIntProperty(const char*, std::int32_t, std::int32_t) override { return next(); }
    imaqkit::PropertyHandle newIntRangeProperty(const char*, std::int32_t, std::int32_t, std::int32_t,
                                                std::int32_t) override
    {
        return next();
    }
    imaqkit::PropertyHandle newEnumProperty(const char*, const char*, std::int32_t) override { return next(); }
    void appendEnumValue(imaqkit::PropertyHandle, const char*, std::int32_t) override {}
    void publishProperty(imaqkit::PropertyHandle) override { ++published; }
    void setReadOnlyMode(imaqkit::PropertyHandle, const char*) override {}
    void factoryReserved1() override {}
    void factoryReserved2() override {}
    void factoryReserved3() override {}
    void factoryReserved5() override {}
    void factoryReserved6() override {}
    void factoryReserved9() override {}
    void factoryReserved10() override {}
    void factoryReserved13() override {}
    void factoryReserved15() override {}
    void factoryReserved16() override {}
    void factoryReserved17() override {}

private:
    imaqkit::PropertyHandle next() { return &slots_[counter_++ % 2]; }
    std::int64_t counter_ = 0;
    int slots_[2] = {};
};

class BenchDevice final : public imaqkit::IDeviceInfo {
public:
    imaqkit::IDeviceFormat* createDeviceFormat(std::int32_t, const char*) override { return nullptr; }
    void addDeviceFormat(imaqkit::IDeviceFormat*, bool) override {}
    void deviceInfoReserved3() override {}
    const char* getDeviceName() override { return kCameraName; }
    void setDeviceFileSupport(bool) override {}
};

class IgnoredSources final : public imaqkit::IVideoSourceInfo {
public:
    void addAdaptorSource(const char*, std::int32_t) override {}
};

void reportGrowth(benchmark::State& state)
{
    const auto items = state.range(0);
    state.SetComplexityN(items);
    state.counters["items"] = static_cast<double>(items);
    state.counters["per_item"] = benchmark::Counter(
        static_cast<double>(items), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The property searched for is the last item's, but every item is walked anyway.
std::string lastItemName(std::int64_t items)
{
    return "Setting" + std::to_string(items - 1);
}

void BM_ReadCameraProperty(benchmark::State& state)
{
    CameraOnRig rig(state.range(0));
    OpenGrabber grabber;
    NamedProperty info(lastItemName(state.range(0)));
    std::int64_t buffer = 0;
    for (auto _ : state) {
        orx::readDeviceProperty(grabber.get(), &info, &buffer);
        benchmark::DoNotOptimize(buffer);
    }
    if (buffer != 500) state.SkipWithError("wrong value read");
    reportGrowth(state);
}

void BM_WriteCameraProperty(benchmark::State& state)
{
    CameraOnRig rig(state.range(0));
    OpenGrabber grabber;
    NamedProperty info(lastItemName(state.range(0)));
    std::int32_t value = 0;
    for (auto _ : state) {
        value = (value + 1) % 1000;
        std::int32_t newValue = value;
        orx::writeDeviceProperty(grabber.get(), &info, &newValue);
    }
    reportGrowth(state);
}

void BM_GetDeviceAttributes(benchmark::State& state)
{
    CameraOnRig rig(state.range(0));
    BenchDevice device;
    IgnoredSources sources;
    CountingFactory factory;
    for (auto _ : state) orx::getDeviceAttributes(&device, kFormat, &factory, &sources);
    // Two properties per item (Value, Auto) and "SerialNo" and "FrameRate", per call.
    const auto expected = (2 * state.range(0) + 2) * static_cast<std::int64_t>(state.iterations());
    if (factory.published != expected) state.SkipWithError("unexpected number of properties");
    reportGrowth(state);
}

BENCHMARK(BM_ReadCameraProperty)->Arg(10)->Arg(50)->Arg(200)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteCameraProperty)->Arg(10)->Arg(50)->Arg(200)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetDeviceAttributes)->Arg(10)->Arg(50)->Arg(200)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
