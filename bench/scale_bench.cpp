// How delivery scales, as one JSON document on stdout:
//  - "cameras": 1, 2 and 4 cameras streaming free-running at 1920x1080 RGB24
//    at once, aggregate frames per second against as many concurrent copies
//    of the same bytes (each into the destinations its camera's host used, in
//    the same rotation), in alternating rounds;
//  - "properties": the cost of a property read and write through the host
//    for cameras with 10, 50, 200 and 1000 property items while the camera
//    streams, with a least-squares straight line through the figures;
//  - "latency": from the camera's buffer fill to the host's consumer, and to
//    the adaptor's stamp, at a paced 60 frames per second.
// Usage: scale_bench [--quick]; --quick runs fewer rounds (a smoke test).
#include "delivery_bench_support.h"

#include "imaqhost/testing/accounting.h"
#include "numbered_settings.h"
#include "vexcam/pixel_layout.h"
#include "vexcam/testing/camera_testing.h"

#include <nlohmann/json.hpp>

#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

using namespace orx::bench;
using nlohmann::json;
using Clock = std::chrono::steady_clock;

double now()
{
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

struct Options {
    int cameraPairs = 4;
    int propertyRounds = 15;
    std::int64_t latencyFrames = 600;
};

// ---- several cameras at once --------------------------------------------

constexpr std::int32_t kScaleWidth = 1920;
constexpr std::int32_t kScaleHeight = 1080;
constexpr std::size_t kScaleBytes = std::size_t{kScaleWidth} * kScaleHeight * 3;
constexpr int kMostCameras = 4;

std::string scaleCamera(int i)
{
    return "ORX Scale Camera " + std::to_string(i + 1);
}

vexcam::DeviceSpec rgbCamera(const std::string& name, double fps)
{
    vexcam::DescriptionSpec description;
    description.colorformat = "RGB24";
    description.minSize = {kScaleWidth, kScaleHeight};
    description.maxSize = {kScaleWidth, kScaleHeight};
    vexcam::DeviceSpec device;
    device.name = name;
    device.norms.push_back(
        vexcam::NormSpec{"", {vexcam::FormatSpec{"RGB24", {kScaleWidth, kScaleHeight}}}, {description}});
    device.frameRates.defaults = {fps};
    return device;
}

// Aggregate frames per second: every stream's frames over the span from the
// first stream's first stamp to the last stream's last one. On a machine with
// fewer cores than streams the streams may take turns rather than run side by
// side; the rate still counts the work done in the time taken. The share of
// the longest stream's time that all of them ran at once goes to `overlap`.
double aggregateRate(const std::vector<std::vector<double>>& stamps, double& overlap)
{
    double first = 1e300, last = 0.0, allFrom = 0.0, allTo = 1e300, longest = 0.0;
    std::size_t frames = 0;
    overlap = 0.0;
    for (const auto& s : stamps) {
        if (s.size() < 2) return 0.0;
        first = std::min(first, s.front());
        last = std::max(last, s.back());
        allFrom = std::max(allFrom, s.front());
        allTo = std::min(allTo, s.back());
        longest = std::max(longest, s.back() - s.front());
        frames += s.size();
    }
    if (!(last > first)) return 0.0;
    overlap = allTo > allFrom ? (allTo - allFrom) / longest : 0.0;
    // Each stream's first stamp opens its span rather than ending a frame's time.
    return static_cast<double>(frames - stamps.size()) / (last - first);
}

// Copies one frame per rotation entry on the calling thread, stamping each.
std::vector<double> stampedCopies(const std::vector<std::vector<std::uint8_t>>& sources,
                                  std::vector<std::vector<std::uint8_t>>& destinations,
                                  const std::vector<std::size_t>& rotation)
{
    std::vector<double> stamps;
    stamps.reserve(rotation.size());
    constexpr std::size_t piece = std::size_t{256} << 10;
    for (std::size_t i = 0; i < rotation.size(); ++i) {
        auto& out = destinations[rotation[i]];
        const auto& in = sources[i % sources.size()];
        for (std::size_t done = 0; done < out.size(); done += piece)
            std::memcpy(out.data() + done, in.data() + done, std::min(piece, out.size() - done));
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
        stamps.push_back(now());
    }
    return stamps;
}

json measureCameras(const Options& options)
{
    vexcam::Rig rig;
    for (int i = 0; i < kMostCameras; ++i) rig.devices.push_back(rgbCamera(scaleCamera(i), 30.0));
    DeliverySession session(std::move(rig));
    std::vector<imaqhost::VideoInput*> inputs;
    for (int i = 0; i < kMostCameras; ++i)
        inputs.push_back(&session.open(scaleCamera(i), "RGB24 (1920x1080)"));

    // Enough frames that the streams' different start times leave most of
    // each acquisition running at the same time as the others.
    constexpr std::int64_t frames = 240;
    std::vector<std::vector<std::uint8_t>> sources(kCameraBuffers, std::vector<std::uint8_t>(kScaleBytes, 0x5A));
    json cases = json::array();
    for (const int count : {1, 2, 4}) {
        std::vector<DestinationRotation> rotations(static_cast<std::size_t>(count), DestinationRotation(frames));
        std::vector<std::vector<std::vector<std::uint8_t>>> destinations(static_cast<std::size_t>(count));
        std::vector<double> adaptorFps, copyFps, ratios, overlaps;
        std::atomic<bool> complete{true};
        for (int round = -1; round < options.cameraPairs; ++round) { // round -1 warms up
            std::vector<std::vector<double>> stamps(static_cast<std::size_t>(count));
            std::vector<std::thread> threads;
            for (int i = 0; i < count; ++i)
                threads.emplace_back([&, i] {
                    auto& rotation = rotations[static_cast<std::size_t>(i)];
                    rotation.clear();
                    auto& own = stamps[static_cast<std::size_t>(i)];
                    own.reserve(static_cast<std::size_t>(frames));
                    const auto record = rotation.recorder();
                    const auto stats = inputs[static_cast<std::size_t>(i)]->acquire(
                        frames, [&](const imaqhost::FrameView& frame) {
                            own.push_back(frame.time);
                            record(frame);
                        });
                    if (stats.received != frames) complete = false;
                });
            for (auto& t : threads) t.join();
            threads.clear();
            double overlap = 0.0, copyOverlap = 0.0;
            const double adaptor = aggregateRate(stamps, overlap);

            std::vector<std::vector<double>> copyStamps(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i) {
                const auto order = rotations[static_cast<std::size_t>(i)].rotation();
                auto& own = destinations[static_cast<std::size_t>(i)];
                const std::size_t needed = order.empty() ? 1 : *std::max_element(order.begin(), order.end()) + 1;
                while (own.size() < needed) own.emplace_back(kScaleBytes, std::uint8_t{0});
                threads.emplace_back([&, i, order] {
                    copyStamps[static_cast<std::size_t>(i)] =
                        stampedCopies(sources, destinations[static_cast<std::size_t>(i)], order);
                });
            }
            for (auto& t : threads) t.join();
            const double copy = aggregateRate(copyStamps, copyOverlap);
            if (round < 0) continue;
            adaptorFps.push_back(adaptor);
            copyFps.push_back(copy);
            ratios.push_back(copy > 0.0 ? adaptor / copy : 0.0);
            overlaps.push_back(overlap);
        }
        const auto ratio = spreadOf(ratios);
        cases.push_back({{"cameras", count},
                         {"adaptor_fps", spreadOf(adaptorFps).median},
                         {"copy_fps", spreadOf(copyFps).median},
                         {"ratio", ratio.median},
                         {"ratio_q1", ratio.q1},
                         {"ratio_q3", ratio.q3},
                         {"ratio_min", ratio.min},
                         {"ratio_max", ratio.max},
                         {"overlap", spreadOf(overlaps).median},
                         {"rounds", options.cameraPairs},
                         {"complete", complete.load()}});
    }
    return {{"format", "RGB24 1920x1080"}, {"frames_per_camera_per_round", frames}, {"cases", cases}};
}

// ---- property cost against the number of items -------------------------

constexpr const char* kPropertyCamera = "ORX Property Camera";

// A 640x480 camera at 30 frames per second with `count` items "Setting N",
// each with an integer Value element and an Auto switch.
vexcam::DeviceSpec propertyCamera(std::int64_t count)
{
    vexcam::DescriptionSpec description;
    description.colorformat = "Y800";
    description.minSize = {640, 480};
    description.maxSize = {640, 480};
    vexcam::DeviceSpec device;
    device.name = kPropertyCamera;
    device.norms.push_back(vexcam::NormSpec{"", {vexcam::FormatSpec{"Y800", {640, 480}}}, {description}});
    device.frameRates.defaults = {30.0};
    addNumberedSettings(device, count);
    return device;
}

// Least-squares straight line y = a + b x, with the share of variance it explains.
json fitLine(const std::vector<double>& x, const std::vector<double>& y)
{
    const double n = static_cast<double>(x.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double intercept = (sy - slope * sx) / n;
    double residual = 0, total = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double fitted = intercept + slope * x[i];
        residual += (y[i] - fitted) * (y[i] - fitted);
        total += (y[i] - sy / n) * (y[i] - sy / n);
    }
    return {{"intercept_ns", intercept}, {"slope_ns_per_item", slope}, {"r2", total > 0 ? 1.0 - residual / total : 1.0}};
}

// The published name of the last item's value: "Setting<N-1>" in some spelling.
std::string lastSettingName(imaqhost::VideoInput& input, std::int64_t items)
{
    const std::string number = std::to_string(items - 1);
    for (const auto& name : input.propertyNames()) {
        std::string letters;
        for (char ch : name)
            if (ch != ' ' && ch != '_') letters += ch;
        if (letters == "Setting" + number) return name;
    }
    return {};
}

json measureProperties(const Options& options)
{
    vexcam::setFreeRunning(false); // the camera streams at its frame rate
    json cases = json::array();
    std::vector<double> items, reads, writes;
    for (const std::int64_t count : {10, 50, 200, 1000}) {
        vexcam::Rig rig{{propertyCamera(count)}, {}};
        DeliverySession session(std::move(rig));
        vexcam::setFreeRunning(false);
        auto& input = session.open(kPropertyCamera, "Y800 (640x480)");
        const auto name = lastSettingName(input, count);
        if (name.empty()) return {{"error", "no property for the last item"}};

        // The camera streams on a host thread of ours while this thread reads and writes.
        std::atomic<bool> streaming{true};
        std::int64_t streamed = 0;
        std::thread stream([&] {
            while (streaming.load()) streamed += input.acquire(15).received;
        });
        const int operations = count >= 1000 ? 40 : 200;
        std::vector<double> readNs, writeNs;
        std::int32_t value = 0;
        for (int round = 0; round < options.propertyRounds; ++round) {
            auto start = Clock::now();
            for (int i = 0; i < operations; ++i) benchmark::DoNotOptimize(input.get(name));
            readNs.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count() / operations);
            start = Clock::now();
            for (int i = 0; i < operations; ++i) {
                value = (value + 1) % 1000;
                input.set(name, imaqhost::PropertyValue{value});
            }
            writeNs.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count() / operations);
        }
        streaming = false;
        stream.join();
        const auto read = spreadOf(readNs);
        const auto write = spreadOf(writeNs);
        cases.push_back({{"items", count},
                         {"read_ns", read.median},
                         {"read_q1", read.q1},
                         {"read_q3", read.q3},
                         {"write_ns", write.median},
                         {"write_q1", write.q1},
                         {"write_q3", write.q3},
                         {"frames_streamed", streamed}});
        items.push_back(static_cast<double>(count));
        reads.push_back(read.median);
        writes.push_back(write.median);
    }
    vexcam::setFreeRunning(true);
    return {{"stream", "Y800 640x480 at 30 fps"},
            {"rounds", options.propertyRounds},
            {"cases", cases},
            {"read_fit", fitLine(items, reads)},
            {"write_fit", fitLine(items, writes)}};
}

// ---- latency at a paced 60 frames per second ----------------------------

std::mutex gFillMutex;
std::vector<double> gFillTimes;

void noteFill(std::uint32_t)
{
    const double t = now();
    std::lock_guard lock(gFillMutex);
    if (gFillTimes.size() < gFillTimes.capacity()) gFillTimes.push_back(t);
}

json latencySpread(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms[static_cast<std::size_t>(q * static_cast<double>(ms.size() - 1))]; };
    return {{"p50_ms", at(0.5)}, {"p99_ms", at(0.99)}, {"max_ms", ms.back()}};
}

json measureLatency(const Options& options)
{
    const auto frames = options.latencyFrames;
    vexcam::Rig rig{{rgbCamera("ORX Latency Camera", 60.0)}, {}};
    DeliverySession session(std::move(rig));
    vexcam::setFreeRunning(false);
    vexcam::setPatternGeneration(true); // the camera fills every buffer as a camera would
    auto& input = session.open("ORX Latency Camera", "RGB24 (1920x1080)");
    input.acquire(10);

    {
        std::lock_guard lock(gFillMutex);
        gFillTimes.clear();
        gFillTimes.reserve(static_cast<std::size_t>(frames));
    }
    std::vector<double> received, stamped;
    received.reserve(static_cast<std::size_t>(frames));
    stamped.reserve(static_cast<std::size_t>(frames));
    vexcam::setFillObserver(noteFill);
    const auto stats = input.acquire(frames, [&](const imaqhost::FrameView& frame) {
        received.push_back(now());
        stamped.push_back(frame.time);
    });
    vexcam::setFillObserver(nullptr);
    vexcam::setPatternGeneration(false);
    vexcam::setFreeRunning(true);

    std::vector<double> toHost, toStamp;
    std::lock_guard lock(gFillMutex);
    // Every buffer the camera filled went to the host, in order: a frame
    // that was skipped or refused would shift the pairs, so it is reported.
    const bool paired = gFillTimes.size() >= received.size() && stats.refused == 0 && stats.notWanted == 0;
    for (std::size_t i = 0; i < received.size() && i < gFillTimes.size(); ++i) {
        toHost.push_back((received[i] - gFillTimes[i]) * 1e3);
        toStamp.push_back((stamped[i] - gFillTimes[i]) * 1e3);
    }
    if (toHost.empty()) return {{"error", "no frames"}};
    return {{"format", "RGB24 1920x1080, pattern drawn per frame"},
            {"fps", 60},
            {"frames", static_cast<std::int64_t>(received.size())},
            {"measured_fps", stats.measuredRate},
            {"paired", paired},
            {"fill_to_consumer", latencySpread(toHost)},
            {"fill_to_adaptor_stamp", latencySpread(toStamp)}};
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (argc > 1 && std::string(argv[1]) == "--quick") options = Options{2, 3, 60};
    json out;
    out["cameras"] = measureCameras(options);
    out["properties"] = measureProperties(options);
    out["latency"] = measureLatency(options);
    std::puts(out.dump(1).c_str());
    return 0;
}
