#include "camera_stream.h"

#include "object_count.h"
#include "stream_counters.h"

#include <algorithm>
#include <cstdio>

namespace vexcam::genicam {
namespace {

// The camera's ring: enough for the sink's ring plus frames in flight.
constexpr std::int32_t kMinimumRing = 8;

void controlLost(ArvDevice*, gpointer flag)
{
    static_cast<std::atomic<bool>*>(flag)->store(true);
}

} // namespace

std::unique_ptr<CameraStream> CameraStream::start(std::shared_ptr<Camera> camera, std::string name,
                                                  CameraPixels pixels, const StreamRequest& request, std::string& why)
{
    auto stream = std::make_unique<CameraStream>(std::move(camera), std::move(name), pixels, request);
    if (!stream->open(why)) return nullptr;
    return stream;
}

CameraStream::CameraStream(std::shared_ptr<Camera> camera, std::string name, CameraPixels pixels,
                           const StreamRequest& request)
    : camera_(std::move(camera)), name_(std::move(name)), pixels_(pixels), request_(request)
{
}

bool CameraStream::open(std::string& why)
{
    return camera_->withCamera([&](ArvCamera* camera, ArvGc*) {
        ErrorSlot error;
        const guint payload = arv_camera_get_payload(camera, error.out());
        if (error.failed()) return why = error.message(), false;
        stream_.reset(arv_camera_create_stream(camera, nullptr, nullptr, error.out()));
        if (error.failed() || !stream_) return why = error.message(), false;
        track(stream_.get());
        const std::int32_t ring = std::max(kMinimumRing, request_.bufferCount + 4);
        for (std::int32_t i = 0; i < ring; ++i) {
            ArvBuffer* buffer = arv_buffer_new(payload, nullptr);
            track(buffer);
            arv_stream_push_buffer(stream_.get(), buffer); // the stream owns it from here
        }
        ArvDevice* device = arv_camera_get_device(camera);
        lostHandler_ = g_signal_connect(device, "control-lost", G_CALLBACK(controlLost), &lost_);
        arv_camera_set_acquisition_mode(camera, ARV_ACQUISITION_MODE_CONTINUOUS, error.out());
        if (error.failed()) return why = error.message(), false;
        arv_camera_start_acquisition(camera, error.out());
        if (error.failed()) return why = error.message(), false;
        acquiring_ = true;
        ++counters::runningCameraStreams;
        return true;
    });
}

CameraStream::~CameraStream()
{
    camera_->withCamera([&](ArvCamera* camera, ArvGc*) {
        ErrorSlot error;
        if (acquiring_) arv_camera_stop_acquisition(camera, error.out());
        if (lostHandler_) g_signal_handler_disconnect(arv_camera_get_device(camera), lostHandler_);
        return 0;
    });
    stream_.reset(); // joins Aravis' stream thread and frees the ring
    if (acquiring_) --counters::runningCameraStreams;
    if (failed_ || missing_)
        std::fprintf(stderr, "vexlib: %s: %llu failed or incomplete buffers, %llu frames missing\n", name_.c_str(),
                     static_cast<unsigned long long>(failed_), static_cast<unsigned long long>(missing_));
}

// A buffer is delivered only when it is complete and of the expected size.
bool CameraStream::usable(ArvBuffer* buffer)
{
    if (arv_buffer_get_status(buffer) != ARV_BUFFER_STATUS_SUCCESS) return false;
    size_t size = 0;
    const void* data = arv_buffer_get_data(buffer, &size);
    const std::size_t expected =
        std::size_t(request_.size.cx) * std::size_t(request_.size.cy) * cameraBytesPerPixel(pixels_);
    return data && size >= expected && arv_buffer_get_image_width(buffer) == request_.size.cx &&
           arv_buffer_get_image_height(buffer) == request_.size.cy;
}

FrameSource::Next CameraStream::next(std::uint8_t* pixels, std::chrono::milliseconds timeout,
                                     std::uint32_t& frameNumber)
{
    if (lost_) {
        if (lostReported_) return Next::Timeout;
        lostReported_ = true;
        return Next::Lost;
    }
    ArvBuffer* buffer = arv_stream_timeout_pop_buffer(stream_.get(), guint64(timeout.count()) * 1000);
    if (!buffer) return Next::Timeout;
    Next answer = Next::Timeout;
    if (!usable(buffer)) {
        ++failed_;
        ++counters::failedBuffers;
    } else {
        const auto step = ids_.next(arv_buffer_get_frame_id(buffer));
        missing_ += step.lost;
        counters::missingFrames += std::int64_t(step.lost);
        if (step.wrapped) ++counters::frameIdWraps;
        frameNumber = static_cast<std::uint32_t>(step.index);
        size_t size = 0;
        const auto* data = static_cast<const std::uint8_t*>(arv_buffer_get_data(buffer, &size));
        if (!pixels || convertFrame(pixels_, data, request_.layout, pixels, request_.size.cx, request_.size.cy))
            answer = Next::Frame;
    }
    arv_stream_push_buffer(stream_.get(), buffer);
    return answer;
}

} // namespace vexcam::genicam
