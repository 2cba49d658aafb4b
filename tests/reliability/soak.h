// A long acquisition under load: a free-running camera streams while another
// thread reads and writes camera properties and the host thread applies
// regions between frames. Header-only, shared by the short soak test and the
// soak benchmark.
#pragma once

#include "engine/orx_adaptor.h"
#include "imaqhost/testing/accounting.h"
#include "imaqhost/testing/video_input_inspector.h"
#include "imaqhost/video_input.h"
#include "win32seam/testing/win32_seam.h"
#include "properties/run_time_access.h"
#include "vexcam/pattern.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace orx::test {

struct SoakFigures {
    std::int64_t requested = 0;
    std::int64_t received = 0;
    std::int64_t refused = 0;        // frames the host refused, as the acquisition counted them
    std::int64_t refusalsInjected = 0; // refusals armed that a frame met
    std::int64_t refusalsUnmet = 0;    // armed after the camera had made every frame asked for
    std::int64_t torn = 0;           // frames whose pixels do not match their header
    std::int64_t outOfOrder = 0;     // frame numbers that did not grow, outside a restart
    std::int64_t propertyOperations = 0;
    std::int64_t propertyFailures = 0;
    std::int64_t regionApplies = 0;
    double seconds = 0.0;
    std::string end;
    std::string firstProblem;
};

// Reads and writes "Brightness" and reads "Exposure" on the adaptor's camera
// until told to stop, as property calls from the host may overlap streaming.
class PropertyTraffic {
public:
    explicit PropertyTraffic(Vexlib::Grabber& grabber) : thread_([this, &grabber] { run(grabber); }) {}
    ~PropertyTraffic() { stop(); }
    PropertyTraffic(const PropertyTraffic&) = delete;
    PropertyTraffic& operator=(const PropertyTraffic&) = delete;

    void stop()
    {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    std::int64_t operations() const { return operations_; }
    std::int64_t failures() const { return failures_; }

private:
    void run(Vexlib::Grabber& grabber)
    {
        for (std::int32_t i = 0; !stop_; ++i) {
            try {
                std::int64_t buffer = 0;
                readCameraProperty(grabber, "Brightness", &buffer);
                std::int64_t value = 10 + (i % 2) * 20;
                writeCameraProperty(grabber, "Brightness", &value);
                double exposure = 0.0;
                readCameraProperty(grabber, "Exposure", &exposure);
                operations_ += 3;
            } catch (...) {
                ++failures_;
            }
            std::this_thread::yield();
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<std::int64_t> operations_{0};
    std::atomic<std::int64_t> failures_{0};
    std::thread thread_;
};

// Acquires `frames` frames of the Y800 region-of-interest camera of the
// reference rig, open in its 128x96 format. Every `regionEvery` frames the
// consumer switches between the full image and a centred 64x48 window; every
// `refuseEvery` frames the host refuses the next frame.
inline SoakFigures runSoak(imaqhost::VideoInput& input, std::int64_t frames, std::int64_t regionEvery,
                           std::int64_t refuseEvery)
{
    using Region = imaqhost::Region;
    auto& adaptor = dynamic_cast<orx::ORXadaptor&>(imaqhost::inspect(input).adaptor());
    const std::map<std::pair<int, int>, Region> regionBySize{{{128, 96}, {0, 0, 128, 96}},
                                                            {{64, 48}, {32, 24, 64, 48}}};
    SoakFigures figures;
    figures.requested = frames;
    std::int64_t lastNumber = -1;
    std::int64_t pendingRestarts = 0; // each restart of the stream numbers frames from 0 again
    bool window = false;

    PropertyTraffic traffic(adaptor.camera());
    const auto started = std::chrono::steady_clock::now();
    const auto stats = input.acquire(frames, [&](const imaqhost::FrameView& frame) {
        const auto region = regionBySize.find({frame.width, frame.height});
        std::uint32_t number = 0;
        if (region == regionBySize.end() ||
            !vexcam::pattern::verifyFrame(vexcam::PixelLayout::Gray8, frame.pixels, frame.width, frame.height,
                                          region->second.x, region->second.y, &number)) {
            if (figures.firstProblem.empty())
                figures.firstProblem = "frame " + std::to_string(frame.index) + " (" + std::to_string(frame.width) +
                                       "x" + std::to_string(frame.height) + ") is not whole";
            ++figures.torn;
        } else {
            if (number <= lastNumber) {
                if (pendingRestarts > 0)
                    --pendingRestarts;
                else
                    ++figures.outOfOrder;
            }
            lastNumber = number;
        }
        const std::int64_t count = frame.index + 1;
        if (regionEvery > 0 && count % regionEvery == 0) {
            window = !window;
            const Region next = window ? Region{32, 24, 64, 48} : Region{0, 0, 128, 96};
            // The host thread, between frames: the adaptor stops the stream,
            // changes the format and starts it again.
            imaqhost::inspect(input).adaptor().setROI(next.x, next.y, next.width, next.height);
            ++figures.regionApplies;
            ++pendingRestarts;
        }
        // Armed only once the previous refusal met its frame: arming sets the
        // count rather than adding to it, and the camera may have made every
        // frame while this consumer is still far behind.
        if (refuseEvery > 0 && count % refuseEvery == 0 && count < frames &&
            imaqhost::pendingMakeFrameFailures() == 0) {
            imaqhost::failNextMakeFrames(1);
            ++figures.refusalsInjected;
        }
    }, std::chrono::seconds(10));
    traffic.stop();
    // A free-running camera can run ahead of the consumer: a refusal armed
    // after the last frame asked for was made meets no frame.
    figures.refusalsUnmet = imaqhost::pendingMakeFrameFailures();
    figures.refusalsInjected -= figures.refusalsUnmet;
    imaqhost::failNextMakeFrames(0);
    figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    figures.received = stats.received;
    figures.refused = stats.refused;
    figures.end = imaqhost::toString(stats.end);
    figures.propertyOperations = traffic.operations();
    figures.propertyFailures = traffic.failures();
    return figures;
}

} // namespace orx::test
