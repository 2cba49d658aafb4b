#include "adaptor/discovery.h"

#include "common/format_catalogue.h"
#include "common/warning.h"
#include "common/camera_name.h"

namespace orx {
namespace {

void registerFormats(imaqkit::IDeviceInfo& device, const std::vector<std::string>& names)
{
    std::int32_t formatId = 0;
    for (const auto& name : names) {
        imaqkit::IDeviceFormat* format = device.createDeviceFormat(++formatId, name.c_str());
        device.addDeviceFormat(format, false);
    }
}

void discoverDevice(Vexlib::Grabber& grabber, const Vexlib::VideoCaptureDeviceItem& item,
                    std::int32_t deviceId, imaqkit::IHardwareInfo& hardwareInfo)
{
    imaqkit::IDeviceInfo* device = hardwareInfo.createDeviceInfo(deviceId, item.c_str());
    device->setDeviceFileSupport(true);
    withCameraName(item.c_str(), [&](const Vexlib::dstringa& name) { return grabber.openDev(name); });
    const FormatCatalogue catalogue = deviceFormatCatalogue(grabber);
    if (catalogue.hasVideoNorms || !catalogue.names.empty()) {
        registerFormats(*device, catalogue.names);
        hardwareInfo.addDevice(device);
    } else {
        warnWith(kNoFormatsWarning, item.c_str());
    }
    grabber.stopLive();
    grabber.closeDev();
}

} // namespace

bool initializeAdaptor() { return Vexlib::InitLibrary(); }

void uninitializeAdaptor() { Vexlib::ExitLibrary(); }

void getAvailHW(imaqkit::IHardwareInfo* hardwareInfo)
{
    Vexlib::Grabber grabber;
    const auto devices = grabber.getAvailableVideoCaptureDevices_();
    if (!devices) return;
    const std::size_t count = devices->size();
    for (std::size_t i = 0; i < count; ++i)
        discoverDevice(grabber, (*devices)[i], static_cast<std::int32_t>(i + 1), *hardwareInfo);
}

} // namespace orx
