// What a video input is made of. Members are destroyed bottom-up: the
// adaptor first (its destructor stops the camera), then the engine with its
// containers, listeners and frames, then the device entry, and last the
// session's hold on the initialised adaptor module.
#pragma once

#include "engine.h"
#include "hardware_info.h"
#include "imaqhost/video_input.h"

#include <memory>

namespace imaqhost {

struct VideoInput::Parts {
    std::shared_ptr<void> session;
    DeviceRecord device;
    std::string formatName;
    std::vector<VideoSource> sources;
    std::unique_ptr<DeviceInfo> deviceInfo;
    std::unique_ptr<Engine> engine;
    std::unique_ptr<imaqkit::IAdaptor> adaptor;
    AcquisitionStats lastAcquisition;
};

} // namespace imaqhost
