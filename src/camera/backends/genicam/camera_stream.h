// A running camera: an Aravis stream with a ring of buffers, read by the
// grabber's delivery thread. Buffers that arrive failed or incomplete are
// counted and given back to the stream, never delivered; at the end of the
// stream their number is reported on stderr.
#pragma once

#include "camera.h"
#include "camera_backend.h"
#include "frame_id.h"
#include "pixel_formats.h"

#include <atomic>
#include <memory>
#include <string>

namespace vexcam::genicam {

class CameraStream final : public FrameSource {
public:
    // Null, with the reason in `why`, when the stream cannot be started.
    static std::unique_ptr<CameraStream> start(std::shared_ptr<Camera> camera, std::string name, CameraPixels pixels,
                                               const StreamRequest& request, std::string& why);
    CameraStream(std::shared_ptr<Camera> camera, std::string name, CameraPixels pixels, const StreamRequest& request);
    ~CameraStream() override;

    Next next(std::uint8_t* pixels, std::chrono::milliseconds timeout, std::uint32_t& frameNumber) override;

private:
    bool open(std::string& why);
    bool usable(ArvBuffer* buffer);

    const std::shared_ptr<Camera> camera_;
    const std::string name_;
    const CameraPixels pixels_;
    const StreamRequest request_;
    GRef<ArvStream> stream_;
    gulong lostHandler_ = 0;
    bool acquiring_ = false;
    std::atomic<bool> lost_{false};
    bool lostReported_ = false;
    FrameIdTracker ids_;
    std::uint64_t failed_ = 0;
    std::uint64_t missing_ = 0;
};

} // namespace vexcam::genicam
