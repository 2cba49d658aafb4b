#include "common/warning.h"
#include "engine/c_listener.h"
#include "engine/orx_adaptor.h"

namespace orx {
namespace {

constexpr const char* kErrorCaption = "ORX_IMAQ Error";

// Keeps the buffer locked while its pixels are read, also when a host call throws.
class BufferLock {
public:
    explicit BufferLock(Vexlib::MemBuffer& buffer) : buffer_(buffer) { buffer_.lock(); }
    ~BufferLock() { buffer_.unlock(); }
    BufferLock(const BufferLock&) = delete;
    BufferLock& operator=(const BufferLock&) = delete;

private:
    Vexlib::MemBuffer& buffer_;
};

} // namespace

void CListener::frameReady(Vexlib::Grabber&, Vexlib::refcount_ptr<Vexlib::MemBuffer> buffer, std::uint32_t)
{
    if (!owner || !buffer) return;
    imaqkit::IAdaptorManager* manager = owner->manager();
    if (!manager->isSendFrame()) return;

    BufferLock lock(*buffer);
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    owner->getROI(&x, &y, &width, &height);
    const std::uint32_t type = owner->getFrameType();
    const std::int32_t fullWidth = owner->getMaxWidth();
    const std::int32_t fullHeight = owner->getMaxHeight();

    imaqkit::IFrame* frame = manager->getEngine()->makeFrame(type, width, height);
    if (!frame) {
        MessageBoxA(nullptr, "Failed to create a new frame.", kErrorCaption, MB_ICONERROR);
        warn("Failed to create a new Matlab frame.");
        return;
    }
    const BYTE* pixels = buffer->getPtr();
    if (roiFormat)
        frame->copyData(pixels, width, height, 0, 0);
    else
        frame->copyData(pixels, fullWidth, fullHeight, x, y);
    frame->setTime(imaqkit::getCurrentTime());
    manager->getEngine()->receiveFrame(frame);
    manager->incrementFrameCount();
}

void CListener::deviceLost(Vexlib::Grabber&)
{
    MessageBoxA(nullptr, "Device lost!", kErrorCaption, MB_ICONERROR);
    warn("The device is lost.");
}

} // namespace orx
