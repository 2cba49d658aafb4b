#include "gstreamer_backend.h"

#include "appsink_stream.h"

#include <cstdio>

namespace vexcam::gst {
namespace {

std::string sizeFields(Size size)
{
    return ",width=" + std::to_string(size.cx) + ",height=" + std::to_string(size.cy);
}

} // namespace

GstreamerBackend::GstreamerBackend(std::string name, Ref<GstElement> device, CapsRef caps,
                                   std::vector<Fraction> fractions)
    : name_(std::move(name)), device_(std::move(device)), caps_(std::move(caps)), fractions_(std::move(fractions))
{
}

StreamPlan GstreamerBackend::planFor(const StreamRequest& request, const char* sinkFormat) const
{
    StreamPlan plan;
    const std::string size = sizeFields(request.size);
    const CapsRef raw(gst_caps_from_string(("video/x-raw" + size).c_str()));
    const CapsRef jpeg(gst_caps_from_string(("image/jpeg" + size).c_str()));
    plan.decodeJpeg = !gst_caps_can_intersect(caps_.get(), raw.get()) && gst_caps_can_intersect(caps_.get(), jpeg.get());
    plan.upstreamCaps = (plan.decodeJpeg ? "image/jpeg" : "video/x-raw") + size;
    if (request.fps > 0.0) {
        const Fraction rate = fractionFor(fractions_, request.fps);
        plan.upstreamCaps += ",framerate=" + std::to_string(rate.num) + "/" + std::to_string(rate.den);
    }
    plan.sinkCaps = std::string("video/x-raw,format=") + sinkFormat + size;
    return plan;
}

std::unique_ptr<FrameSource> GstreamerBackend::start(const StreamRequest& request)
{
    const char* sinkFormat = capsFormatOf(request.layout);
    if (!sinkFormat) {
        std::fprintf(stderr, "vexlib: %s cannot deliver %s frames\n", name_.c_str(),
                     std::string(layoutName(request.layout)).c_str());
        return nullptr;
    }
    std::string why;
    auto stream = AppsinkStream::start(share(device_.get()), planFor(request, sinkFormat), request, why);
    if (!stream) std::fprintf(stderr, "vexlib: %s cannot stream: %s\n", name_.c_str(), why.c_str());
    return stream;
}

} // namespace vexcam::gst
