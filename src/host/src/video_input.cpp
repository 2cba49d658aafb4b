#include "imaqhost/video_input.h"

#include "adaptor_call.h"
#include "color_conversion.h"
#include "frame_file_writer.h"
#include "imaqhost/host_error.h"
#include "video_input_parts.h"

#include <algorithm>

namespace imaqhost {

VideoInput::VideoInput(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

VideoInput::~VideoInput()
{
    // The control thread uses the adaptor, which goes first of the parts.
    parts_->engine->acquisition().shutdown();
}

const DeviceRecord& VideoInput::device() const
{
    return parts_->device;
}

const std::string& VideoInput::formatName() const
{
    return parts_->formatName;
}

AcquisitionStats VideoInput::acquire(std::int64_t frames, const FrameConsumer& consumer,
                                     std::chrono::milliseconds timeout)
{
    parts_->lastAcquisition =
        parts_->engine->acquisition().run(*parts_->adaptor, frames, consumer, timeout);
    return parts_->lastAcquisition;
}

void VideoInput::start(std::int64_t frames)
{
    parts_->engine->acquisition().start(*parts_->adaptor, frames, std::nullopt);
}

void VideoInput::start()
{
    auto& acquisition = parts_->engine->acquisition();
    acquisition.start(*parts_->adaptor, acquisition.triggerSettings(), std::nullopt);
}

void VideoInput::trigger()
{
    parts_->engine->acquisition().trigger();
}

void VideoInput::setTriggerSettings(const TriggerSettings& settings)
{
    parts_->engine->acquisition().setTriggerSettings(settings);
}

TriggerSettings VideoInput::triggerSettings() const
{
    return parts_->engine->acquisition().triggerSettings();
}

std::int64_t VideoInput::triggersExecuted() const
{
    return parts_->engine->acquisition().statistics().triggersExecuted;
}

std::optional<ClockVector> VideoInput::initialTriggerTime() const
{
    return parts_->engine->acquisition().statistics().initialTriggerTime;
}

std::vector<AcquisitionEvent> VideoInput::eventLog() const
{
    return parts_->engine->acquisition().events().log();
}

void VideoInput::setNotifications(const NotificationSettings& settings)
{
    parts_->engine->acquisition().setNotifications(settings);
}

NotificationSettings VideoInput::notifications() const
{
    return parts_->engine->acquisition().notifications();
}

std::vector<AcquisitionEvent> VideoInput::takeNotifications()
{
    return parts_->engine->acquisition().events().takeNotifications();
}

bool VideoInput::waitForNotification(std::chrono::milliseconds timeout)
{
    return parts_->engine->acquisition().events().waitForNotification(timeout);
}

std::int64_t VideoInput::droppedNotifications() const
{
    return parts_->engine->acquisition().events().droppedNotifications();
}

void VideoInput::setColorSpace(ColorSpace space, BayerAlignment alignment)
{
    checkConvertible(frameType(), space);
    parts_->engine->acquisition().setColorSpace(space, alignment);
}

ColorSpace VideoInput::colorSpace() const
{
    const ColorSpace space = parts_->engine->acquisition().colorSpace();
    return space == ColorSpace::Native ? nativeColorSpaceOf(frameType()) : space;
}

BayerAlignment VideoInput::bayerAlignment() const
{
    return parts_->engine->acquisition().bayerAlignment();
}

std::int32_t VideoInput::returnedBands() const
{
    const std::int32_t bands = bandsIn(frameType(), parts_->engine->acquisition().colorSpace());
    return bands ? bands : numberOfBands();
}

void VideoInput::setLogging(LoggingMode mode, std::optional<DiskLogSettings> disk)
{
    if (mode != LoggingMode::Memory && disk) checkLoggable(disk->format, frameType());
    parts_->engine->acquisition().setLogging(mode, std::move(disk));
}

LoggingMode VideoInput::loggingMode() const
{
    return parts_->engine->acquisition().loggingMode();
}

std::int64_t VideoInput::diskLoggerFrameCount() const
{
    return parts_->engine->acquisition().statistics().diskWritten;
}

bool VideoInput::isHostCropping()
{
    const auto crop = parts_->engine->acquisition().crop();
    return crop && !(region() == adaptorRegion());
}

void VideoInput::stop()
{
    parts_->engine->acquisition().stop();
    parts_->lastAcquisition = parts_->engine->acquisition().statistics();
}

bool VideoInput::wait(std::chrono::milliseconds timeout)
{
    const bool ended = parts_->engine->acquisition().wait(timeout);
    if (ended) parts_->lastAcquisition = parts_->engine->acquisition().statistics();
    return ended;
}

bool VideoInput::isLogging() const
{
    return parts_->engine->acquisition().isLogging();
}

std::int64_t VideoInput::framesAcquired() const
{
    return parts_->engine->acquisition().framesAcquired();
}

std::int64_t VideoInput::framesAvailable() const
{
    return parts_->engine->acquisition().framesAvailable();
}

void VideoInput::getData(std::int64_t frames, const FrameConsumer& consumer,
                         std::chrono::milliseconds timeout)
{
    parts_->engine->acquisition().getData(frames, consumer, timeout);
}

void VideoInput::peekData(std::int64_t frames, const FrameConsumer& consumer)
{
    parts_->engine->acquisition().peekData(frames, consumer);
}

void VideoInput::flushData()
{
    parts_->engine->acquisition().flushData();
}

AcquisitionStats VideoInput::statistics() const
{
    return parts_->engine->acquisition().statistics();
}

void VideoInput::setBufferLimit(std::size_t frames, std::size_t bytes)
{
    parts_->engine->acquisition().setBufferLimit(frames, bytes);
}

const AcquisitionStats& VideoInput::lastAcquisition() const
{
    return parts_->lastAcquisition;
}

bool VideoInput::isAcquisitionActive() const
{
    return parts_->engine->acquisition().isActive();
}

bool VideoInput::isCaptureRunning() const
{
    return parts_->engine->acquisition().isRunning();
}

std::vector<std::string> VideoInput::propertyNames() const
{
    return parts_->engine->deviceProperties().names();
}

bool VideoInput::hasProperty(const std::string& name) const
{
    return parts_->engine->deviceProperties().has(name);
}

PropertyDescription VideoInput::describe(const std::string& name) const
{
    return parts_->engine->deviceProperties().describe(name);
}

PropertyValue VideoInput::get(const std::string& name)
{
    std::lock_guard lock(parts_->engine->acquisition().adaptorMutex());
    return parts_->engine->deviceProperties().read(name);
}

std::int32_t VideoInput::getEnumId(const std::string& name)
{
    std::lock_guard lock(parts_->engine->acquisition().adaptorMutex());
    auto& properties = parts_->engine->deviceProperties();
    if (properties.describe(name).type != PropertyType::Enumeration)
        throw HostError("Property \"" + name + "\" is not an enumeration.");
    return std::get<std::int32_t>(properties.readRaw(name));
}

void VideoInput::set(const std::string& name, const PropertyValue& value)
{
    std::lock_guard lock(parts_->engine->acquisition().adaptorMutex());
    parts_->engine->deviceProperties().write(name, value);
}

void VideoInput::setFromText(const std::string& name, const std::string& text)
{
    std::lock_guard lock(parts_->engine->acquisition().adaptorMutex());
    parts_->engine->deviceProperties().writeText(name, text);
}

Region VideoInput::region()
{
    // A camera without a hardware region reports the full image; the host
    // crops its frames to what the user set, which is what reads back.
    const Region reported = adaptorRegion();
    const auto crop = parts_->engine->acquisition().crop();
    const bool full = crop && reported.x == 0 && reported.y == 0 &&
                      reported.width == crop->fullWidth && reported.height == crop->fullHeight;
    return full ? crop->region : reported;
}

Region VideoInput::adaptorRegion()
{
    std::lock_guard lock(parts_->engine->acquisition().adaptorMutex());
    Region region;
    callAdaptor("Reading the region of interest",
                [&] { parts_->adaptor->getROI(&region.x, &region.y, &region.width, &region.height); });
    return region;
}

void VideoInput::setRegion(const Region& region)
{
    std::lock_guard lock(parts_->engine->acquisition().adaptorMutex());
    if (isAcquisitionActive())
        throw HostError("The region of interest cannot change while an acquisition runs.");
    const std::string text = "[" + std::to_string(region.x) + ", " + std::to_string(region.y) +
                             ", " + std::to_string(region.width) + ", " +
                             std::to_string(region.height) + "]";
    const std::int64_t width = maxWidth();
    const std::int64_t height = maxHeight();
    const bool fits = region.x >= 0 && region.y >= 0 && region.width > 0 && region.height > 0 &&
                      region.x + std::int64_t{region.width} <= width &&
                      region.y + std::int64_t{region.height} <= height;
    if (!fits)
        throw HostError("Region " + text + " does not fit the " + std::to_string(width) + "x" +
                        std::to_string(height) + " image.");
    const bool accepted = callAdaptor("Setting the region of interest", [&] {
        return parts_->adaptor->setROI(region.x, region.y, region.width, region.height);
    });
    if (!accepted) throw HostError("The adaptor did not accept region " + text + ".");
    // A camera that cannot crop keeps delivering the full image: the host
    // crops such frames (and only such frames) to the region.
    const Region full{0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
    parts_->engine->acquisition().setCrop(
        region == full ? std::nullopt : std::optional<HostCrop>(HostCrop{region, full.width, full.height}));
}

const std::vector<VideoSource>& VideoInput::sources() const
{
    return parts_->sources;
}

std::string VideoInput::selectedSource() const
{
    return parts_->engine->engineProperties().selectedSource();
}

void VideoInput::selectSource(const std::string& name)
{
    std::lock_guard lock(parts_->engine->acquisition().adaptorMutex());
    const auto& sources = parts_->sources;
    const bool known = std::any_of(sources.begin(), sources.end(),
                                   [&](const VideoSource& source) { return source.name == name; });
    if (!known) {
        std::string names;
        for (const VideoSource& source : sources)
            names += (names.empty() ? "\"" : ", \"") + source.name + "\"";
        throw HostError("There is no video source \"" + name + "\"; the sources are: " +
                        (names.empty() ? "none" : names) + ".");
    }
    parts_->engine->engineProperties().setSelectedSource(name);
}

std::int32_t VideoInput::maxWidth() const
{
    return callAdaptor("Reading the frame width", [&] { return parts_->adaptor->getMaxWidth(); });
}

std::int32_t VideoInput::maxHeight() const
{
    return callAdaptor("Reading the frame height", [&] { return parts_->adaptor->getMaxHeight(); });
}

std::uint32_t VideoInput::frameType() const
{
    return callAdaptor("Reading the frame type", [&] { return parts_->adaptor->getFrameType(); });
}

std::int32_t VideoInput::numberOfBands() const
{
    return callAdaptor("Reading the number of bands",
                       [&] { return parts_->adaptor->getNumberOfBands(); });
}

std::string VideoInput::driverDescription() const
{
    const char* text = callAdaptor("Reading the driver description",
                                   [&] { return parts_->adaptor->getDriverDescription(); });
    return text ? text : "";
}

std::string VideoInput::driverVersion() const
{
    const char* text = callAdaptor("Reading the driver version",
                                   [&] { return parts_->adaptor->getDriverVersion(); });
    return text ? text : "";
}

bool VideoInput::openDevice()
{
    std::lock_guard lock(parts_->engine->acquisition().adaptorMutex());
    return callAdaptor("Opening the device", [&] { return parts_->adaptor->openDevice(); });
}

bool VideoInput::closeDevice()
{
    std::lock_guard lock(parts_->engine->acquisition().adaptorMutex());
    return callAdaptor("Closing the device", [&] { return parts_->adaptor->closeDevice(); });
}

std::int64_t VideoInput::framesDelivered()
{
    return parts_->adaptor->framesDelivered();
}

} // namespace imaqhost
