#include "appsink_stream.h"

#include "simulation_counters.h"
#include "stream_counters.h"

#include <gst/video/video.h>

#include <cstdio>
#include <cstring>

namespace vexcam::gst {
namespace {

// Frames that wait for the delivery thread; more are dropped, oldest first.
constexpr std::size_t kQueueLength = 4;
// How long a start waits for the first frame, or for the failure that
// prevents it. A camera slower than this still starts, but a failure after
// it is then reported as a lost device.
constexpr auto kFirstFrameWait = std::chrono::seconds(5);
// A step in the buffers' offsets beyond this is no frame count (a byte
// offset, a restart): the frame then counts as the next one.
constexpr guint64 kLargestGap = 1000;

// A mapped video frame, unmapped when it goes out of scope.
class MappedFrame {
public:
    MappedFrame(GstVideoInfo* info, GstBuffer* buffer) : mapped_(gst_video_frame_map(&frame_, info, buffer, GST_MAP_READ)) {}
    MappedFrame(const MappedFrame&) = delete;
    MappedFrame& operator=(const MappedFrame&) = delete;
    ~MappedFrame()
    {
        if (mapped_) gst_video_frame_unmap(&frame_);
    }
    explicit operator bool() const { return mapped_; }
    const GstVideoFrame& operator*() const { return frame_; }

private:
    GstVideoFrame frame_{};
    bool mapped_;
};

GstElement* make(const char* factory)
{
    GstElement* element = gst_element_factory_make(factory, nullptr);
    track(element);
    return element;
}

} // namespace

std::unique_ptr<AppsinkStream> AppsinkStream::start(Ref<GstElement> device, const StreamPlan& plan,
                                                    const StreamRequest& request, std::string& why)
{
    auto stream = std::make_unique<AppsinkStream>(std::move(device), request);
    if (!stream->build(plan, why) || !stream->play(why)) return nullptr;
    return stream;
}

AppsinkStream::AppsinkStream(Ref<GstElement> device, const StreamRequest& request)
    : device_(std::move(device)), request_(request)
{
}

bool AppsinkStream::build(const StreamPlan& plan, std::string& why)
{
    pipeline_ = own(gst_pipeline_new(nullptr));
    track(pipeline_.get());
    GstBin* bin = GST_BIN(pipeline_.get());
    if (!gst_bin_add(bin, device_.get())) return why = "the device is streaming for another grabber", false;
    deviceAdded_ = true;
    GstElement* upstream = make("capsfilter");
    GstElement* decoder = plan.decodeJpeg ? make("jpegdec") : nullptr;
    GstElement* converter = make("videoconvert");
    GstElement* filter = make("capsfilter");
    appsink_ = make("appsink");
    if (!upstream || (plan.decodeJpeg && !decoder) || !converter || !filter || !appsink_) {
        for (GstElement* element : {upstream, decoder, converter, filter, appsink_})
            if (element) gst_object_unref(gst_object_ref_sink(element));
        appsink_ = nullptr;
        return why = "GStreamer lacks one of capsfilter, jpegdec, videoconvert or appsink", false;
    }
    const CapsRef upstreamCaps(gst_caps_from_string(plan.upstreamCaps.c_str()));
    const CapsRef sinkCaps(gst_caps_from_string(plan.sinkCaps.c_str()));
    g_object_set(upstream, "caps", upstreamCaps.get(), nullptr);
    g_object_set(filter, "caps", sinkCaps.get(), nullptr);
    g_object_set(appsink_, "sync", FALSE, "max-buffers", guint(kQueueLength), "drop", TRUE, "enable-last-sample", FALSE,
                 nullptr);
    gst_bin_add_many(bin, upstream, converter, filter, appsink_, nullptr);
    if (decoder) gst_bin_add(bin, decoder);
    const bool linked = decoder ? gst_element_link_many(device_.get(), upstream, decoder, converter, filter, appsink_, nullptr)
                                : gst_element_link_many(device_.get(), upstream, converter, filter, appsink_, nullptr);
    if (!linked) return why = "the device's pipeline does not link to the converter", false;
    GstAppSinkCallbacks callbacks{};
    callbacks.eos = &AppsinkStream::onEos;
    callbacks.new_sample = &AppsinkStream::onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(appsink_), &callbacks, this, nullptr);
    const Ref<GstBus> bus(gst_element_get_bus(pipeline_.get()));
    gst_bus_set_sync_handler(bus.get(), &AppsinkStream::onMessage, this, nullptr);
    return true;
}

bool AppsinkStream::play(std::string& why)
{
    const bool started = gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    std::unique_lock lock(mutex_);
    if (started) arrived_.wait_for(lock, kFirstFrameWait, [this] { return !queue_.empty() || ended_; });
    if (!started || (queue_.empty() && ended_)) {
        why = endReason_.empty() ? "the pipeline does not start" : endReason_;
        return false;
    }
    return true;
}

AppsinkStream::~AppsinkStream()
{
    if (pipeline_) {
        gst_element_set_state(pipeline_.get(), GST_STATE_NULL); // joins the streaming threads
        const Ref<GstBus> bus(gst_element_get_bus(pipeline_.get()));
        gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
        // The device's pipeline outlives this stream: the next start links it again.
        if (deviceAdded_) gst_bin_remove(GST_BIN(pipeline_.get()), device_.get());
    }
    std::lock_guard lock(mutex_);
    queue_.clear();
    if (lost_ > 0)
        std::fprintf(stderr, "vexlib: %llu frames lost between the GStreamer source and the library\n",
                     static_cast<unsigned long long>(lost_));
}

// On a streaming thread of GStreamer.
void AppsinkStream::take(SampleRef sample)
{
    GstBuffer* buffer = gst_sample_get_buffer(sample.get());
    if (!buffer) return;
    const guint64 offset = GST_BUFFER_OFFSET(buffer);
    std::lock_guard lock(mutex_);
    std::uint64_t skipped = 0;
    if (offset != GST_BUFFER_OFFSET_NONE && lastOffset_ && offset > *lastOffset_ && offset - *lastOffset_ <= kLargestGap)
        skipped = offset - *lastOffset_ - 1;
    if (offset != GST_BUFFER_OFFSET_NONE) lastOffset_ = offset;
    nextIndex_ += skipped;
    if (queue_.size() >= kQueueLength) {
        queue_.pop_front();
        ++skipped;
    }
    queue_.push_back({std::move(sample), nextIndex_++});
    lost_ += skipped;
    vexcam::counters::framesSkipped += std::int64_t(skipped);
    counters::lostFrames += std::int64_t(skipped);
    arrived_.notify_all();
}

void AppsinkStream::end(std::string why)
{
    {
        std::lock_guard lock(mutex_);
        if (ended_) return;
        ended_ = true;
        endReason_ = std::move(why);
    }
    arrived_.notify_all();
}

GstFlowReturn AppsinkStream::onSample(GstAppSink* sink, gpointer self)
{
    SampleRef sample(gst_app_sink_pull_sample(sink));
    if (sample) static_cast<AppsinkStream*>(self)->take(std::move(sample));
    return GST_FLOW_OK;
}

void AppsinkStream::onEos(GstAppSink*, gpointer self)
{
    static_cast<AppsinkStream*>(self)->end("the stream ended (end of stream)");
}

// On whichever thread posts: errors end the stream; nothing is kept on the
// bus, which nobody reads.
GstBusSyncReply AppsinkStream::onMessage(GstBus*, GstMessage* message, gpointer self)
{
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* error = nullptr;
        gchar* details = nullptr;
        gst_message_parse_error(message, &error, &details);
        const TextRef source(GST_MESSAGE_SRC(message) ? gst_object_get_name(GST_MESSAGE_SRC(message)) : nullptr);
        std::string why = std::string(source ? source.get() : "GStreamer") + ": " +
                          (error && error->message ? error->message : "error");
        if (details) why += std::string(" (") + details + ")";
        if (error) g_error_free(error);
        g_free(details);
        static_cast<AppsinkStream*>(self)->end(std::move(why));
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
        static_cast<AppsinkStream*>(self)->end("the stream ended (end of stream)");
    }
    gst_message_unref(message); // a handler that drops a message releases it
    return GST_BUS_DROP;
}

bool AppsinkStream::copy(GstSample* sample, std::uint8_t* pixels) const
{
    GstVideoInfo info;
    GstCaps* caps = gst_sample_get_caps(sample);
    if (!caps || !gst_video_info_from_caps(&info, caps)) return false;
    if (GST_VIDEO_INFO_WIDTH(&info) != request_.size.cx || GST_VIDEO_INFO_HEIGHT(&info) != request_.size.cy) return false;
    MappedFrame frame(&info, gst_sample_get_buffer(sample));
    if (!frame) return false;
    const auto* in = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&*frame, 0));
    const std::size_t stride = std::size_t(GST_VIDEO_FRAME_PLANE_STRIDE(&*frame, 0));
    const std::size_t row = std::size_t(request_.size.cx) * bytesPerPixel(request_.layout);
    const std::size_t rows = std::size_t(request_.size.cy);
    if (stride == row) {
        std::memcpy(pixels, in, row * rows);
    } else {
        for (std::size_t y = 0; y < rows; ++y) std::memcpy(pixels + y * row, in + y * stride, row);
    }
    if (request_.layout == PixelLayout::Rgb32)
        for (std::size_t i = 3; i < row * rows; i += 4) pixels[i] = 0xFF;
    return true;
}

FrameSource::Next AppsinkStream::next(std::uint8_t* pixels, std::chrono::milliseconds timeout,
                                      std::uint32_t& frameNumber)
{
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, timeout, [this] { return !queue_.empty() || ended_; })) return Next::Timeout;
    if (queue_.empty()) {
        if (lossReported_) return Next::Timeout;
        lossReported_ = true;
        std::fprintf(stderr, "vexlib: the GStreamer device is lost: %s\n", endReason_.c_str());
        return Next::Lost;
    }
    Queued frame = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    frameNumber = static_cast<std::uint32_t>(frame.index);
    if (pixels && !copy(frame.sample.get(), pixels)) return Next::Timeout;
    return Next::Frame;
}

} // namespace vexcam::gst
