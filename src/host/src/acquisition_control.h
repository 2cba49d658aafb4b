// The host's side of an acquisition. The adaptor's delivery thread asks
// isSendFrame and hands frames over; each wanted frame is logged into a
// bounded buffer (oldest first). A thread of the host's own (the control
// thread) starts nothing but stops capture through the adaptor as soon as the
// requested number of frames has been logged, the device was lost, no frame
// came within the idle timeout, or stop was asked for: a stop never runs on
// the thread that delivers frames and never waits for a slow consumer.
// Consumers take frames out of the buffer on their own thread.
#pragma once

#include "clock_vector.h"
#include "disk_logger.h"
#include "event_recorder.h"
#include "frame_pool.h"
#include "frame_signal.h"
#include "host_crop.h"
#include "light_mutex.h"
#include "memory_budget.h"
#include "ring_buffer.h"
#include "trigger_schedule.h"
#include "imaqhost/acquisition.h"
#include "imaqhost/video_input.h"
#include "platform/imaqkit.h"
#include "warning_observer.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace imaqhost {

class AcquisitionControl {
public:
    explicit AcquisitionControl(FramePool& pool);
    ~AcquisitionControl();

    // Called by the adaptor manager, on any thread.
    bool isActive() const noexcept { return active_.load(); }
    bool isRunning() const noexcept { return running_.load(); }
    void setRunning(bool running);
    // Inline for a trigger that is logging, the answer for every frame of a stream.
    bool isSendFrame() { return sending_.load() || isSendFrameOtherwise(); }
    void frameCounted() noexcept
    {
        if (active_.load()) counted_.fetch_add(1, std::memory_order_relaxed);
    }
    void frameRefused();
    // Takes a frame the adaptor hands back: logs it, or returns it to the pool.
    void receive(imaqkit::IFrame* frame);

    // Serialises the host's calls into the adaptor (start, stop, halt,
    // restart and property traffic) across the user's and the control thread.
    std::recursive_mutex& adaptorMutex() noexcept { return adaptorMutex_; }

    // Background acquisition. `idleTimeout` empty: no frame deadline.
    // With a frame count: immediate, that many frames, no repeats.
    void start(imaqkit::IAdaptor& adaptor, std::int64_t frames,
               std::optional<std::chrono::milliseconds> idleTimeout);
    void start(imaqkit::IAdaptor& adaptor, const TriggerSettings& settings,
               std::optional<std::chrono::milliseconds> idleTimeout);
    void stop();
    // A manual trigger; HostError when not running, not manual, or a
    // trigger is still logging.
    void trigger();
    // A trigger is logging frames.
    bool isLogging() const;

    // What the next start uses; HostError while running or when invalid.
    void setTriggerSettings(const TriggerSettings& settings);
    TriggerSettings triggerSettings() const;
    void setNotifications(const NotificationSettings& settings);
    NotificationSettings notifications() const;
    EventRecorder& events() noexcept { return events_; }

    // Frames count against the session's budget as well as this buffer's bounds.
    void useMemoryBudget(std::shared_ptr<MemoryBudget> budget);

    // How frames come out of the buffer: colour space and the host's crop
    // (empty: none). HostError while running.
    void setColorSpace(ColorSpace space, BayerAlignment alignment);
    ColorSpace colorSpace() const;
    BayerAlignment bayerAlignment() const;
    void setCrop(std::optional<HostCrop> crop);
    std::optional<HostCrop> crop() const;

    // Where logged frames go; `disk` is needed for the disk modes. HostError
    // while running.
    void setLogging(LoggingMode mode, std::optional<DiskLogSettings> disk);
    LoggingMode loggingMode() const;
    bool wait(std::chrono::milliseconds timeout);
    std::int64_t framesAcquired() const;
    std::int64_t framesAvailable() const;
    void getData(std::int64_t frames, const FrameConsumer& consumer,
                 std::chrono::milliseconds timeout);
    void peekData(std::int64_t frames, const FrameConsumer& consumer);
    void flushData();
    AcquisitionStats statistics() const;
    void setBufferLimit(std::size_t frames, std::size_t bytes);

    // The whole acquisition of N frames, on the calling thread: frames reach
    // the consumer from the buffer while capture ends on its own schedule.
    AcquisitionStats run(imaqkit::IAdaptor& adaptor, std::int64_t frames,
                         const FrameConsumer& consumer, std::chrono::milliseconds timeout);

    // Stops capture and joins the control thread; the buffer is emptied.
    void shutdown();

    std::int64_t framesOutsideAcquisition() const;

private:
    using Clock = std::chrono::steady_clock;
    enum class Stage { Idle, Running, Ended };

    struct Logged {
        Frame* frame;
        std::int64_t index;
        std::int64_t relativeFrame;
        std::int64_t triggerIndex;
    };

    // How the consumer's thread presents frames, fixed for one batch.
    struct Presentation {
        ColorSpace space = ColorSpace::Native;
        BayerAlignment alignment = BayerAlignment::Grbg;
        std::optional<HostCrop> crop;
        double firstTriggerTime = 0.0; // getCurrentTime of the first trigger
        double firstTriggerWall = 0.0; // the same moment in wall-clock seconds
    };

    static TriggerSettings immediate(std::int64_t frames);
    // isSendFrame while no trigger is logging: counts why the frame is not wanted.
    bool isSendFrameOtherwise();
    // Takes a received frame; false when it is not logged.
    bool deliver(Frame& frame);
    // Resets the counts and starts capture; false when the adaptor refused.
    bool begin(imaqkit::IAdaptor& adaptor, const TriggerSettings& settings,
               std::optional<std::chrono::milliseconds> idleTimeout);
    void fireLocked();
    void publishLocked() noexcept;
    void recordLocked(EventType type, std::string message = {}, std::string messageId = {});
    void recordOverrunLocked(const Frame& frame, const char* where);
    // Keeps a wanted frame in the buffer and/or hands it to the disk
    // logger; false when it could not be kept (an overrun).
    bool keepLocked(Frame& frame);
    // Hands a kept frame to the disk logger (a copy when the memory buffer
    // keeps it too); false, giving the budgeted bytes back, when no frame
    // was left for the copy.
    bool logToDiskLocked(Frame& frame, bool alsoToMemory, std::size_t budgeted);
    // The metadata of a frame about to be written to disk.
    FrameMetadata metadataLocked(const Frame& frame);
    // Opens the log file of an acquisition about to start; null in memory mode.
    std::unique_ptr<DiskLogger> openDiskLog(imaqkit::IAdaptor& adaptor, const TriggerSettings& settings);
    void diskFailed(const std::string& message);
    Presentation presentationLocked() const;
    void finishWithoutCapture(AcquisitionEnd end);
    void drain(const FrameConsumer& consumer);
    void rethrowStopFailure();
    void control(imaqkit::IAdaptor& adaptor, std::optional<std::chrono::milliseconds> idleTimeout);
    // Queues a Timer notification when one is due; the next deadline to wake for.
    std::optional<Clock::time_point> timerDueLocked();
    // Moves lastFrameAt_ to the newest frame's arrival, if frames came.
    void noteArrivalsLocked(Clock::time_point now);
    // Waits, with mutex_ held, for a reason to end capture.
    AcquisitionEnd awaitEnd(std::unique_lock<LightMutex>& lock,
                            std::optional<std::chrono::milliseconds> idleTimeout);
    void endCapture(imaqkit::IAdaptor& adaptor, AcquisitionEnd end);
    void joinControl();
    // Wakes the control thread and every consumer: the acquisition's state changed.
    void notifyChanged();
    // Moves up to `frames` logged frames out of the buffer into `batch`
    // (replacing its contents), oldest first.
    void takeLocked(std::size_t frames, std::vector<Logged>& batch);
    // The oldest logged frame, out of the buffer (which is not empty).
    Logged takeOneLocked();
    // Hands the frames to the consumer, then returns them to the pool;
    // `recycled` is scratch space, kept by the caller so that a steady
    // stream of batches allocates nothing.
    void pass(const std::vector<Logged>& batch, const FrameConsumer& consumer,
              const Presentation& presentation, std::vector<Frame*>& recycled);
    // The same for one frame.
    void passOne(const Logged& logged, const FrameConsumer& consumer, const Presentation& presentation);
    bool bufferFullLocked(std::size_t frameBytes) const;
    // Waits, with mutex_ held (released meanwhile), until `ready` or the
    // deadline (none: no limit); the last answer of `ready`.
    template <typename Ready>
    bool awaitLogged(std::unique_lock<LightMutex>& lock, std::optional<Clock::time_point> deadline,
                     Ready ready);
    FrameView viewOf(const Logged& logged, const Presentation& presentation);
    // The view as the consumer gets it: cropped and in the colour space.
    FrameView present(const Logged& logged, const Presentation& presentation);

    FramePool& pool_;
    std::recursive_mutex adaptorMutex_;
    std::atomic<bool> active_{false};
    std::atomic<bool> running_{false};
    // active_ and a trigger logging, written under mutex_ (publishLocked):
    // isSendFrame answers a wanted frame without the lock.
    std::atomic<bool> sending_{false};
    // incrementFrameCount calls of this acquisition, counted without the lock.
    std::atomic<std::int64_t> counted_{0};

    mutable LightMutex mutex_;
    std::condition_variable_any changed_; // capture started or ended, stop asked, device lost
    // Consumers wait on this one, so that a frame wakes only them and not
    // the control thread, which needs no news of single frames.
    FrameSignal logged_;
    RingBuffer<Logged> buffer_;
    std::size_t bufferBytes_ = 0;
    std::size_t limitFrames_;
    std::size_t limitBytes_;
    TriggerSettings settings_;
    TriggerSchedule schedule_;
    NotificationSettings notify_;
    EventRecorder events_;
    std::shared_ptr<MemoryBudget> budget_;
    ColorSpace colorSpace_ = ColorSpace::Native;
    BayerAlignment alignment_ = BayerAlignment::Grbg;
    std::optional<HostCrop> crop_;
    std::vector<std::uint8_t> cropScratch_;
    std::vector<std::uint8_t> colorScratch_;
    double firstTriggerTime_ = 0.0;
    double firstTriggerWall_ = 0.0;
    bool inOverrun_ = false; // the last wanted frame was not kept
    bool inRefusal_ = false; // the last frame asked for was refused
    Clock::time_point nextTimer_;
    LoggingMode mode_ = LoggingMode::Memory;
    std::optional<DiskLogSettings> diskSettings_;
    std::unique_ptr<DiskLogger> disk_;
    bool memoryOnly_ = true; // this acquisition logs to memory alone (no disk_)
    bool diskFailed_ = false;
    Stage stage_ = Stage::Idle;
    bool stopAsked_ = false;
    bool deviceLost_ = false;
    std::size_t waitingFor_ = 0; // a consumer waits for this many frames (0: none)
    // When the last frame came, as the control thread last looked
    // (noteArrivalsLocked): the delivery thread counts frames and keeps
    // the newest one's stamp.
    Clock::time_point lastFrameAt_;
    Clock::time_point lastLook_;
    std::uint64_t arrivals_ = 0;
    std::uint64_t arrivalsSeen_ = 0;
    double lastArrivalStamp_ = 0.0;
    std::exception_ptr stopFailure_;
    std::int64_t outside_ = 0;
    AcquisitionStats stats_;

    std::unique_ptr<WarningObserver> lostDevice_;
    std::thread control_;
};

} // namespace imaqhost
