// A GStreamer device behind a library device: its pipeline (kept from
// discovery to the end of the library, so that its element settings last),
// its caps, and a stream made for each grabber that goes live.
#pragma once

#include "appsink_stream.h"
#include "camera_backend.h"
#include "caps_catalogue.h"
#include "gst_ref.h"

#include <memory>
#include <string>
#include <vector>

namespace vexcam::gst {

class GstreamerBackend final : public CameraBackend {
public:
    GstreamerBackend(std::string name, Ref<GstElement> device, CapsRef caps, std::vector<Fraction> fractions);
    std::unique_ptr<FrameSource> start(const StreamRequest& request) override;

    // The caps between the device and the converter for `request`: raw
    // video when the device offers it at that size, else JPEG to decode.
    StreamPlan planFor(const StreamRequest& request, const char* sinkFormat) const;

private:
    const std::string name_;
    const Ref<GstElement> device_;
    const CapsRef caps_;
    const std::vector<Fraction> fractions_;
};

} // namespace vexcam::gst
