// The simulated camera: frames of the test pattern, paced by the frame rate
// in force (or as fast as they are taken, when free-running), windowed at the
// partial-scan offset in region-of-interest formats, and lost after a number
// of frames when the rig injects that fault.
#pragma once

#include "backend_registry.h"
#include "camera_backend.h"

#include <memory>

namespace vexcam {

class SimulatedCamera final : public CameraBackend {
public:
    std::unique_ptr<FrameSource> start(const StreamRequest& request) override;
};

// One backend serves every simulated device: it keeps no state of its own.
std::shared_ptr<CameraBackend> simulatedCamera();

// The rig's devices, served by the simulated camera.
Discovery discoverSimulated(const Rig& rig);

} // namespace vexcam
