#include "simulated_camera.h"

#include "format_selection.h"
#include "property_store.h"
#include "simulation_counters.h"

#include "vexcam/pattern.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vexcam {
namespace {

using Clock = std::chrono::steady_clock;

// A device without a frame-rate list still streams, at this rate.
constexpr double kFallbackFps = 30.0;
// Free-running with nowhere to put a frame: wait this long instead of spinning.
constexpr auto kNoBufferIdle = std::chrono::milliseconds(1);

class SimulatedStream final : public FrameSource {
public:
    explicit SimulatedStream(StreamRequest request) : request_(std::move(request)), deadline_(Clock::now()) {}

    Next next(std::uint8_t* pixels, std::chrono::milliseconds timeout, std::uint32_t& frameNumber) override
    {
        if (request_.lostAfterFrames && delivered_ >= *request_.lostAfterFrames) return Next::Lost;
        if (!waitForFrameTime(timeout)) return Next::Timeout;
        frameNumber = frame_++;
        if (!pixels) {
            if (counters::freeRunning) std::this_thread::sleep_for(kNoBufferIdle);
            return Next::Frame;
        }
        if (counters::patternGeneration) paint(pixels, frameNumber);
        ++delivered_;
        return Next::Frame;
    }

    // With generation off every buffer holds frame 0 for the whole stream, so
    // that benchmarks measure the consumer rather than the painter.
    void prime(std::uint8_t* pixels) override
    {
        if (!counters::patternGeneration) paint(pixels, 0);
    }

    void interrupt() override
    {
        {
            std::lock_guard lock(mutex_);
            interrupted_ = true;
        }
        wake_.notify_all();
    }

private:
    // Waits until the next frame is due, or `timeout` (false then).
    bool waitForFrameTime(std::chrono::milliseconds timeout)
    {
        if (counters::freeRunning) return true;
        if (!due_) {
            const auto period = framePeriod();
            deadline_ += period;
            const auto now = Clock::now();
            if (deadline_ + period < now) deadline_ = now; // fell behind: go on from now instead of bursting
            due_ = true;
        }
        std::unique_lock lock(mutex_);
        const auto until = std::min(deadline_, Clock::now() + timeout);
        wake_.wait_until(lock, until, [this] { return interrupted_; });
        if (interrupted_ || Clock::now() < deadline_) return false;
        due_ = false;
        return true;
    }

    Clock::duration framePeriod() const
    {
        double fps = request_.currentFps ? request_.currentFps() : request_.fps;
        if (!(fps > 0.0)) fps = kFallbackFps;
        return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / fps));
    }

    void paint(std::uint8_t* pixels, std::uint32_t frameNumber) const
    {
        const Size offset = windowOffset();
        const auto adjust = request_.properties->patternAdjust();
        pattern::fill(request_.layout, pixels, request_.size.cx, request_.size.cy, offset.cx, offset.cy,
                      frameNumber, {adjust.brightness, adjust.gain});
    }

    // Where the image starts on the sensor. A region-of-interest window sits at
    // the partial-scan offset (or in the middle when auto-centre is on); the
    // camera clamps an offset that would put the window past the sensor's edge.
    Size windowOffset() const
    {
        if (!request_.roiFormat) return {};
        const Size sensor = request_.sensor;
        const Size room{std::max(0, sensor.cx - request_.size.cx), std::max(0, sensor.cy - request_.size.cy)};
        const auto& store = *request_.properties;
        if (store.autoCenter()) return {room.cx / 2, room.cy / 2};
        const Size offset = store.partialScanOffset().value_or(Size{});
        return {std::clamp(offset.cx, 0, room.cx), std::clamp(offset.cy, 0, room.cy)};
    }

    const StreamRequest request_;
    Clock::time_point deadline_;
    bool due_ = false;
    std::uint32_t frame_ = 0;
    std::int64_t delivered_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool interrupted_ = false;
};

} // namespace

std::unique_ptr<FrameSource> SimulatedCamera::start(const StreamRequest& request)
{
    return std::make_unique<SimulatedStream>(request);
}

std::shared_ptr<CameraBackend> simulatedCamera()
{
    static const auto camera = std::make_shared<SimulatedCamera>();
    return camera;
}

// A rig device without a sensor size has the largest of its formats as its sensor.
static Size sensorOf(const DeviceSpec& device)
{
    if (device.sensor.cx > 0 && device.sensor.cy > 0) return device.sensor;
    return largestSize(device.norms);
}

Discovery discoverSimulated(const Rig& rig)
{
    Discovery found;
    for (const DeviceSpec& device : rig.devices)
        found.devices.push_back(std::make_shared<Vexlib::detail::DeviceData>(device, sensorOf(device), simulatedCamera()));
    return found;
}

} // namespace vexcam
