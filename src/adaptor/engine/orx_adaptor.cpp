#include "engine/orx_adaptor.h"

#include "common/camera_name.h"
#include "common/format_catalogue.h"
#include "common/warning.h"
#include "engine/colour_format_table.h"
#include "common/task_mem.h"
#include "common/to_utf8.h"
#include "engine/property_listeners.h"
#include "properties/run_time_access.h"

#include <string>

namespace orx {
namespace {

constexpr const char* kDriverDescription = "Orixen Plugin for Matlab";
constexpr const char* kDriverVersion = "3.3.0";
constexpr std::int32_t kNumberOfBands = 3;
constexpr std::int32_t kSinkBufferCount = 5;

constexpr const char* kNormRefused = "Error: failed to set video norm!\n Please use \"norm:format\" string.";
constexpr const char* kFormatRefused = "Error: failed to set video format!";
constexpr const char* kCloseInvalid = "Unable to close device. Device Invalid.";
constexpr const char* kStopInvalid = "Unable to stop live. Device Invalid.";

} // namespace

ORXadaptor::ORXadaptor(imaqkit::IEngine* engine, imaqkit::IDeviceInfo* deviceInfo, const char* formatName)
    // The host's adaptor manager is made first, before the grabber exists.
    : grabber((attachManager(engine), Vexlib::Grabber()))
{
    grabber.addListener(&listener, Vexlib::eALL);
    withCameraName(deviceInfo->getDeviceName(),
                   [this](const Vexlib::dstringa& name) { return grabber.openDev(name); });
    if (grabber.isDevValid()) {
        roiFormat = isRoiFormatDevice(grabber);
        listener.roiFormat = roiFormat;
        applyNormAndFormat(deviceInfo, formatName);

        const Vexlib::VideoFormatItem format = grabber.getVideoFormat();
        const SIZE size = format.getSize();
        frameWidth = size.cx;
        frameHeight = size.cy;
        const auto colourFormat = TaskMem<WCHAR>::attach(format.getColorformatString_());
        const ColourFormatRow& row = colourFormatTable(toUtf8(colourFormat.get()));
        installSink(row);
    }
    registerPropertyListeners(*this);
}

ORXadaptor::~ORXadaptor()
{
    if (grabber.isDevValid()) {
        grabber.stopLive();
        grabber.closeDev();
    }
    sinkHandle.reset();
}

void ORXadaptor::attachManager(imaqkit::IEngine* engine)
{
    adaptorManager = imaqkit::createAdaptorManager(this, engine);
}

void ORXadaptor::applyNormAndFormat(imaqkit::IDeviceInfo* deviceInfo, const char* formatName)
{
    std::string name = formatName;
    if (grabber.isVideoNormAvailableWithCurDev()) {
        const auto colon = name.find(':');
        const std::string normName = colon == std::string::npos ? name : name.substr(0, colon);
        if (!withCameraName(normName, [this](const Vexlib::dstringa& n) { return grabber.setVideoNorm(n); }))
            MessageBoxA(nullptr, kNormRefused, deviceInfo->getDeviceName(), MB_ICONERROR);
        if (colon != std::string::npos) name = name.substr(colon + 1);
    }
    if (!withCameraName(name, [this](const Vexlib::dstringa& n) { return grabber.setVideoFormat(n); }))
        MessageBoxA(nullptr, kFormatRefused, deviceInfo->getDeviceName(), MB_ICONERROR);
}

void ORXadaptor::installSink(const ColourFormatRow& row)
{
    const GUID subtype = Vexlib::getSubtypeFromColorformat(row.cameraFormat);
    Vexlib::FrameHandlerSink::tCreateData createData{};
    createData.bufferCount = kSinkBufferCount;
    TaskMem<Vexlib::FrameTypeInfo> frameTypes;
    if (subtype != GUID{}) {
        frameTypes = TaskMem<Vexlib::FrameTypeInfo>::allocate(1);
        frameTypes.get()[0] = Vexlib::FrameTypeInfo{subtype, 0, 0, 0};
        createData.frameTypes = {frameTypes.get(), 1};
    }
    sinkHandle = Vexlib::FrameHandlerSink::create(createData);
    frameTypes.reset();
    frameType = row.frameType;
    if (row.resetsOverlayPosition) grabber.setOverlayBitmapPathPosition(0);

    grabber.setSinkType(Vexlib::refcount_ptr<Vexlib::GrabberSinkType>(sinkHandle));
    sinkHandle->setSnapMode(false);
}

std::int32_t ORXadaptor::getMaxWidth() const { return frameWidth; }
std::int32_t ORXadaptor::getMaxHeight() const { return frameHeight; }
std::uint32_t ORXadaptor::getFrameType() const { return frameType; }
std::int32_t ORXadaptor::getNumberOfBands() const { return kNumberOfBands; }
const char* ORXadaptor::getDriverDescription() const { return kDriverDescription; }
const char* ORXadaptor::getDriverVersion() const { return kDriverVersion; }

bool ORXadaptor::openDevice() { return true; }

bool ORXadaptor::closeDevice()
{
    if (grabber.isDevValid())
        grabber.stopLive();
    else
        warn(kCloseInvalid);
    return true;
}

bool ORXadaptor::startCapture()
{
    if (adaptorManager->isCaptureRunning()) return false;
    if (!grabber.isDevValid()) return true;
    listener.owner = this;
    try {
        if (grabber.startLive(false)) return true;
    } catch (Vexlib::StatusCode) {
    }
    warn(kLiveRefused);
    return false;
}

bool ORXadaptor::stopCapture()
{
    if (!adaptorManager->isAcquisitionActive()) return true;
    if (grabber.isDevValid())
        grabber.stopLive();
    else
        warn(kStopInvalid);
    return true;
}

void ORXadaptor::readDeviceProperty(imaqkit::IPropInfo* info, void* buffer)
{
    orx::readDeviceProperty(grabber, info, buffer);
}

void ORXadaptor::writeDeviceProperty(imaqkit::IPropInfo* info, void* newValue)
{
    orx::writeDeviceProperty(grabber, info, newValue);
}

} // namespace orx
