// Frame delivery through the adaptor and the host, against a plain memcpy of
// the same bytes per frame, for four image sizes and pixel layouts. Each
// iteration acquires a batch of frames from a free-running camera and then
// copies as many frames with memcpy, so both rates come from the same moments
// of the same run.
//
// The counters: "adaptor_fps" and "memcpy_fps" from the median cost of
// windows of frames (other processes on the machine touch few windows), their
// ratio "ratio_vs_memcpy", and "mean_ratio" from the whole time instead.
// items_per_second is the adaptor's mean rate. "new_host_frames" counts the
// frames the host had to make during the timed batches (each is fresh memory
// to fault in); "start_ms" is the stream's start, which no rate includes.
#include "delivery_bench_support.h"

#include "imaqsim/accounting.h"
#include "vexsim/pixel_layout.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

using namespace orx::bench;

constexpr const char* kCameraName = "ORX Bench Camera";
constexpr int kWarmUpAcquisitions = 2;

struct DeliveryCase {
    const char* colorformat;
    vexsim::PixelLayout layout;
    std::int32_t width;
    std::int32_t height;

    std::size_t frameBytes() const
    {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * vexsim::bytesPerPixel(layout);
    }
    std::string formatName() const
    {
        return std::string(colorformat) + " (" + std::to_string(width) + "x" + std::to_string(height) + ")";
    }
};

// A camera with exactly one format.
vexsim::Rig cameraRig(const DeliveryCase& c)
{
    vexsim::DescriptionSpec description;
    description.colorformat = c.colorformat;
    description.minSize = {c.width, c.height};
    description.maxSize = {c.width, c.height};

    vexsim::DeviceSpec device;
    device.name = kCameraName;
    device.serial = 0xBE4C;
    device.norms.push_back(vexsim::NormSpec{"", {vexsim::FormatSpec{c.colorformat, {c.width, c.height}}}, {description}});
    device.frameRates.defaults = {30.0};
    return vexsim::Rig{{device}, {}};
}

void reportRates(benchmark::State& state, const RateRecord& adaptor, const RateRecord& plainCopy)
{
    state.SetItemsProcessed(adaptor.frames);
    state.counters["adaptor_fps"] = adaptor.medianFps();
    state.counters["memcpy_fps"] = plainCopy.medianFps();
    state.counters["ratio_vs_memcpy"] = adaptor.medianFps() / plainCopy.medianFps();
    state.counters["adaptor_ns"] = adaptor.medianNs();
    state.counters["memcpy_ns"] = plainCopy.medianNs();
    state.counters["mean_ratio"] = adaptor.meanFps() / plainCopy.meanFps();
}

void BM_FrameDelivery(benchmark::State& state, DeliveryCase c)
{
    DeliverySession session(cameraRig(c));
    auto& input = session.open(kCameraName, c.formatName());
    const auto frames = framesPerAcquisition(c.frameBytes(), std::size_t{1} << 30, 40, 4000);
    const auto window = framesPerWindow(c.frameBytes());

    // Proves that whole frames arrive; then untimed acquisitions grow the
    // host's frame pool to what the stream needs.
    if (const auto problem = checkDelivery(input, c.layout, c.width, c.height); !problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    for (int i = 0; i < kWarmUpAcquisitions; ++i) acquireTimed(input, frames);

    MemcpyBaseline baseline(c.frameBytes());
    RateRecord adaptor;
    RateRecord plainCopy;
    double startSeconds = 0.0;
    const auto framesBefore = imaqsim::framesConstructed();
    for (auto _ : state) {
        const auto timing = acquireTimed(input, frames);
        if (!timing.completed) {
            state.SkipWithError("the acquisition did not complete");
            return;
        }
        state.SetIterationTime(timing.seconds);
        adaptor.add(timing, window);
        startSeconds += timing.startSeconds;
        baseline.copy(timing.frames, window, plainCopy);
    }
    reportRates(state, adaptor, plainCopy);
    state.counters["new_host_frames"] = static_cast<double>(imaqsim::framesConstructed() - framesBefore);
    state.counters["start_ms"] = startSeconds * 1e3 / static_cast<double>(state.iterations());
}

constexpr DeliveryCase kVga{"Y800", vexsim::PixelLayout::Gray8, 640, 480};
constexpr DeliveryCase kFullHd{"RGB24", vexsim::PixelLayout::Rgb24, 1920, 1080};
constexpr DeliveryCase kWuxga{"Y16", vexsim::PixelLayout::Gray16, 1920, 1200};
constexpr DeliveryCase kFiveMegapixel{"RGB32", vexsim::PixelLayout::Rgb32, 2560, 1920};

// Every run builds its own camera and host, and a stream start costs up to a
// second, so the iterations are fixed: one run per case.
constexpr int kIterations = 5;

BENCHMARK_CAPTURE(BM_FrameDelivery, Y800_640x480, kVga)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FrameDelivery, RGB24_1920x1080, kFullHd)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FrameDelivery, Y16_1920x1200, kWuxga)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FrameDelivery, RGB32_2560x1920, kFiveMegapixel)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
