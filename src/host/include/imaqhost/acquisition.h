// One acquisition: what the consumer sees of each frame and the statistics
// the host keeps.
#pragma once

#include "imaqhost/export.h"
#include "imaqhost/frame_types.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace imaqhost {

// A count that has no end (frames per trigger, trigger repeats): until stop.
inline constexpr std::int64_t kInfinite = -1;

// Local wall-clock time as year, month, day, hour, minute and seconds with
// their fraction (the toolbox's clock vector).
using ClockVector = std::array<double, 6>;

// Seconds since 1970-01-01 UTC, now.
IMAQHOST_API double wallSecondsNow();
// The local clock vector of a moment in seconds since 1970. Each thread keeps
// the last whole second it converted, so that a stream's frames cost no
// time-zone lookup.
IMAQHOST_API ClockVector localClockVector(double wallSeconds);

// What the host knows of one logged frame.
struct FrameMetadata {
    double time = 0.0;             // seconds since the first trigger
    double wallTime = 0.0;         // when the frame was stamped: seconds since 1970
    std::int64_t frameNumber = 0;  // 1-based within the acquisition
    std::int64_t relativeFrame = 0; // 1-based within its trigger
    std::int64_t triggerIndex = 0; // 1-based

    // When the frame was stamped, as local time; made on request, since
    // most consumers of a stream never ask.
    ClockVector absTime() const { return localClockVector(wallTime); }
};

// A received frame, valid only during the consumer call. Rows are top-down
// and tightly packed: width * bytesPerPixel bytes each. Frames taken out of
// the buffer come in the returned colour space and the host's crop;
// `time` stays the adaptor's own stamp.
struct FrameView {
    std::int64_t index = 0; // 0-based within the acquisition
    std::uint32_t frameType = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bytesPerPixel = 0;
    double time = 0.0;
    const std::uint8_t* pixels = nullptr;
    std::size_t bytes = 0;
    std::int32_t bands = 1;
    FrameMetadata meta{};
};

// Runs on the thread that takes the frames (the caller of acquire or getData),
// never on the camera's delivery thread. It may read or write properties.
using FrameConsumer = std::function<void(const FrameView&)>;

enum class AcquisitionEnd {
    Completed,      // every requested frame arrived
    StartRefused,   // the adaptor's start capture answered false
    Timeout,        // no frame arrived within the timeout
    DeviceLost,     // the adaptor warned that the device is lost
    CaptureStopped, // capture was halted and could not be restarted
    Stopped,        // the user stopped the acquisition
};

IMAQHOST_API const char* toString(AcquisitionEnd end);

struct AcquisitionStats {
    std::int64_t requested = 0;
    std::int64_t received = 0;  // frames handed to receiveFrame and logged
    std::int64_t counted = 0;   // incrementFrameCount calls during the acquisition
    std::int64_t notWanted = 0; // isSendFrame answers of false (after the end)
    std::int64_t refused = 0;   // makeFrame calls that got no frame
    std::int64_t excess = 0;    // frames handed over beyond the request (after the end)
    std::int64_t overrun = 0;   // wanted frames not logged: the buffer was full
    std::int64_t consumed = 0;  // frames taken out of the buffer
    std::int64_t available = 0; // frames in the buffer at the snapshot
    std::size_t bufferLimitFrames = 0;
    std::size_t bufferLimitBytes = 0;
    bool logging = false;       // the acquisition still wanted frames at the snapshot
    double firstTime = 0.0;     // time stamp of the first frame
    double lastTime = 0.0;      // time stamp of the last frame
    double measuredRate = 0.0;  // frames per second between first and last stamp
    double startedAt = 0.0;     // getCurrentTime when the acquisition began
    double endedAt = 0.0;       // getCurrentTime once capture was stopped
    AcquisitionEnd end = AcquisitionEnd::Completed;

    std::int64_t skipped = 0;          // frames left out by the frame delay or grab interval
    std::int64_t awaitingTrigger = 0;  // isSendFrame answers of false before a manual trigger
    std::int64_t triggersExecuted = 0;
    std::vector<std::int64_t> framesPerTrigger; // frames logged per trigger, in order
    std::optional<ClockVector> initialTriggerTime;
    std::int64_t diskWritten = 0;      // frames the disk logger wrote
    std::int64_t diskFailed = 0;       // frames it could not write
    std::string diskError;             // why the disk logger stopped writing; empty: it did not

    // Images the camera offered between the last requested frame and the
    // stop: expected, not a loss.
    std::int64_t afterEnd() const { return notWanted + excess; }
};

inline constexpr std::chrono::milliseconds kDefaultAcquisitionTimeout{10000};

enum class TriggerType { Immediate, Manual };
IMAQHOST_API const char* toString(TriggerType type);

// How an acquisition logs frames. Each trigger logs `framesPerTrigger`
// frames: of the camera's frames after it, the first `frameDelay` are
// skipped, then every `grabInterval`-th is kept. The acquisition ends by
// itself once `triggerRepeat + 1` triggers have logged their frames.
struct TriggerSettings {
    TriggerType type = TriggerType::Immediate;
    std::int64_t framesPerTrigger = 10; // or kInfinite
    std::int64_t triggerRepeat = 0;     // or kInfinite
    std::int64_t frameDelay = 0;
    std::int64_t grabInterval = 1;
    friend bool operator==(const TriggerSettings&, const TriggerSettings&) = default;
};

// HostError naming the setting when one is out of range.
IMAQHOST_API void validate(const TriggerSettings& settings);

enum class EventType { Start, Trigger, Stop, Error, FramesAcquired, Timer, Overrun };
IMAQHOST_API const char* toString(EventType type);

// An event of the acquisition. Frame fields give the frame logged last when
// it happened (0 before the first).
struct AcquisitionEvent {
    EventType type = EventType::Start;
    ClockVector absTime{};
    double time = 0.0;              // imaqkit::getCurrentTime when it happened
    std::int64_t frameNumber = 0;
    std::int64_t relativeFrame = 0;
    std::int64_t triggerIndex = 0;
    std::string message;            // Error and Overrun
    std::string messageId;
};

// Which periodic notifications are queued; Start, Trigger, Stop, Error and
// Overrun always are.
struct NotificationSettings {
    std::int64_t framesAcquiredCount = 0; // a FramesAcquired every this many frames; 0: none
    double timerPeriod = 0.0;             // a Timer every this many seconds while running; 0: none
};

// Notifications wait for the front-end at most this many deep; beyond, the
// oldest is dropped and counted.
inline constexpr std::size_t kMaxPendingNotifications = 4096;

enum class ColorSpace { Native, Rgb, Grayscale, YCbCr, Bayer };
IMAQHOST_API const char* toString(ColorSpace space);
// "rgb", "grayscale", "ycbcr" (any case), "bayer"; HostError otherwise.
IMAQHOST_API ColorSpace parseColorSpace(const std::string& text);

// The colour of the mosaic's top-left 2x2 block, row by row.
enum class BayerAlignment { Gbrg, Grbg, Bggr, Rggb };
IMAQHOST_API const char* toString(BayerAlignment alignment);
IMAQHOST_API BayerAlignment parseBayerAlignment(const std::string& text);

// The host's frame buffer holds at most this many frames and bytes by default;
// a wanted frame arriving when either bound is reached is counted as overrun.
inline constexpr std::size_t kDefaultBufferFrames = 4096;
inline constexpr std::size_t kDefaultBufferBytes = std::size_t{1} << 30;

} // namespace imaqhost
