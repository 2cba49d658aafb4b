#include "genicam_backend.h"

#include "camera_stream.h"
#include "pixel_formats.h"

#include <algorithm>
#include <cstdio>

namespace vexcam::genicam {

GenicamBackend::GenicamBackend(std::shared_ptr<Camera> camera, std::string name,
                               std::shared_ptr<PropertyStore> properties, std::vector<std::string> pixelFormats)
    : camera_(std::move(camera)), name_(std::move(name)), properties_(properties),
      pixelFormats_(std::move(pixelFormats))
{
}

// A region-of-interest window sits at the partial-scan offset, or in the
// middle with auto-centre on; an offset past the sensor's edge is clamped.
Size GenicamBackend::offsetFor(const StreamRequest& request)
{
    const auto store = properties_.lock();
    if (!request.roiFormat || !store) return {};
    const auto width = camera_->integerBounds("Width").value_or(Bounds<std::int64_t>{});
    const auto height = camera_->integerBounds("Height").value_or(Bounds<std::int64_t>{});
    const Size room{std::max(0, std::int32_t(width.max) - request.size.cx),
                    std::max(0, std::int32_t(height.max) - request.size.cy)};
    if (store->autoCenter()) return {room.cx / 2, room.cy / 2};
    const Size offset = store->partialScanOffset().value_or(Size{});
    return {std::clamp(offset.cx, 0, room.cx), std::clamp(offset.cy, 0, room.cy)};
}

bool GenicamBackend::configure(const std::string& pixelFormat, const StreamRequest& request)
{
    const Size offset = offsetFor(request);
    const bool hasOffsets = camera_->has("OffsetX") && camera_->has("OffsetY");
    bool ok = camera_->setText("PixelFormat", pixelFormat.c_str());
    if (ok && hasOffsets) ok = camera_->setInteger("OffsetX", 0) && camera_->setInteger("OffsetY", 0);
    ok = ok && camera_->setInteger("Width", request.size.cx) && camera_->setInteger("Height", request.size.cy);
    if (ok && hasOffsets) ok = camera_->setInteger("OffsetX", offset.cx) && camera_->setInteger("OffsetY", offset.cy);
    if (ok && request.fps > 0.0 && camera_->has("AcquisitionFrameRate")) {
        if (camera_->has("AcquisitionFrameRateEnable")) (void)camera_->setFlag("AcquisitionFrameRateEnable", true);
        const auto bounds = camera_->realBounds("AcquisitionFrameRate");
        ok = camera_->setReal("AcquisitionFrameRate",
                              bounds ? std::clamp(request.fps, bounds->min, bounds->max) : request.fps);
    }
    return ok;
}

std::unique_ptr<FrameSource> GenicamBackend::start(const StreamRequest& request)
{
    // The first of the camera's pixel formats that gives this colour format.
    const auto chosen = std::find_if(pixelFormats_.begin(), pixelFormats_.end(), [&](const std::string& format) {
        const auto mapping = mappingOfCamera(format);
        return mapping && mapping->colorformat == request.colorformat;
    });
    if (chosen == pixelFormats_.end()) return nullptr;
    if (!configure(*chosen, request)) {
        std::fprintf(stderr, "vexlib: %s refused the stream's settings: %s\n", name_.c_str(),
                     camera_->lastError().c_str());
        return nullptr;
    }
    std::string why;
    auto stream = CameraStream::start(camera_, name_, mappingOfCamera(*chosen)->pixels, request, why);
    if (!stream) std::fprintf(stderr, "vexlib: %s cannot stream: %s\n", name_.c_str(), why.c_str());
    return stream;
}

} // namespace vexcam::genicam
