#include "adaptor_manager.h"

#include "engine.h"

namespace imaqhost {

AdaptorManager::AdaptorManager(imaqkit::IAdaptor* adaptor, imaqkit::IEngine* engine)
    : adaptor_(adaptor), engineInterface_(engine), engine_(dynamic_cast<Engine*>(engine))
{
    if (engine_) engine_->attach(this);
}

AdaptorManager::~AdaptorManager()
{
    if (engine_) engine_->detach(this);
}

void AdaptorManager::engineGone() noexcept
{
    engine_ = nullptr;
    engineInterface_ = nullptr;
}

bool AdaptorManager::isAcquisitionActive()
{
    return engine_ && engine_->acquisition().isActive();
}

bool AdaptorManager::isCaptureRunning()
{
    return engine_ && engine_->acquisition().isRunning();
}

bool AdaptorManager::haltCapture()
{
    if (!isAcquisitionActive() || !adaptor_) return false;
    adaptor_->stopCapture();
    engine_->acquisition().setRunning(false);
    return true;
}

bool AdaptorManager::restartCapture()
{
    if (!isAcquisitionActive() || !adaptor_) return false;
    // The adaptor's start capture refuses while the host says it is running.
    engine_->acquisition().setRunning(false);
    const bool started = adaptor_->startCapture();
    engine_->acquisition().setRunning(started);
    return started;
}

void AdaptorManager::incrementFrameCount()
{
    ++delivered_;
    if (engine_) engine_->acquisition().frameCounted();
}

bool AdaptorManager::isSendFrame()
{
    return engine_ && engine_->acquisition().isSendFrame();
}

Region AdaptorManager::fullImage() const
{
    return {0, 0, adaptor_ ? adaptor_->getMaxWidth() : 0, adaptor_ ? adaptor_->getMaxHeight() : 0};
}

void AdaptorManager::getROI(std::int32_t* x, std::int32_t* y, std::int32_t* width,
                            std::int32_t* height)
{
    Region region;
    {
        std::lock_guard lock(regionMutex_);
        if (!region_) region_ = fullImage();
        region = *region_;
    }
    if (x) *x = region.x;
    if (y) *y = region.y;
    if (width) *width = region.width;
    if (height) *height = region.height;
}

bool AdaptorManager::setROI(std::int32_t x, std::int32_t y, std::int32_t width,
                            std::int32_t height)
{
    // A region must lie within the image the adaptor reports; the sums are
    // taken wide so that no pair of values can wrap around.
    const Region full = fullImage();
    const bool fits = x >= 0 && y >= 0 && width > 0 && height > 0 &&
                      std::int64_t{x} + width <= full.width &&
                      std::int64_t{y} + height <= full.height;
    if (!fits) return false;
    std::lock_guard lock(regionMutex_);
    region_ = Region{x, y, width, height};
    return true;
}

} // namespace imaqhost

namespace imaqkit {

IAdaptorManager* createAdaptorManager(IAdaptor* adaptor, IEngine* engine)
{
    return new imaqhost::AdaptorManager(adaptor, engine);
}

} // namespace imaqkit
