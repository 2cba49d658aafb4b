// What the frame-delivery benchmarks share: an adaptor driven in-process by a
// host session on an installed rig, a timed acquisition, and a plain memcpy
// of the same bytes to compare it with.
#pragma once

#include "imaqhost/session.h"
#include "imaqhost/warnings.h"
#include "support/core_entry_points.h"
#include "vexcam/pattern.h"
#include "vexcam/vexcam.h"
#include "vexcam/testing/camera_testing.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace orx::bench {

// As many buffers as the adaptor's frame sink asks the camera for.
inline constexpr std::size_t kCameraBuffers = 5;

// The camera streams as fast as the adaptor takes frames, and fills its
// buffers once at the start instead of drawing a pattern per frame, so that
// only the delivery is measured. Warnings stay quiet. Undone at the end.
class ThroughputSettings {
public:
    ThroughputSettings()
        : freeRunning_(vexcam::isFreeRunning()), generation_(vexcam::isPatternGenerationOn())
    {
        vexcam::setFreeRunning(true);
        vexcam::setPatternGeneration(false);
        imaqhost::setWarningEcho(false);
    }
    ~ThroughputSettings()
    {
        vexcam::setPatternGeneration(generation_);
        vexcam::setFreeRunning(freeRunning_);
        imaqhost::setWarningEcho(true);
    }
    ThroughputSettings(const ThroughputSettings&) = delete;
    ThroughputSettings& operator=(const ThroughputSettings&) = delete;

private:
    bool freeRunning_;
    bool generation_;
};

// A rig installed in the camera library for as long as the object lives.
class InstalledRig {
public:
    explicit InstalledRig(vexcam::Rig rig) { vexcam::installRig(std::move(rig)); }
    ~InstalledRig() { vexcam::clearInstalledRig(); }
    InstalledRig(const InstalledRig&) = delete;
    InstalledRig& operator=(const InstalledRig&) = delete;
};

// A host session with the adaptor linked in, on a rig of our own. Video
// inputs opened through it close before the session ends, and the session
// before the rig goes.
class DeliverySession {
public:
    explicit DeliverySession(vexcam::Rig rig) : rig_(std::move(rig)), session_(orx::test::coreEntryPoints())
    {
        session_.discover();
    }

    imaqhost::VideoInput& open(const std::string& device, const std::string& format)
    {
        inputs_.push_back(session_.open(device, format));
        return *inputs_.back();
    }

private:
    ThroughputSettings settings_;
    InstalledRig rig_;
    imaqhost::Session session_;
    std::vector<std::unique_ptr<imaqhost::VideoInput>> inputs_;
};

// One acquisition, timed by the frames' own stamps: N frames give N - 1 whole
// frame intervals, and the stream's start and stop (which allocate and fill
// the camera's buffers) are left out.
struct DeliveryTiming {
    double seconds = 0.0;      // from the first frame's stamp to the last
    std::int64_t frames = 0;   // frame intervals in that time
    double startSeconds = 0.0; // from the acquisition's start to the first frame
    std::vector<double> stamps;
    bool completed = false;
};

inline DeliveryTiming acquireTimed(imaqhost::VideoInput& input, std::int64_t frames)
{
    DeliveryTiming timing;
    timing.stamps.reserve(static_cast<std::size_t>(frames));
    const auto stats = input.acquire(frames, [&](const imaqhost::FrameView& frame) { timing.stamps.push_back(frame.time); });
    timing.completed = stats.end == imaqhost::AcquisitionEnd::Completed && stats.received == frames &&
                       timing.stamps.size() == static_cast<std::size_t>(frames);
    timing.seconds = stats.lastTime - stats.firstTime;
    timing.frames = stats.received - 1;
    timing.startSeconds = stats.firstTime - stats.startedAt;
    return timing;
}

// Frames per second of an acquisition of `warmUp + frames`, from the stamp of
// the first frame after the warm-up to the last; 0 when frames were missing.
inline double rateAfterWarmUp(imaqhost::VideoInput& input, std::int64_t frames, std::int64_t warmUp)
{
    const auto timing = acquireTimed(input, frames + warmUp);
    if (!timing.completed || frames < 2) return 0.0;
    const auto& stamps = timing.stamps;
    return static_cast<double>(frames - 1) / (stamps.back() - stamps[static_cast<std::size_t>(warmUp)]);
}

// Nanoseconds per frame in each run of `window` frame intervals of a stamp list.
inline std::vector<double> windowCosts(const std::vector<double>& stamps, std::size_t window)
{
    std::vector<double> costs;
    for (std::size_t first = 0; first + window < stamps.size(); first += window)
        costs.push_back((stamps[first + window] - stamps[first]) * 1e9 / static_cast<double>(window));
    return costs;
}

// Frames per window: enough that a window spans several milliseconds, so that
// every periodic cost of the delivery falls into it; few enough for a
// handful of windows per acquisition.
inline std::size_t framesPerWindow(std::size_t frameBytes)
{
    return std::clamp<std::size_t>((std::size_t{128} << 20) / std::max<std::size_t>(frameBytes, 1), 4, 512);
}

// Frames per acquisition: about `bytesPerAcquisition` of pixels, within limits,
// so that every size runs for a similar time.
inline std::int64_t framesPerAcquisition(std::size_t frameBytes, std::size_t bytesPerAcquisition,
                                         std::int64_t fewest, std::int64_t most)
{
    const auto frames = static_cast<std::int64_t>(bytesPerAcquisition / std::max<std::size_t>(frameBytes, 1));
    return std::clamp(frames, fewest, most);
}

// An empty text when every frame of a short acquisition is the camera's whole
// image of the expected size from sensor position (x, y); else what is wrong.
inline std::string checkDelivery(imaqhost::VideoInput& input, vexcam::PixelLayout layout, std::int32_t width,
                                 std::int32_t height, std::int32_t x = 0, std::int32_t y = 0)
{
    std::string problem;
    const auto stats = input.acquire(4, [&](const imaqhost::FrameView& frame) {
        if (!problem.empty()) return;
        if (frame.width != width || frame.height != height) {
            problem = "frame of " + std::to_string(frame.width) + "x" + std::to_string(frame.height);
            return;
        }
        const auto check = vexcam::pattern::checkFrame(layout, frame.pixels, width, height, x, y);
        if (!check) problem = check.problem;
    });
    if (problem.empty() && stats.end != imaqhost::AcquisitionEnd::Completed)
        problem = std::string("acquisition ended: ") + imaqhost::toString(stats.end);
    return problem;
}

// The middle value; robust against the windows in which another process ran.
inline double median(std::vector<double> values)
{
    if (values.empty()) return 0.0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Time and frames summed over the timed batches of one benchmark, and the
// cost per frame of every window of them.
struct RateRecord {
    double seconds = 0.0;
    std::int64_t frames = 0;
    std::vector<double> windowNs;

    void add(const DeliveryTiming& timing, std::size_t window)
    {
        seconds += timing.seconds;
        frames += timing.frames;
        const auto costs = windowCosts(timing.stamps, window);
        windowNs.insert(windowNs.end(), costs.begin(), costs.end());
    }
    double meanFps() const { return seconds > 0.0 ? static_cast<double>(frames) / seconds : 0.0; }
    double medianNs() const { return median(windowNs); }
    double medianFps() const { return windowNs.empty() ? 0.0 : 1e9 / medianNs(); }
};

// Quartiles of a list of figures: the spread that goes with a median.
struct Spread {
    double median = 0.0;
    double q1 = 0.0;
    double q3 = 0.0;
    double min = 0.0;
    double max = 0.0;

    // True when the interquartile range reaches further than `fraction` from the median.
    bool widerThan(double fraction) const { return q1 < median * (1.0 - fraction) || q3 > median * (1.0 + fraction); }
};

inline Spread spreadOf(std::vector<double> values)
{
    Spread spread;
    if (values.empty()) return spread;
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        const double position = q * static_cast<double>(values.size() - 1);
        const auto below = static_cast<std::size_t>(position);
        const auto above = std::min(below + 1, values.size() - 1);
        return values[below] + (values[above] - values[below]) * (position - static_cast<double>(below));
    };
    spread.median = at(0.5);
    spread.q1 = at(0.25);
    spread.q3 = at(0.75);
    spread.min = values.front();
    spread.max = values.back();
    return spread;
}

// Which of the host's frames each delivered frame went into, as indices in
// order of first use: recorded by a consumer from the frames' pixel addresses.
class DestinationRotation {
public:
    explicit DestinationRotation(std::size_t frames) { addresses_.reserve(frames); }

    imaqhost::FrameConsumer recorder()
    {
        return [this](const imaqhost::FrameView& frame) { addresses_.push_back(frame.pixels); };
    }
    void clear() { addresses_.clear(); }

    // The rotation of the last acquisition: frame i went to destination rotation[i].
    std::vector<std::size_t> rotation() const
    {
        std::vector<const std::uint8_t*> seen;
        std::vector<std::size_t> order;
        order.reserve(addresses_.size());
        for (const auto* address : addresses_) {
            const auto found = std::find(seen.begin(), seen.end(), address);
            order.push_back(static_cast<std::size_t>(found - seen.begin()));
            if (found == seen.end()) seen.push_back(address);
        }
        return order;
    }

private:
    std::vector<const std::uint8_t*> addresses_;
};

// The least any delivery must do per frame: copy the frame's bytes out of the
// next buffer of a ring as large as the camera's into a destination. The fair
// limit uses as many destinations, in the same rotation, as the host's frame
// pool used in the acquisition it is compared with; the single-destination
// copy is the reference of earlier figures. memcpy works on pieces of 256 KiB,
// as the host's frame copy does: a single memcpy of several megabytes takes a
// slower path in some C libraries (a third slower with glibc 2.36 on the
// machine of docs/benchmarks.md), and the baseline is the fastest copy.
class CopyBaseline {
public:
    explicit CopyBaseline(std::size_t frameBytes)
        : frameBytes_(frameBytes), sources_(kCameraBuffers, std::vector<std::uint8_t>(frameBytes, 0x5A))
    {
    }

    // Nanoseconds per frame for copying one frame per entry of the rotation,
    // timed from the end of the first copy to the end of the last (as the
    // adaptor's frames are timed by their stamps). The copies run on a thread
    // started for the purpose, as the camera starts its delivery thread for
    // each acquisition, so that the scheduler treats both alike.
    double copyRound(const std::vector<std::size_t>& rotation)
    {
        if (rotation.size() < 2) return 0.0;
        const std::size_t needed = *std::max_element(rotation.begin(), rotation.end()) + 1;
        while (destinations_.size() < needed) destinations_.emplace_back(frameBytes_, std::uint8_t{0});
        double ns = 0.0;
        std::thread copier([&] { ns = copyHere(rotation); });
        copier.join();
        return ns;
    }

private:
    static constexpr std::size_t kPiece = std::size_t{256} << 10;

    static void copyInPieces(std::uint8_t* out, const std::uint8_t* in, std::size_t bytes)
    {
        for (std::size_t done = 0; done < bytes; done += kPiece)
            std::memcpy(out + done, in + done, std::min(kPiece, bytes - done));
    }

    double copyHere(const std::vector<std::size_t>& rotation)
    {
        using Clock = std::chrono::steady_clock;
        Clock::time_point start;
        for (std::size_t i = 0; i < rotation.size(); ++i) {
            std::uint8_t* out = destinations_[rotation[i]].data();
            copyInPieces(out, sources_[next_].data(), frameBytes_);
            benchmark::DoNotOptimize(out);
            benchmark::ClobberMemory();
            next_ = (next_ + 1) % sources_.size();
            if (i == 0) start = Clock::now();
        }
        return std::chrono::duration<double, std::nano>(Clock::now() - start).count() /
               static_cast<double>(rotation.size() - 1);
    }

    std::size_t frameBytes_;
    std::vector<std::vector<std::uint8_t>> sources_;
    std::vector<std::vector<std::uint8_t>> destinations_;
    std::size_t next_ = 0;
};

} // namespace orx::bench
