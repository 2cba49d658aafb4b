// Frame delivery through the adaptor and the host, against a plain memcpy of
// the same bytes per frame, for four image sizes and pixel layouts.
//
// The method: many short rounds in one process, the adaptor and the baseline
// alternating (which goes first alternates too), so that both see the same
// moments of a busy or quiet machine. A round of the adaptor is one
// acquisition, timed by the frames' own stamps; the baseline then copies the
// same number of frames from a ring of five sources into as many
// destinations, in the same rotation, as the host's frame pool used in that
// round (the fair limit), and into a single destination (the reference of
// earlier figures). Every pair gives a ratio; the counters are the median
// ratio with its quartiles and extremes, and "unsteady" is 1 when the
// interquartile range reaches further than 5 % from the median.
//
// Counters: "ratio_fair" (adaptor rate over the fair limit's) with
// "ratio_fair_q1", "_q3", "_min", "_max"; the same for "ratio_single";
// "adaptor_ns", "fair_ns", "single_ns" (median per frame); "destinations"
// (median number of host frames a round used); "pairs"; "new_host_frames"
// (frames the host had to make during the rounds); "start_ms" (median stream
// start, which no rate includes).
#include "delivery_bench_support.h"

#include "imaqhost/testing/accounting.h"
#include "vexcam/format_text.h"
#include "vexcam/pixel_layout.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

using namespace orx::bench;

constexpr const char* kCameraName = "ORX Bench Camera";
constexpr int kWarmUpAcquisitions = 2;

struct DeliveryCase {
    const char* colorformat;
    vexcam::PixelLayout layout;
    std::int32_t width;
    std::int32_t height;

    std::size_t frameBytes() const
    {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * vexcam::bytesPerPixel(layout);
    }
    std::string formatName() const
    {
        return vexcam::formatText(colorformat, {width, height});
    }
};

// A camera with exactly one format.
vexcam::Rig cameraRig(const DeliveryCase& c)
{
    vexcam::DescriptionSpec description;
    description.colorformat = c.colorformat;
    description.minSize = {c.width, c.height};
    description.maxSize = {c.width, c.height};

    vexcam::DeviceSpec device;
    device.name = kCameraName;
    device.serial = 0xBE4C;
    device.norms.push_back(vexcam::NormSpec{"", {vexcam::FormatSpec{c.colorformat, {c.width, c.height}}}, {description}});
    device.frameRates.defaults = {30.0};
    return vexcam::Rig{{device}, {}};
}

// Pairs of rounds per case; at least 15 for quartiles worth stating.
constexpr int kPairs = 20;
// Bytes of frames per round: a few to a few tens of milliseconds of frames.
constexpr std::size_t kBytesPerRound = std::size_t{256} << 20;
// An interquartile range wider than this, either side of the median, is flagged.
constexpr double kSteadyFraction = 0.05;

void reportSpread(benchmark::State& state, const std::string& name, const std::vector<double>& values)
{
    const auto spread = spreadOf(values);
    state.counters[name] = spread.median;
    state.counters[name + "_q1"] = spread.q1;
    state.counters[name + "_q3"] = spread.q3;
    state.counters[name + "_min"] = spread.min;
    state.counters[name + "_max"] = spread.max;
    state.counters[name + "_unsteady"] = spread.widerThan(kSteadyFraction) ? 1.0 : 0.0;
}

struct PairFigures {
    std::vector<double> adaptorNs, fairNs, singleNs, ratioFair, ratioSingle, destinations, startMs;
};

// One pair: a round through the adaptor and the two baselines. When the
// baselines go first, the fair limit follows the previous round's rotation
// (the warm-up's for the first pair).
bool runPair(imaqhost::VideoInput& input, std::int64_t frames, bool adaptorFirst, CopyBaseline& baseline,
             DestinationRotation& rotation, std::vector<std::size_t>& lastOrder, PairFigures& figures)
{
    const std::vector<std::size_t> single(static_cast<std::size_t>(frames), 0);
    double fairNs = 0.0, singleNs = 0.0;
    if (!adaptorFirst) {
        fairNs = baseline.copyRound(lastOrder);
        singleNs = baseline.copyRound(single);
    }
    rotation.clear();
    const auto stats = input.acquire(frames, rotation.recorder());
    if (stats.end != imaqhost::AcquisitionEnd::Completed || stats.received != frames) return false;
    lastOrder = rotation.rotation();
    if (adaptorFirst) {
        fairNs = baseline.copyRound(lastOrder);
        singleNs = baseline.copyRound(single);
    }

    const double adaptorNs = (stats.lastTime - stats.firstTime) * 1e9 / static_cast<double>(frames - 1);
    figures.adaptorNs.push_back(adaptorNs);
    figures.fairNs.push_back(fairNs);
    figures.singleNs.push_back(singleNs);
    figures.ratioFair.push_back(fairNs / adaptorNs);
    figures.ratioSingle.push_back(singleNs / adaptorNs);
    figures.destinations.push_back(static_cast<double>(*std::max_element(lastOrder.begin(), lastOrder.end()) + 1));
    figures.startMs.push_back((stats.firstTime - stats.startedAt) * 1e3);
    return true;
}

void BM_FrameDelivery(benchmark::State& state, DeliveryCase c)
{
    DeliverySession session(cameraRig(c));
    auto& input = session.open(kCameraName, c.formatName());
    const auto frames = framesPerAcquisition(c.frameBytes(), kBytesPerRound, 8, 512);

    // Proves that whole frames arrive; then untimed acquisitions grow the
    // host's frame pool to what the stream needs.
    if (const auto problem = checkDelivery(input, c.layout, c.width, c.height); !problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    DestinationRotation rotation(static_cast<std::size_t>(frames));
    for (int i = 0; i < kWarmUpAcquisitions; ++i) {
        rotation.clear();
        input.acquire(frames, rotation.recorder());
    }
    std::vector<std::size_t> lastOrder = rotation.rotation();

    CopyBaseline baseline(c.frameBytes());
    PairFigures figures;
    const auto framesBefore = imaqhost::framesConstructed();
    for (auto _ : state) {
        for (int pair = 0; pair < kPairs; ++pair) {
            if (!runPair(input, frames, pair % 2 == 0, baseline, rotation, lastOrder, figures)) {
                state.SkipWithError("an acquisition did not complete");
                return;
            }
        }
    }
    state.SetItemsProcessed(frames * kPairs);
    reportSpread(state, "ratio_fair", figures.ratioFair);
    reportSpread(state, "ratio_single", figures.ratioSingle);
    state.counters["adaptor_ns"] = spreadOf(figures.adaptorNs).median;
    state.counters["fair_ns"] = spreadOf(figures.fairNs).median;
    state.counters["single_ns"] = spreadOf(figures.singleNs).median;
    state.counters["destinations"] = spreadOf(figures.destinations).median;
    state.counters["destinations_max"] = spreadOf(figures.destinations).max;
    state.counters["start_ms"] = spreadOf(figures.startMs).median;
    state.counters["pairs"] = kPairs;
    state.counters["frames_per_round"] = static_cast<double>(frames);
    state.counters["frame_bytes"] = static_cast<double>(c.frameBytes());
    state.counters["new_host_frames"] = static_cast<double>(imaqhost::framesConstructed() - framesBefore);
}

constexpr DeliveryCase kVga{"Y800", vexcam::PixelLayout::Gray8, 640, 480};
constexpr DeliveryCase kFullHd{"RGB24", vexcam::PixelLayout::Rgb24, 1920, 1080};
constexpr DeliveryCase kWuxga{"Y16", vexcam::PixelLayout::Gray16, 1920, 1200};
constexpr DeliveryCase kFiveMegapixel{"RGB32", vexcam::PixelLayout::Rgb32, 2560, 1920};

// Every case builds its own camera and host and runs its pairs of rounds in
// one iteration.
BENCHMARK_CAPTURE(BM_FrameDelivery, Y800_640x480, kVga)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FrameDelivery, RGB24_1920x1080, kFullHd)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FrameDelivery, Y16_1920x1200, kWuxga)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FrameDelivery, RGB32_2560x1920, kFiveMegapixel)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
