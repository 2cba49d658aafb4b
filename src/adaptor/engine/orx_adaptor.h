// ORXadaptor: the adaptor object the host creates for one device and format.
// It owns a grabber for its whole life; the host drives it through the
// operation table of imaqkit::IAdaptor.
#pragma once

#include "engine/c_listener.h"
#include "platform/imaqkit.h"
#include "platform/vexlib.h"

#include <cstdint>

namespace orx {

struct ColourFormatRow;

class ORXadaptor final : public imaqkit::IAdaptor {
public:
    ORXadaptor(imaqkit::IEngine* engine, imaqkit::IDeviceInfo* deviceInfo, const char* formatName);
    ~ORXadaptor() override;

    void getROI(std::int32_t* x, std::int32_t* y, std::int32_t* width, std::int32_t* height) override;
    bool setROI(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;
    std::int32_t getMaxWidth() const override;
    std::int32_t getMaxHeight() const override;
    std::uint32_t getFrameType() const override;
    std::int32_t getNumberOfBands() const override;
    const char* getDriverDescription() const override;
    const char* getDriverVersion() const override;
    bool openDevice() override;
    bool closeDevice() override;
    bool startCapture() override;
    bool stopCapture() override;

    // Run-time property access, reached through the property listeners.
    void readDeviceProperty(imaqkit::IPropInfo* info, void* buffer);
    void writeDeviceProperty(imaqkit::IPropInfo* info, void* newValue);

    imaqkit::IAdaptorManager* manager() const noexcept { return adaptorManager; }
    Vexlib::Grabber& camera() noexcept { return grabber; }
    bool isRoiFormat() const noexcept { return roiFormat; }

private:
    void attachManager(imaqkit::IEngine* engine);
    void applyNormAndFormat(imaqkit::IDeviceInfo* deviceInfo, const char* formatName);
    void installSink(const ColourFormatRow& row);
    void applyRoiFormat(std::int32_t& x, std::int32_t& y, std::int32_t& width, std::int32_t& height);
    void writePartialScanOffsets(std::int32_t x, std::int32_t y);
    void restartLive();

    // Initialised first; its initialiser makes the adaptor manager beforehand.
    Vexlib::Grabber grabber;
    Vexlib::refcount_ptr<Vexlib::FrameHandlerSink> sinkHandle;
    CListener listener;
    bool roiFormat = false;
    std::int32_t frameWidth = 0;
    std::int32_t frameHeight = 0;
    std::uint32_t frameType = 0;
};

} // namespace orx
