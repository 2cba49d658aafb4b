// A running GStreamer device: the device's own pipeline, then a converter,
// a caps filter that fixes size, rate and the sink's pixel format, and an
// appsink read by the grabber's delivery thread. Samples wait in a bounded
// queue; the oldest is dropped when it is full, and every frame lost on the
// way (a gap in the buffers' sequence, a drop) counts as skipped by the
// camera. A bus error or the end of the stream ends it as a lost device.
#pragma once

#include "camera_backend.h"
#include "gst_ref.h"

#include <gst/app/gstappsink.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace vexcam::gst {

// What goes between the device's pipeline and the converter.
struct StreamPlan {
    std::string upstreamCaps; // "video/x-raw,width=...,height=...[,framerate=...]" or "image/jpeg,..."
    bool decodeJpeg = false;
    std::string sinkCaps;     // "video/x-raw,format=...,width=...,height=..."
};

class AppsinkStream final : public FrameSource {
public:
    // Null, with the reason in `why`, when the pipeline does not start or
    // ends before its first frame (a caps negotiation failure, a device that
    // does not open).
    static std::unique_ptr<AppsinkStream> start(Ref<GstElement> device, const StreamPlan& plan,
                                                const StreamRequest& request, std::string& why);
    AppsinkStream(Ref<GstElement> device, const StreamRequest& request);
    ~AppsinkStream() override;
    AppsinkStream(const AppsinkStream&) = delete;
    AppsinkStream& operator=(const AppsinkStream&) = delete;

    Next next(std::uint8_t* pixels, std::chrono::milliseconds timeout, std::uint32_t& frameNumber) override;

private:
    struct Queued {
        SampleRef sample;
        std::uint64_t index = 0;
    };

    bool build(const StreamPlan& plan, std::string& why);
    bool play(std::string& why);
    void take(SampleRef sample);
    void end(std::string why);
    bool copy(GstSample* sample, std::uint8_t* pixels) const;

    static GstFlowReturn onSample(GstAppSink* sink, gpointer self);
    static void onEos(GstAppSink* sink, gpointer self);
    static GstBusSyncReply onMessage(GstBus* bus, GstMessage* message, gpointer self);

    const Ref<GstElement> device_; // the device's pipeline, a bin of ours while we run
    const StreamRequest request_;
    Ref<GstElement> pipeline_;
    GstElement* appsink_ = nullptr; // owned by the pipeline
    bool deviceAdded_ = false;

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Queued> queue_;
    std::optional<guint64> lastOffset_;
    std::uint64_t nextIndex_ = 0;
    std::uint64_t lost_ = 0;
    bool ended_ = false;
    std::string endReason_;
    bool lossReported_ = false;
};

} // namespace vexcam::gst
