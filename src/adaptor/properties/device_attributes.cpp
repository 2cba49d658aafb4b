#include "properties/device_attributes.h"

#include "common/format_catalogue.h"
#include "common/camera_name.h"
#include "common/property_names.h"
#include "properties/property_publication.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace orx {

namespace {

constexpr std::int32_t kSourceId = 1;
constexpr std::size_t kFrameRateTextBytes = 10;

const char* orEmpty(const char* text)
{
    return text ? text : "";
}

// Closes a device that an exception left open; the normal path closes it
// itself and disarms the guard.
class OpenDeviceGuard {
public:
    explicit OpenDeviceGuard(Vexlib::Grabber& grabber) noexcept : grabber_(grabber) {}
    OpenDeviceGuard(const OpenDeviceGuard&) = delete;
    OpenDeviceGuard& operator=(const OpenDeviceGuard&) = delete;
    ~OpenDeviceGuard()
    {
        if (!armed_) return;
        try {
            grabber_.stopLive();
            grabber_.closeDev();
        } catch (...) {
            // The exception already under way is the one the host must see.
        }
    }
    void closeDevice()
    {
        armed_ = false;
        grabber_.stopLive();
        grabber_.closeDev();
    }

private:
    Vexlib::Grabber& grabber_;
    bool armed_ = true;
};

template <class T>
std::vector<T> copyList(const Vexlib::ListHandle<T>& list)
{
    return list ? *list : std::vector<T>{};
}

void makePublished(imaqkit::IPropFactory& factory, imaqkit::PropertyHandle property,
                   const char* readOnlyMode)
{
    factory.setReadOnlyMode(property, readOnlyMode);
    factory.publishProperty(property);
}

void openDevice(Vexlib::Grabber& grabber, imaqkit::IDeviceInfo& deviceInfo)
{
    static_cast<void>(withCameraName(orEmpty(deviceInfo.getDeviceName()),
                                     [&](const Vexlib::dstringa& name) { return grabber.openDev(name); }));
}

void selectFormat(Vexlib::Grabber& grabber, const char* formatName)
{
    const bool selected =
        withCameraName(formatName, [&](const Vexlib::dstringa& name) { return grabber.setVideoFormat(name); });
    if (!selected) MessageBoxA(nullptr, "Failed to set videoformat", formatName, MB_OK);
}

std::size_t firstHighestRatePosition(const std::vector<double>& rates)
{
    float best = 0.0f;
    std::size_t chosen = 0;
    for (std::size_t position = 0; position < rates.size(); ++position) {
        const auto rate = static_cast<float>(rates[position]);
        if (rate > best) {
            best = rate;
            chosen = position;
        }
    }
    return chosen;
}

void declareProperties(Vexlib::Grabber& grabber, const char* formatName,
                       imaqkit::IPropFactory& factory)
{
    selectFormat(grabber, formatName);
    publishSerialNumber(grabber, factory);
    publishFrameRate(grabber, factory);
    if (grabber.isInputChannelAvailableWithCurDev()) publishInputChannel(grabber, factory);
    publishCameraProperties(grabber, factory);
}

} // namespace

void getDeviceAttributes(imaqkit::IDeviceInfo* deviceInfo, const char* formatName,
                         imaqkit::IPropFactory* propertyFactory,
                         imaqkit::IVideoSourceInfo* sourceContainer)
{
    Vexlib::Grabber grabber;
    openDevice(grabber, *deviceInfo);
    if (grabber.isDevValid()) {
        OpenDeviceGuard guard(grabber);
        declareProperties(grabber, orEmpty(formatName), *propertyFactory);
        guard.closeDevice();
    }
    sourceContainer->addAdaptorSource(orEmpty(deviceInfo->getDeviceName()), kSourceId);
}

void publishSerialNumber(Vexlib::Grabber& grabber, imaqkit::IPropFactory& factory)
{
    std::int64_t serial = 0;
    const bool reported = grabber.getDev().getSerialNumber(serial);
    if (!reported) return;
    const auto property = factory.newIntProperty(kSerialNoProperty, 0, 1);
    makePublished(factory, property, "always");
}

void publishFrameRate(Vexlib::Grabber& grabber, imaqkit::IPropFactory& factory)
{
    const bool roiDevice = isRoiFormatDevice(grabber);
    if (!grabber.isFrameRateListAvailable() || roiDevice) return;
    const Vexlib::VideoFormatItem format = grabber.getVideoFormat();
    OutputDebugStringA(orEmpty(format.c_str()));
    const std::vector<double> rates = copyList(grabber.getAvailableFPS_(format));
    // A list reported available but delivered empty has no entry to start with.
    if (rates.empty()) return;
    const std::size_t chosen = firstHighestRatePosition(rates);
    const auto property = factory.newEnumProperty(kFrameRateProperty, frameRateText(rates.at(chosen)).c_str(),
                                                  static_cast<std::int32_t>(chosen));
    for (std::size_t position = 0; position < rates.size(); ++position) {
        if (position == chosen) continue;
        factory.appendEnumValue(property, frameRateText(rates.at(position)).c_str(),
                                static_cast<std::int32_t>(position));
    }
    makePublished(factory, property, "whileRunning");
}

void publishInputChannel(Vexlib::Grabber& grabber, imaqkit::IPropFactory& factory)
{
    const std::vector<Vexlib::AnalogChannelItem> channels =
        copyList(grabber.getAvailableInputChannels_());
    // Channels reported available but delivered as no list: nothing to declare.
    if (channels.empty()) return;
    const auto property = factory.newEnumProperty(kInputChannelProperty, orEmpty(channels.at(0).c_str()), 0);
    for (std::size_t position = 1; position < channels.size(); ++position)
        factory.appendEnumValue(property, orEmpty(channels.at(position).c_str()),
                                static_cast<std::int32_t>(position));
    makePublished(factory, property, "never");
}

std::string frameRateText(double rate)
{
    char text[kFrameRateTextBytes];
    std::snprintf(text, sizeof text, "%5.2f", static_cast<double>(static_cast<float>(rate)));
    return text;
}

} // namespace orx
