// What the region read costs per frame. A region-of-interest camera crops to
// a window and the adaptor reads the partial-scan offsets through the camera's
// property tree for every frame; a camera whose full format has the window's
// size delivers the same pixels without that read. Each iteration acquires a
// batch from each camera in turn, so both rates come from the same run:
// "region_read_ns" is the difference per frame, "ratio_vs_plain" the region
// camera's rate over the plain camera's (both from the median cost of
// windows of frames, as in the frame-delivery benchmark; "mean_ratio" from
// the whole time).
//
// BM_RegionRead times the region read alone, called by the host thread on an
// idle camera, for both kinds of camera.
#include "delivery_bench_support.h"
#include "imaqhost/testing/video_input_inspector.h"

#include "vexcam/pixel_layout.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

using namespace orx::bench;

// The region-of-interest camera of the default rig: Y800 and Y16 up to
// 1280 x 960 on a (4, 2) grid, with partial-scan offsets among its properties.
constexpr const char* kRoiCamera = "ORX Mono ROI 1280";
constexpr const char* kRoiFullFormat = "Y800 (1280x960)";
constexpr vexcam::Size kSensor{1280, 960};
constexpr int kWarmUpAcquisitions = 2;

struct Window {
    std::int32_t width;
    std::int32_t height;

    std::string plainCamera() const { return "ORX Bench Plain " + size(); }
    std::string plainFormat() const { return "Y800 (" + size() + ")"; }
    std::size_t frameBytes() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
    // Centred on the sensor, on the camera's (4, 2) grid.
    imaqhost::Region region() const
    {
        return {(kSensor.cx - width) / 2 / 4 * 4, (kSensor.cy - height) / 2 / 2 * 2, width, height};
    }

private:
    std::string size() const { return std::to_string(width) + "x" + std::to_string(height); }
};

constexpr Window kWindows[] = {{320, 240}, {640, 480}, {1280, 960}};

// A monochrome camera whose one format has exactly the window's size.
vexcam::DeviceSpec plainCamera(const Window& window)
{
    vexcam::DescriptionSpec description;
    description.colorformat = "Y800";
    description.minSize = {window.width, window.height};
    description.maxSize = {window.width, window.height};

    vexcam::DeviceSpec device;
    device.name = window.plainCamera();
    device.norms.push_back(vexcam::NormSpec{"", {vexcam::FormatSpec{"Y800", {window.width, window.height}}}, {description}});
    device.frameRates.defaults = {30.0};
    return device;
}

// The default rig with a plain camera for every window.
vexcam::Rig benchRig()
{
    auto rig = vexcam::defaultRig();
    for (const auto& window : kWindows) rig.devices.push_back(plainCamera(window));
    return rig;
}

// The region camera opened in its full format and cropped to the window.
imaqhost::VideoInput& openCropped(DeliverySession& session, const Window& window)
{
    auto& input = session.open(kRoiCamera, kRoiFullFormat);
    input.setRegion(window.region());
    return input;
}

void BM_RoiDelivery(benchmark::State& state)
{
    const Window cropWindow = kWindows[state.range(0)];
    DeliverySession session(benchRig());
    auto& cropped = openCropped(session, cropWindow);
    auto& plain = session.open(cropWindow.plainCamera(), cropWindow.plainFormat());
    const auto frames = framesPerAcquisition(cropWindow.frameBytes(), std::size_t{1} << 30, 40, 4000);
    const auto window = framesPerWindow(cropWindow.frameBytes());

    // Both deliver whole frames of the window, the cropped one from the
    // window's place on the sensor; then untimed acquisitions grow each
    // host's frame pool to what its stream needs.
    const auto region = cropWindow.region();
    auto problem =
        checkDelivery(cropped, vexcam::PixelLayout::Gray8, cropWindow.width, cropWindow.height, region.x, region.y);
    if (problem.empty()) problem = checkDelivery(plain, vexcam::PixelLayout::Gray8, cropWindow.width, cropWindow.height);
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    for (int i = 0; i < kWarmUpAcquisitions; ++i) {
        acquireTimed(cropped, frames);
        acquireTimed(plain, frames);
    }

    RateRecord withRead;
    RateRecord withoutRead;
    bool croppedFirst = true;
    for (auto _ : state) {
        // Taking turns at going first, so that neither camera always follows the other.
        DeliveryTiming croppedTiming;
        DeliveryTiming plainTiming;
        if (croppedFirst) croppedTiming = acquireTimed(cropped, frames);
        plainTiming = acquireTimed(plain, frames);
        if (!croppedFirst) croppedTiming = acquireTimed(cropped, frames);
        croppedFirst = !croppedFirst;
        if (!croppedTiming.completed || !plainTiming.completed) {
            state.SkipWithError("an acquisition did not complete");
            return;
        }
        state.SetIterationTime(croppedTiming.seconds);
        withRead.add(croppedTiming, window);
        withoutRead.add(plainTiming, window);
    }

    state.SetLabel(std::to_string(cropWindow.width) + "x" + std::to_string(cropWindow.height));
    state.SetItemsProcessed(withRead.frames);
    state.counters["roi_fps"] = withRead.medianFps();
    state.counters["plain_fps"] = withoutRead.medianFps();
    state.counters["roi_ns"] = withRead.medianNs();
    state.counters["plain_ns"] = withoutRead.medianNs();
    state.counters["region_read_ns"] = withRead.medianNs() - withoutRead.medianNs();
    state.counters["ratio_vs_plain"] = withRead.medianFps() / withoutRead.medianFps();
    state.counters["mean_ratio"] = withRead.meanFps() / withoutRead.meanFps();
}

// Range 0: the cropped region camera; 1: the plain camera of the same window.
void BM_RegionRead(benchmark::State& state)
{
    const Window window = kWindows[0];
    DeliverySession session(benchRig());
    auto& input = state.range(0) == 0 ? openCropped(session, window)
                                      : session.open(window.plainCamera(), window.plainFormat());
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    for (auto _ : state) {
        imaqhost::inspect(input).adaptor().getROI(&x, &y, &width, &height);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
    }
    const auto expected = state.range(0) == 0 ? window.region() : imaqhost::Region{0, 0, window.width, window.height};
    if (imaqhost::Region{x, y, width, height} != expected) state.SkipWithError("the region read is wrong");
    state.SetLabel(state.range(0) == 0 ? "region camera" : "plain camera");
}

BENCHMARK(BM_RoiDelivery)->DenseRange(0, 2)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegionRead)->Arg(0)->Arg(1)->MinTime(0.5);

} // namespace

BENCHMARK_MAIN();
