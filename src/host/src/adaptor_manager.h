// The adaptor manager: the host's half of one adaptor. It answers the
// adaptor's questions about the acquisition, keeps the host's region store
// and counts delivered frames. Made by createAdaptorManager; the adaptor's
// base class deletes it.
#pragma once

#include "host_object.h"
#include "imaqhost/video_input.h"
#include "platform/imaqkit.h"

#include <atomic>
#include <mutex>
#include <optional>

namespace imaqhost {

class Engine;

class AdaptorManager final : public HostObject<imaqkit::IAdaptorManager> {
public:
    // `engine` may be another implementation of the engine interface (a test
    // double); the manager then answers as if no acquisition ever ran.
    AdaptorManager(imaqkit::IAdaptor* adaptor, imaqkit::IEngine* engine);
    ~AdaptorManager() override;

    void managerReserved1() override {}
    void managerReserved2() override {}
    bool restartCapture() override;
    bool haltCapture() override;
    bool isAcquisitionActive() override;
    bool isCaptureRunning() override;
    void managerReserved7() override {}
    imaqkit::IEngine* getEngine() override { return engineInterface_; }
    std::int64_t framesDelivered() override { return delivered_.load(); }
    void managerReserved10() override {}
    void getROI(std::int32_t* x, std::int32_t* y, std::int32_t* width,
                std::int32_t* height) override;
    bool setROI(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;
    void incrementFrameCount() override;
    bool isSendFrame() override;

    void engineGone() noexcept;

private:
    Region fullImage() const;

    imaqkit::IAdaptor* adaptor_;
    imaqkit::IEngine* engineInterface_;
    Engine* engine_;
    std::atomic<std::int64_t> delivered_{0};
    std::mutex regionMutex_;
    std::optional<Region> region_;
};

} // namespace imaqhost
