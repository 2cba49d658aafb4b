#include "simulated_camera.h"

#include "camera_trigger.h"
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
    explicit SimulatedStream(StreamRequest request)
        : request_(std::move(request)), deadline_(Clock::now()), trigger_(request_.properties)
    {
        if (request_.properties) writes_ = request_.properties->observeWrites([this] { noteWrite(); });
    }

    Next next(std::uint8_t* pixels, std::chrono::milliseconds timeout, std::uint32_t& frameNumber) override
    {
        if (request_.lostAfterFrames && delivered_ >= *request_.lostAfterFrames) return Next::Lost;
        if (!waitForFrame(Clock::now() + timeout)) return Next::Timeout;
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
    // Waits until a frame is due (false at `until` or when interrupted): per
    // push of the software trigger while the camera's trigger is on, else at
    // the frame rate. A property write wakes the wait to look again, so that
    // switching the trigger takes effect at once.
    bool waitForFrame(Clock::time_point until)
    {
        for (;;) {
            const std::uint64_t seen = writesSeen();
            const auto gate = trigger_.poll();
            if (gate == CameraTrigger::Gate::Fire) return true;
            auto wake = until;
            if (gate == CameraTrigger::Gate::Free) {
                if (counters::freeRunning) return true;
                const auto due = nextFrameTime();
                if (Clock::now() >= due) {
                    due_ = false;
                    return true;
                }
                wake = std::min(due, until);
            }
            if (Clock::now() >= until || !sleepUntil(wake, seen)) return false;
        }
    }

    // When the next frame is due at the frame rate.
    Clock::time_point nextFrameTime()
    {
        if (!due_) {
            const auto period = framePeriod();
            deadline_ += period;
            const auto now = Clock::now();
            if (deadline_ + period < now) deadline_ = now; // fell behind: go on from now instead of bursting
            due_ = true;
        }
        return deadline_;
    }

    std::uint64_t writesSeen()
    {
        std::lock_guard lock(mutex_);
        return writeCount_;
    }

    // Sleeps until `wake` or a property write after `seen`; false when interrupted.
    bool sleepUntil(Clock::time_point wake, std::uint64_t seen)
    {
        std::unique_lock lock(mutex_);
        wake_.wait_until(lock, wake, [&] { return interrupted_ || writeCount_ != seen; });
        return !interrupted_;
    }

    // Called by the property store with its lock held.
    void noteWrite()
    {
        {
            std::lock_guard lock(mutex_);
            ++writeCount_;
        }
        wake_.notify_all();
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
    CameraTrigger trigger_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool interrupted_ = false;
    std::uint64_t writeCount_ = 0;
    WriteObservation writes_; // last: it ends before the members that noteWrite uses
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
