// A video input: one adaptor object created for one device and format, with
// the host's engine, property containers and region store around it. Used
// from one user thread; a frame consumer may call back into it, and property
// calls are safe while a background acquisition runs.
#pragma once

#include "imaqhost/acquisition.h"
#include "imaqhost/discovery.h"
#include "imaqhost/disk_logging.h"
#include "imaqhost/export.h"
#include "imaqhost/property_description.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace imaqhost {

class VideoInputInspector;

struct Region {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const Region&, const Region&) = default;
};

class IMAQHOST_API VideoInput {
public:
    struct Parts;
    explicit VideoInput(std::unique_ptr<Parts> parts);
    // Stops a running acquisition and joins the host's threads, then deletes
    // the adaptor through its virtual destructor, the engine, its containers,
    // the listeners they own and every frame.
    ~VideoInput();
    VideoInput(const VideoInput&) = delete;
    VideoInput& operator=(const VideoInput&) = delete;

    const DeviceRecord& device() const;
    const std::string& formatName() const;

    // Asks for `frames` frames and hands each to the consumer on the calling
    // thread until they arrived, the timeout passed without a new frame, or
    // the device was lost. Capture stops as soon as the last frame arrived,
    // however far the consumer has got; the frames wait in the buffer.
    AcquisitionStats acquire(std::int64_t frames, const FrameConsumer& consumer = {},
                             std::chrono::milliseconds timeout = kDefaultAcquisitionTimeout);
    const AcquisitionStats& lastAcquisition() const;

    // Background acquisition, as the host's own start/stop/wait/getdata. Every
    // wanted frame is logged into a bounded buffer (oldest first) as it
    // arrives; capture stops through the adaptor as soon as the requested
    // number has been logged, from a thread of the host's (never the camera's
    // delivery thread). A frame that arrives while the buffer is full is not
    // logged and is counted as overrun; it does not count towards the request.
    static constexpr std::int64_t kUnlimitedFrames = -1; // until stop()
    // Empties the buffer and resets the counts; returns once capture has
    // started. HostError when the adaptor refuses or one is already running.
    // Runs as immediate, `frames` frames per trigger, no repeats; the
    // trigger settings are left as they are.
    void start(std::int64_t frames);
    // Starts with the trigger settings: immediate logs from the start,
    // manual streams and logs only after trigger(). Ends by itself once
    // TriggerRepeat + 1 triggers logged FramesPerTrigger frames each.
    void start();
    // A manual trigger. HostError when not running, when the trigger type is
    // immediate, or while the previous trigger still logs.
    void trigger();
    // TriggerType, FramesPerTrigger, TriggerRepeat, TriggerFrameDelay and
    // FrameGrabInterval for the next start; HostError while running or when
    // one is out of range.
    void setTriggerSettings(const TriggerSettings& settings);
    TriggerSettings triggerSettings() const;
    std::int64_t triggersExecuted() const;
    // Empty until the first trigger of the acquisition.
    std::optional<ClockVector> initialTriggerTime() const;

    // Events of the last acquisition: Start, Trigger, Overrun, Error, Stop.
    std::vector<AcquisitionEvent> eventLog() const;
    // Notifications for callbacks, queued on the runtime's threads and taken
    // here on the front-end's own thread (oldest first).
    void setNotifications(const NotificationSettings& settings);
    NotificationSettings notifications() const;
    std::vector<AcquisitionEvent> takeNotifications();
    bool waitForNotification(std::chrono::milliseconds timeout);
    std::int64_t droppedNotifications() const;

    // The colour space frames come out in; Native: as the camera sends them.
    // HostError while running or when the format cannot give it (bayer needs
    // a grey format).
    void setColorSpace(ColorSpace space, BayerAlignment alignment = BayerAlignment::Grbg);
    // The space frames come out in (Native resolved: rgb or grayscale).
    ColorSpace colorSpace() const;
    BayerAlignment bayerAlignment() const;
    // Bands of the frames taken out (NumberOfBands).
    std::int32_t returnedBands() const;
    // Stops capture and waits until it stopped; logged frames stay in the buffer.
    void stop();
    // True once the acquisition has ended (capture stopped).
    bool wait(std::chrono::milliseconds timeout);
    bool isLogging() const;
    std::int64_t framesAcquired() const; // frames logged since start
    std::int64_t framesAvailable() const; // frames in the buffer now
    // Removes `frames` frames, oldest first, and hands each to the consumer
    // on the calling thread; waits up to `timeout` for them. HostError, with
    // nothing removed, when they do not arrive in time or the acquisition
    // ended with fewer.
    void getData(std::int64_t frames, const FrameConsumer& consumer,
                 std::chrono::milliseconds timeout = kDefaultAcquisitionTimeout);
    // The newest `frames` frames (fewer when fewer are there), left in the buffer.
    void peekData(std::int64_t frames, const FrameConsumer& consumer);
    void flushData();
    // A snapshot of the counts, also while running, with the buffer's bounds.
    AcquisitionStats statistics() const;
    // Bounds of the buffer: frames, and bytes of pixels.
    void setBufferLimit(std::size_t frames, std::size_t bytes = kDefaultBufferBytes);
    bool isAcquisitionActive() const;
    bool isCaptureRunning() const;

    // Device properties. A read goes through the adaptor's custom get function;
    // a write is checked against type, constraint and read-only mode before
    // the adaptor's listeners hear of it. Failures are HostErrors.
    std::vector<std::string> propertyNames() const;
    bool hasProperty(const std::string& name) const;
    PropertyDescription describe(const std::string& name) const;
    PropertyValue get(const std::string& name);
    // An enumeration's id as the adaptor reported it.
    std::int32_t getEnumId(const std::string& name);
    void set(const std::string& name, const PropertyValue& value);
    // Parses the text by the property's type ("12", "0.5", "On").
    void setFromText(const std::string& name, const std::string& text);

    // Where logged frames go: the buffer, a log file written by a thread of
    // the runtime, or both. The file is created at each start; frames go to
    // it as the camera sends them (cropped by the host when it crops, never
    // colour-converted). A write error stops the acquisition with an Error
    // event; statistics() counts frames written and failed. HostError while
    // running, without a file for a disk mode, or when the format cannot go
    // into the file type.
    void setLogging(LoggingMode mode, std::optional<DiskLogSettings> disk = std::nullopt);
    LoggingMode loggingMode() const;
    // Frames the disk logger wrote in the last or current acquisition.
    std::int64_t diskLoggerFrameCount() const;

    // Region of interest through the adaptor's region operations; what was
    // set when the host crops.
    Region region();
    // Checked against the maximum image size first; a HostError when it does
    // not fit or the adaptor refuses it. When the adaptor keeps delivering
    // the full image (no hardware region), the host crops frames itself.
    void setRegion(const Region& region);
    // The adaptor reports the full image for a smaller region set: frames
    // are cropped by the host.
    bool isHostCropping();

    // Video sources and the engine property "SelectedSourceName".
    const std::vector<VideoSource>& sources() const;
    std::string selectedSource() const;
    void selectSource(const std::string& name);

    // The adaptor's own answers.
    std::int32_t maxWidth() const;
    std::int32_t maxHeight() const;
    std::uint32_t frameType() const;
    std::int32_t numberOfBands() const;
    std::string driverDescription() const;
    std::string driverVersion() const;
    bool openDevice();
    bool closeDevice();
    std::int64_t framesDelivered();

private:
    // Tests and leak diagnostics reach the adaptor and the property
    // listeners through it (imaqhost/testing/video_input_inspector.h).
    friend class VideoInputInspector;

    Region adaptorRegion();

    std::unique_ptr<Parts> parts_;
};

} // namespace imaqhost
