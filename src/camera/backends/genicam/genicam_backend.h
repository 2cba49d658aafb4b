// A GenICam camera behind a library device: when a grabber goes live it sets
// the camera's pixel format, window, offsets and frame rate, then starts a
// stream.
#pragma once

#include "camera.h"
#include "camera_backend.h"
#include "property_store.h"

#include <memory>
#include <string>
#include <vector>

namespace vexcam::genicam {

class GenicamBackend final : public CameraBackend {
public:
    GenicamBackend(std::shared_ptr<Camera> camera, std::string name, std::shared_ptr<PropertyStore> properties,
                   std::vector<std::string> pixelFormats);
    std::unique_ptr<FrameSource> start(const StreamRequest& request) override;
    Camera& camera() { return *camera_; }
    // The device's property store, once the device is made.
    void attach(std::weak_ptr<PropertyStore> properties) { properties_ = std::move(properties); }

private:
    bool configure(const std::string& pixelFormat, const StreamRequest& request);
    Size offsetFor(const StreamRequest& request);

    const std::shared_ptr<Camera> camera_;
    const std::string name_;
    std::weak_ptr<PropertyStore> properties_; // the store's owner keeps this backend alive
    const std::vector<std::string> pixelFormats_;   // the camera's, in the order formats are offered
};

} // namespace vexcam::genicam
