#include "acquisition_control.h"

#include "adaptor_call.h"
#include "always_inline.h"
#include "clock_vector.h"
#include "color_conversion.h"
#include "host_crop.h"
#include "imaqhost/host_error.h"
#include "imaqhost/video_input.h"

#include <algorithm>

namespace imaqhost {

namespace {

// The text an adaptor warns with when its camera is gone.
constexpr const char* kDeviceLostWarning = "The device is lost.";

// While frames flow, a consumer waiting in acquire looks for them this often
// and is woken early only when this many are waiting, not for every frame.
constexpr std::chrono::microseconds kPollInterval{250};
constexpr std::size_t kWakeBatch = 16;
// Frames flow when their stamps are closer together than this (seconds);
// slower streams wake the consumer for every frame, which costs less than
// polling between them.
constexpr double kFlowingGap = 0.002;

// A halt the adaptor follows with a restart (a source change) is not the end
// of capture; a halt not followed by a restart within this time is.
constexpr std::chrono::milliseconds kRestartGrace{100};

// A wait longer than this has no deadline (and no overflow of the clock).
constexpr std::chrono::hours kNoDeadline{24 * 365};

std::optional<std::chrono::steady_clock::time_point> deadlineAfter(std::chrono::milliseconds timeout)
{
    if (timeout >= kNoDeadline) return std::nullopt;
    return std::chrono::steady_clock::now() + std::max(timeout, std::chrono::milliseconds::zero());
}

std::string framesText(std::int64_t count)
{
    return std::to_string(count) + (count == 1 ? " frame" : " frames");
}

} // namespace

const char* toString(AcquisitionEnd end)
{
    switch (end) {
    case AcquisitionEnd::Completed: return "completed";
    case AcquisitionEnd::StartRefused: return "start refused";
    case AcquisitionEnd::Timeout: return "timeout";
    case AcquisitionEnd::DeviceLost: return "device lost";
    case AcquisitionEnd::CaptureStopped: return "capture stopped";
    case AcquisitionEnd::Stopped: return "stopped";
    }
    return "unknown";
}

AcquisitionControl::AcquisitionControl(FramePool& pool)
    : pool_(pool), limitFrames_(kDefaultBufferFrames), limitBytes_(kDefaultBufferBytes)
{
}

AcquisitionControl::~AcquisitionControl()
{
    shutdown();
}

void AcquisitionControl::setRunning(bool running)
{
    {
        std::lock_guard lock(mutex_);
        running_.store(running);
    }
    notifyChanged();
}

void AcquisitionControl::publishLocked() noexcept
{
    sending_.store(active_.load() && schedule_.logging());
}

bool AcquisitionControl::isSendFrameOtherwise()
{
    std::lock_guard lock(mutex_);
    if (!active_.load()) return false;
    if (schedule_.logging()) return true;
    if (schedule_.finished())
        ++stats_.notWanted;
    else
        ++stats_.awaitingTrigger;
    return false;
}

void AcquisitionControl::frameRefused()
{
    std::lock_guard lock(mutex_);
    if (!active_.load()) return;
    ++stats_.refused;
    if (!inRefusal_)
        recordLocked(EventType::Error, "The host had no frame for the adaptor; frames are lost.",
                     "imaqhost:frameRefused");
    inRefusal_ = true;
}

bool AcquisitionControl::bufferFullLocked(std::size_t frameBytes) const
{
    if (buffer_.empty()) return false; // one frame always fits
    return buffer_.size() >= limitFrames_ || bufferBytes_ + frameBytes > limitBytes_;
}

void AcquisitionControl::receive(imaqkit::IFrame* handed)
{
    // A frame the pool did not hand out, or one handed back twice, is ignored.
    Frame* frame = pool_.receive(handed);
    if (frame && !deliver(*frame)) pool_.recycle(frame);
}

IMAQHOST_ALWAYS_INLINE bool AcquisitionControl::deliver(Frame& frame)
{
    bool wake = false;
    bool completed = false;
    {
        std::lock_guard lock(mutex_);
        if (!active_.load()) {
            ++outside_;
            return false;
        }
        inRefusal_ = false;
        const auto verdict = schedule_.offer();
        if (verdict == TriggerSchedule::Verdict::Idle) {
            ++stats_.excess;
            return false;
        }
        // For the idle timeout: the control thread reads no clock per frame.
        ++arrivals_;
        lastArrivalStamp_ = frame.time();
        if (verdict == TriggerSchedule::Verdict::Skip) {
            ++stats_.skipped;
            return false;
        }
        if (!keepLocked(frame)) return false;
        inOverrun_ = false;
        if (stats_.received == 0) stats_.firstTime = frame.time();
        stats_.lastTime = frame.time();
        const bool triggerDone = schedule_.logged();
        if (triggerDone) publishLocked();
        ++stats_.received;
        ++stats_.framesPerTrigger.back();
        if (notify_.framesAcquiredCount > 0 && stats_.received % notify_.framesAcquiredCount == 0)
            recordLocked(EventType::FramesAcquired);
        // An immediate acquisition goes straight on with its next trigger.
        if (triggerDone && schedule_.settings().type == TriggerType::Immediate && schedule_.canFire())
            fireLocked();
        completed = triggerDone && schedule_.finished();
        wake = (waitingFor_ > 0 && buffer_.size() >= waitingFor_) || completed || triggerDone;
    }
    // Woken after the unlock, a waiting thread finds the mutex free.
    if (wake) logged_.notifyAll();
    if (completed) changed_.notify_all();
    return true;
}

IMAQHOST_ALWAYS_INLINE bool AcquisitionControl::keepLocked(Frame& frame)
{
    const bool toDisk = !memoryOnly_;
    const bool toMemory = memoryOnly_ || mode_ != LoggingMode::Disk;
    const std::size_t frameBytes = frame.bytes();
    if (toMemory && bufferFullLocked(frameBytes)) {
        recordOverrunLocked(frame, "the frame buffer is full");
        return false;
    }
    const std::size_t bytes = frameBytes * (toMemory && toDisk ? 2 : 1);
    if (budget_ && !budget_->tryTake(bytes)) {
        recordOverrunLocked(frame, "the frame-memory limit is reached");
        return false;
    }
    if (toDisk && !logToDiskLocked(frame, toMemory, bytes)) return false;
    if (toMemory) {
        buffer_.push_back({&frame, stats_.received, schedule_.framesInTrigger() + 1, schedule_.triggersExecuted()});
        bufferBytes_ += frameBytes;
    }
    return true;
}

bool AcquisitionControl::logToDiskLocked(Frame& frame, bool alsoToMemory, std::size_t budgeted)
{
    // The frame being logged is the next one of its trigger.
    const FrameMetadata meta = metadataLocked(frame);
    Frame* copy = &frame;
    if (alsoToMemory) {
        copy = pool_.take(frame.frameType(), frame.width(), frame.height());
        if (!copy) {
            if (budget_) budget_->giveBack(budgeted);
            recordOverrunLocked(frame, "no frame was left for the disk logger");
            return false;
        }
        copy->copyData(frame.pixels(), frame.width(), frame.height(), 0, 0);
        copy->setTime(frame.time());
        copy->state = Frame::State::Received;
    }
    disk_->push(*copy, meta);
    return true;
}

FrameMetadata AcquisitionControl::metadataLocked(const Frame& frame)
{
    FrameMetadata meta;
    meta.time = frame.time() - firstTriggerTime_;
    meta.wallTime = firstTriggerWall_ + meta.time;
    meta.frameNumber = stats_.received + 1;
    meta.relativeFrame = schedule_.framesInTrigger() + 1;
    meta.triggerIndex = schedule_.triggersExecuted();
    return meta;
}

void AcquisitionControl::setLogging(LoggingMode mode, std::optional<DiskLogSettings> disk)
{
    if (mode != LoggingMode::Memory && !disk)
        throw HostError(std::string("Logging mode \"") + toString(mode) + "\" needs a disk log file.");
    std::lock_guard lock(mutex_);
    if (stage_ == Stage::Running)
        throw HostError("The logging mode cannot change while the acquisition runs.");
    mode_ = mode;
    diskSettings_ = std::move(disk);
}

LoggingMode AcquisitionControl::loggingMode() const
{
    std::lock_guard lock(mutex_);
    return mode_;
}

std::unique_ptr<DiskLogger> AcquisitionControl::openDiskLog(imaqkit::IAdaptor& adaptor,
                                                           const TriggerSettings& settings)
{
    std::optional<DiskLogSettings> disk;
    std::optional<HostCrop> crop;
    {
        std::lock_guard lock(mutex_);
        if (mode_ == LoggingMode::Memory) return nullptr;
        disk = diskSettings_;
        crop = crop_;
    }
    std::uint64_t frameBytes = 0;
    {
        std::lock_guard adaptorLock(adaptorMutex_);
        const std::uint32_t type = callAdaptor("Reading the frame type", [&] { return adaptor.getFrameType(); });
        checkLoggable(disk->format, type);
        frameBytes = std::uint64_t(callAdaptor("Reading the frame width", [&] { return adaptor.getMaxWidth(); })) *
                     std::uint64_t(callAdaptor("Reading the frame height", [&] { return adaptor.getMaxHeight(); })) *
                     std::uint64_t(bytesPerPixelOf(type));
    }
    // A classic TIFF addresses 4 GiB; a stack that may pass it (or has no
    // end) is written as BigTIFF from its first page, with room for the
    // directories.
    const std::int64_t frames = TriggerSchedule(settings).framesWanted();
    constexpr std::uint64_t kClassicLimit = (std::uint64_t{1} << 32) - (std::uint64_t{64} << 20);
    const bool bigTiff = frames == kInfinite ||
                         (frameBytes > 0 && std::uint64_t(frames) > kClassicLimit / (frameBytes + 512));
    return std::make_unique<DiskLogger>(*disk, bigTiff, crop, pool_, budget_,
                                        [this](const std::string& message) { diskFailed(message); });
}

void AcquisitionControl::diskFailed(const std::string& message)
{
    {
        std::lock_guard lock(mutex_);
        diskFailed_ = true;
        stats_.diskError = message;
        recordLocked(EventType::Error, message, "imaqhost:diskWriteFailed");
    }
    notifyChanged();
}

void AcquisitionControl::recordOverrunLocked(const Frame& frame, const char* why)
{
    ++stats_.overrun;
    // One event per run of lost frames; the count has them all.
    if (inOverrun_) return;
    inOverrun_ = true;
    recordLocked(EventType::Overrun,
                 "A frame of " + std::to_string(frame.bytes()) + " bytes was not kept: " + why +
                     " (" + std::to_string(stats_.overrun) + " lost so far).",
                 "imaqhost:overrun");
}

void AcquisitionControl::recordLocked(EventType type, std::string message, std::string messageId)
{
    AcquisitionEvent event;
    event.type = type;
    event.time = imaqkit::getCurrentTime();
    event.absTime = clockVectorAt(wallSecondsNow());
    event.frameNumber = stats_.received;
    event.relativeFrame = schedule_.framesInTrigger();
    event.triggerIndex = schedule_.triggersExecuted();
    event.message = std::move(message);
    event.messageId = std::move(messageId);
    events_.record(event);
}

void AcquisitionControl::fireLocked()
{
    schedule_.fire();
    publishLocked();
    stats_.triggersExecuted = schedule_.triggersExecuted();
    stats_.framesPerTrigger.push_back(0);
    lastFrameAt_ = Clock::now();
    if (schedule_.triggersExecuted() == 1) {
        firstTriggerTime_ = imaqkit::getCurrentTime();
        firstTriggerWall_ = wallSecondsNow();
        stats_.initialTriggerTime = clockVectorAt(firstTriggerWall_);
    }
    recordLocked(EventType::Trigger);
}

TriggerSettings AcquisitionControl::immediate(std::int64_t frames)
{
    TriggerSettings settings;
    settings.framesPerTrigger = frames;
    return settings;
}

void AcquisitionControl::trigger()
{
    {
        std::lock_guard lock(mutex_);
        if (stage_ != Stage::Running)
            throw HostError("A trigger needs a running acquisition; call start first.");
        const TriggerType type = schedule_.settings().type;
        if (type != TriggerType::Manual)
            throw HostError("A trigger can only be fired by hand with TriggerType \"manual\"; it is \"" +
                            std::string(toString(type)) + "\".");
        if (schedule_.logging())
            throw HostError("The previous trigger is still logging its frames.");
        if (!schedule_.canFire()) throw HostError("Every trigger of this acquisition has executed.");
        fireLocked();
    }
    notifyChanged();
}

bool AcquisitionControl::isLogging() const
{
    std::lock_guard lock(mutex_);
    return active_.load() && schedule_.logging();
}

void AcquisitionControl::setTriggerSettings(const TriggerSettings& settings)
{
    validate(settings);
    std::lock_guard lock(mutex_);
    if (stage_ == Stage::Running)
        throw HostError("The trigger settings cannot change while the acquisition runs.");
    settings_ = settings;
}

TriggerSettings AcquisitionControl::triggerSettings() const
{
    std::lock_guard lock(mutex_);
    return settings_;
}

void AcquisitionControl::setNotifications(const NotificationSettings& settings)
{
    if (settings.framesAcquiredCount < 0 || !(settings.timerPeriod >= 0.0))
        throw HostError("Notification counts and periods cannot be negative.");
    if (settings.timerPeriod > 0.0 && settings.timerPeriod < 0.001)
        throw HostError("The timer period must be at least 0.001 seconds.");
    std::lock_guard lock(mutex_);
    if (stage_ == Stage::Running)
        throw HostError("The notification settings cannot change while the acquisition runs.");
    notify_ = settings;
}

NotificationSettings AcquisitionControl::notifications() const
{
    std::lock_guard lock(mutex_);
    return notify_;
}

void AcquisitionControl::useMemoryBudget(std::shared_ptr<MemoryBudget> budget)
{
    std::lock_guard lock(mutex_);
    budget_ = std::move(budget);
}

void AcquisitionControl::setColorSpace(ColorSpace space, BayerAlignment alignment)
{
    std::lock_guard lock(mutex_);
    if (stage_ == Stage::Running)
        throw HostError("The returned colour space cannot change while the acquisition runs.");
    colorSpace_ = space;
    alignment_ = alignment;
}

ColorSpace AcquisitionControl::colorSpace() const
{
    std::lock_guard lock(mutex_);
    return colorSpace_;
}

BayerAlignment AcquisitionControl::bayerAlignment() const
{
    std::lock_guard lock(mutex_);
    return alignment_;
}

void AcquisitionControl::setCrop(std::optional<HostCrop> crop)
{
    std::lock_guard lock(mutex_);
    if (stage_ == Stage::Running)
        throw HostError("The region of interest cannot change while an acquisition runs.");
    crop_ = crop;
}

std::optional<HostCrop> AcquisitionControl::crop() const
{
    std::lock_guard lock(mutex_);
    return crop_;
}

std::int64_t AcquisitionControl::framesOutsideAcquisition() const
{
    std::lock_guard lock(mutex_);
    return outside_;
}

bool AcquisitionControl::begin(imaqkit::IAdaptor& adaptor, const TriggerSettings& settings,
                               std::optional<std::chrono::milliseconds> idleTimeout)
{
    validate(settings);
    {
        std::lock_guard lock(mutex_);
        if (stage_ == Stage::Running) throw HostError("An acquisition is already running.");
    }
    joinControl();
    flushData();
    {
        // The last acquisition's logger is finished; statistics() may still read it.
        std::unique_ptr<DiskLogger> finished;
        std::lock_guard lock(mutex_);
        finished = std::move(disk_);
    }
    auto disk = openDiskLog(adaptor, settings);
    lostDevice_ = std::make_unique<WarningObserver>([this](const Warning& warning) {
        if (warning.message != kDeviceLostWarning) return;
        {
            std::lock_guard lock(mutex_);
            if (!active_.load()) return;
            deviceLost_ = true;
        }
        notifyChanged();
    });
    {
        std::lock_guard lock(mutex_);
        stats_ = AcquisitionStats{};
        counted_.store(0);
        disk_ = std::move(disk);
        memoryOnly_ = !disk_ || mode_ == LoggingMode::Memory;
        diskFailed_ = false;
        schedule_ = TriggerSchedule(settings);
        const std::int64_t frames = schedule_.framesWanted();
        stats_.requested = frames;
        stats_.startedAt = imaqkit::getCurrentTime();
        firstTriggerTime_ = firstTriggerWall_ = 0.0;
        inOverrun_ = inRefusal_ = false;
        events_.clearLog();
        recordLocked(EventType::Start);
        // Immediate: the first trigger is the start itself.
        if (settings.type == TriggerType::Immediate) fireLocked();
        if (notify_.timerPeriod > 0.0)
            nextTimer_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double>(notify_.timerPeriod));
        deviceLost_ = false;
        stopAsked_ = false;
        stopFailure_ = nullptr;
        lastFrameAt_ = lastLook_ = Clock::now();
        arrivalsSeen_ = arrivals_;
        stage_ = Stage::Running;
        running_.store(false);
        active_.store(true);
        publishLocked();
    }
    bool started = false;
    try {
        // running_ stays false until the adaptor has started: its start
        // capture refuses to act while the host says capture is running.
        std::lock_guard adaptorLock(adaptorMutex_);
        started = callAdaptor("Starting capture", [&] { return adaptor.startCapture(); });
    } catch (...) {
        finishWithoutCapture(AcquisitionEnd::StartRefused);
        throw;
    }
    if (!started) {
        finishWithoutCapture(AcquisitionEnd::StartRefused);
        return false;
    }
    setRunning(true);
    control_ = std::thread([this, &adaptor, idleTimeout] { control(adaptor, idleTimeout); });
    return true;
}

void AcquisitionControl::finishWithoutCapture(AcquisitionEnd end)
{
    if (disk_) disk_->finish();
    {
        std::lock_guard lock(mutex_);
        active_.store(false);
        running_.store(false);
        publishLocked();
        stage_ = Stage::Ended;
        stats_.end = end;
        stats_.endedAt = imaqkit::getCurrentTime();
        recordLocked(EventType::Error, "The adaptor did not start capture.", "imaqhost:startRefused");
        recordLocked(EventType::Stop);
    }
    notifyChanged();
}

void AcquisitionControl::start(imaqkit::IAdaptor& adaptor, std::int64_t frames,
                               std::optional<std::chrono::milliseconds> idleTimeout)
{
    if (frames < 1 && frames != kInfinite) throw HostError("An acquisition needs at least one frame.");
    start(adaptor, immediate(frames), idleTimeout);
}

void AcquisitionControl::start(imaqkit::IAdaptor& adaptor, const TriggerSettings& settings,
                               std::optional<std::chrono::milliseconds> idleTimeout)
{
    if (!begin(adaptor, settings, idleTimeout))
        throw HostError("The adaptor refused to start capture.");
}

void AcquisitionControl::control(imaqkit::IAdaptor& adaptor,
                                 std::optional<std::chrono::milliseconds> idleTimeout)
{
    AcquisitionEnd end = AcquisitionEnd::Completed;
    {
        std::unique_lock lock(mutex_);
        end = awaitEnd(lock, idleTimeout);
    }
    endCapture(adaptor, end);
}

AcquisitionEnd AcquisitionControl::awaitEnd(std::unique_lock<LightMutex>& lock,
                                            std::optional<std::chrono::milliseconds> idleTimeout)
{
    for (;;) {
        if (schedule_.finished()) return AcquisitionEnd::Completed;
        if (deviceLost_) return AcquisitionEnd::DeviceLost;
        if (stopAsked_ || diskFailed_) return AcquisitionEnd::Stopped;
        const auto timer = timerDueLocked();
        if (!running_.load()) {
            const bool resumed = changed_.wait_for(lock, kRestartGrace, [&] {
                return running_.load() || stopAsked_ || deviceLost_;
            });
            if (!resumed) return AcquisitionEnd::CaptureStopped;
            continue;
        }
        // Only a trigger that waits for frames can time out.
        std::optional<Clock::time_point> deadline;
        if (idleTimeout && schedule_.logging()) {
            const auto now = Clock::now();
            noteArrivalsLocked(now);
            deadline = lastFrameAt_ + *idleTimeout;
            if (now >= *deadline) return AcquisitionEnd::Timeout;
        }
        if (timer && (!deadline || *timer < *deadline)) deadline = timer;
        if (deadline)
            changed_.wait_until(lock, *deadline);
        else
            changed_.wait(lock);
    }
}

void AcquisitionControl::noteArrivalsLocked(Clock::time_point now)
{
    if (arrivals_ != arrivalsSeen_) {
        arrivalsSeen_ = arrivals_;
        // The newest frame's stamp is on the host's clock, in seconds. A
        // stamp outside the time since the last look (none, or another
        // clock's) cannot be when it came: it counts as now, which ends the
        // acquisition at most one timeout late and never early.
        const auto seconds = [](Clock::time_point at) {
            return std::chrono::duration<double>(at.time_since_epoch()).count();
        };
        const double stamp = lastArrivalStamp_;
        Clock::time_point arrival = now;
        if (stamp >= seconds(std::min(lastLook_, now)) && stamp <= seconds(now))
            arrival = std::min(now, Clock::time_point(std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(stamp))));
        lastFrameAt_ = std::max(lastFrameAt_, arrival);
    }
    lastLook_ = now;
}

std::optional<AcquisitionControl::Clock::time_point> AcquisitionControl::timerDueLocked()
{
    if (notify_.timerPeriod <= 0.0) return std::nullopt;
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(notify_.timerPeriod));
    const auto now = Clock::now();
    if (now >= nextTimer_) {
        recordLocked(EventType::Timer);
        // A late wake-up gives one Timer, not a burst of them.
        nextTimer_ = std::max(nextTimer_ + period, now);
    }
    return nextTimer_;
}

void AcquisitionControl::endCapture(imaqkit::IAdaptor& adaptor, AcquisitionEnd end)
{
    std::exception_ptr failure;
    {
        // Stop while the acquisition still counts as active: the adaptor's
        // stop capture acts only then.
        std::lock_guard adaptorLock(adaptorMutex_);
        try {
            callAdaptor("Stopping capture", [&] { return adaptor.stopCapture(); });
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard lock(mutex_);
        active_.store(false);
        running_.store(false);
        publishLocked();
    }
    // No frame comes any more: the writer empties its queue and completes
    // the file. Its failure handler takes mutex_, so it is not held here.
    if (disk_) disk_->finish();
    {
        std::lock_guard lock(mutex_);
        stage_ = Stage::Ended;
        stopFailure_ = failure;
        stats_.end = end;
        stats_.endedAt = imaqkit::getCurrentTime();
        if (end == AcquisitionEnd::DeviceLost || end == AcquisitionEnd::Timeout ||
            end == AcquisitionEnd::CaptureStopped)
            recordLocked(EventType::Error,
                         std::string("The acquisition ended: ") + toString(end) + ".",
                         std::string("imaqhost:") + (end == AcquisitionEnd::DeviceLost ? "deviceLost"
                                                     : end == AcquisitionEnd::Timeout  ? "timeout"
                                                                                       : "captureStopped"));
        if (failure) recordLocked(EventType::Error, "Stopping capture failed.", "imaqhost:stopFailed");
        recordLocked(EventType::Stop);
        if (stats_.received >= 2 && stats_.lastTime > stats_.firstTime)
            stats_.measuredRate =
                static_cast<double>(stats_.received - 1) / (stats_.lastTime - stats_.firstTime);
    }
    notifyChanged();
}

void AcquisitionControl::notifyChanged()
{
    changed_.notify_all();
    logged_.notifyAll();
}

void AcquisitionControl::joinControl()
{
    if (control_.joinable() && control_.get_id() != std::this_thread::get_id()) control_.join();
}

void AcquisitionControl::rethrowStopFailure()
{
    std::exception_ptr failure;
    {
        std::lock_guard lock(mutex_);
        std::swap(failure, stopFailure_);
    }
    if (failure) std::rethrow_exception(failure);
}

void AcquisitionControl::stop()
{
    {
        std::lock_guard lock(mutex_);
        if (stage_ == Stage::Running) stopAsked_ = true;
    }
    notifyChanged();
    joinControl();
    rethrowStopFailure();
}

bool AcquisitionControl::wait(std::chrono::milliseconds timeout)
{
    {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [&] { return stage_ != Stage::Running; })) return false;
    }
    joinControl();
    return true;
}

std::int64_t AcquisitionControl::framesAcquired() const
{
    std::lock_guard lock(mutex_);
    return stats_.received;
}

std::int64_t AcquisitionControl::framesAvailable() const
{
    std::lock_guard lock(mutex_);
    return static_cast<std::int64_t>(buffer_.size());
}

void AcquisitionControl::takeLocked(std::size_t frames, std::vector<Logged>& batch)
{
    batch.clear();
    while (batch.size() < frames && !buffer_.empty()) batch.push_back(takeOneLocked());
}

inline AcquisitionControl::Logged AcquisitionControl::takeOneLocked()
{
    const Logged logged = buffer_.front();
    buffer_.pop_front();
    const std::size_t bytes = logged.frame->bytes();
    bufferBytes_ -= bytes;
    if (budget_) budget_->giveBack(bytes);
    ++stats_.consumed;
    return logged;
}

AcquisitionControl::Presentation AcquisitionControl::presentationLocked() const
{
    return {colorSpace_, alignment_, crop_, firstTriggerTime_, firstTriggerWall_};
}

inline FrameView AcquisitionControl::viewOf(const Logged& logged, const Presentation& presentation)
{
    const Frame& frame = *logged.frame;
    const double time = frame.time() - presentation.firstTriggerTime;
    return FrameView{logged.index,
                     frame.frameType(),
                     frame.width(),
                     frame.height(),
                     frame.bytesPerPixel(),
                     frame.time(),
                     frame.pixels(),
                     frame.bytes(),
                     frame.bands(),
                     FrameMetadata{time, presentation.firstTriggerWall + time, logged.index + 1,
                                   logged.relativeFrame, logged.triggerIndex}};
}

IMAQHOST_ALWAYS_INLINE FrameView AcquisitionControl::present(const Logged& logged, const Presentation& presentation)
{
    // One named result, built in place: a frame in its own colour space is not copied.
    FrameView view = viewOf(logged, presentation);
    BayerAlignment alignment = presentation.alignment;
    if (presentation.crop) {
        const FrameView whole = view;
        view = cropView(whole, *presentation.crop, cropScratch_);
        if (view.pixels != whole.pixels)
            alignment = shiftedAlignment(alignment, presentation.crop->region.x, presentation.crop->region.y);
    }
    if (presentation.space != ColorSpace::Native)
        view = convertColor(view, presentation.space, alignment, colorScratch_);
    return view;
}

void AcquisitionControl::pass(const std::vector<Logged>& batch, const FrameConsumer& consumer,
                              const Presentation& presentation, std::vector<Frame*>& frames)
{
    frames.clear();
    for (const Logged& logged : batch) frames.push_back(logged.frame);
    // The frames are out of the buffer: back to the pool whatever the consumer does.
    struct Recycle {
        FramePool& pool;
        const std::vector<Frame*>& frames;
        ~Recycle() { pool.recycle(frames); }
    } recycle{pool_, frames};
    if (!consumer) return;
    for (const Logged& logged : batch) consumer(present(logged, presentation));
}

inline void AcquisitionControl::passOne(const Logged& logged, const FrameConsumer& consumer,
                                        const Presentation& presentation)
{
    struct Recycle {
        FramePool& pool;
        Frame* frame;
        ~Recycle() { pool.recycle(frame); }
    } recycle{pool_, logged.frame};
    if (consumer) consumer(present(logged, presentation));
}

template <typename Ready>
bool AcquisitionControl::awaitLogged(std::unique_lock<LightMutex>& lock,
                                     std::optional<Clock::time_point> deadline, Ready ready)
{
    while (!ready()) {
        // Read under the lock: a frame logged after the unlock changes it.
        const std::uint32_t seen = logged_.sequence();
        lock.unlock();
        bool inTime = true;
        if (deadline)
            inTime = logged_.waitUntil(seen, *deadline);
        else
            logged_.wait(seen);
        lock.lock();
        if (!inTime) return ready();
    }
    return true;
}

void AcquisitionControl::getData(std::int64_t frames, const FrameConsumer& consumer,
                                 std::chrono::milliseconds timeout)
{
    if (frames < 1) throw HostError("Taking frames needs at least one frame.");
    const auto wanted = static_cast<std::size_t>(frames);
    std::vector<Logged> batch;
    Presentation presentation;
    {
        std::unique_lock lock(mutex_);
        waitingFor_ = wanted;
        awaitLogged(lock, deadlineAfter(timeout),
                    [&] { return buffer_.size() >= wanted || stage_ != Stage::Running; });
        waitingFor_ = 0;
        if (buffer_.size() < wanted) {
            const std::string available = framesText(static_cast<std::int64_t>(buffer_.size()));
            if (stage_ != Stage::Running)
                throw HostError("The acquisition ended (" + std::string(toString(stats_.end)) +
                                ") with " + available + " available; " + framesText(frames) +
                                " were asked for.");
            throw HostError("Timed out waiting for " + framesText(frames) + "; " + available +
                            " available.");
        }
        takeLocked(wanted, batch);
        presentation = presentationLocked();
    }
    std::vector<Frame*> recycled;
    pass(batch, consumer, presentation, recycled);
}

void AcquisitionControl::peekData(std::int64_t frames, const FrameConsumer& consumer)
{
    std::vector<Logged> newest;
    Presentation presentation;
    {
        std::lock_guard lock(mutex_);
        buffer_.copyBack(static_cast<std::size_t>(std::max<std::int64_t>(frames, 0)), newest);
        presentation = presentationLocked();
    }
    // Only the user's thread removes frames, so these stay valid meanwhile.
    if (consumer)
        for (const Logged& logged : newest) consumer(present(logged, presentation));
}

void AcquisitionControl::flushData()
{
    std::vector<Logged> all;
    {
        std::lock_guard lock(mutex_);
        takeLocked(buffer_.size(), all);
    }
    std::vector<Frame*> recycled;
    pass(all, {}, Presentation{}, recycled);
}

AcquisitionStats AcquisitionControl::statistics() const
{
    std::lock_guard lock(mutex_);
    AcquisitionStats snapshot = stats_;
    snapshot.counted = counted_.load();
    snapshot.available = static_cast<std::int64_t>(buffer_.size());
    snapshot.bufferLimitFrames = limitFrames_;
    snapshot.bufferLimitBytes = limitBytes_;
    snapshot.logging = active_.load() && schedule_.logging();
    snapshot.triggersExecuted = schedule_.triggersExecuted();
    if (disk_) {
        snapshot.diskWritten = disk_->written();
        snapshot.diskFailed = disk_->failed();
    }
    return snapshot;
}

void AcquisitionControl::setBufferLimit(std::size_t frames, std::size_t bytes)
{
    if (frames < 1 || bytes < 1) throw HostError("The frame buffer must hold at least one frame.");
    std::lock_guard lock(mutex_);
    limitFrames_ = frames;
    limitBytes_ = bytes;
}

AcquisitionStats AcquisitionControl::run(imaqkit::IAdaptor& adaptor, std::int64_t frames,
                                         const FrameConsumer& consumer,
                                         std::chrono::milliseconds timeout)
{
    if (frames < 1) throw HostError("An acquisition needs at least one frame.");
    if (begin(adaptor, immediate(frames), timeout)) {
        try {
            drain(consumer);
        } catch (...) {
            stop();
            flushData();
            throw;
        }
        joinControl();
        rethrowStopFailure();
    }
    return statistics();
}

void AcquisitionControl::drain(const FrameConsumer& consumer)
{
    Presentation presentation;
    {
        // Fixed while the acquisition runs: the settings refuse changes and
        // its first trigger fired before capture started.
        std::lock_guard lock(mutex_);
        presentation = presentationLocked();
    }
    double lastStamp = 0.0;
    double gap = 0.0; // between the stamps of the last two frames taken
    for (;;) {
        Logged logged{};
        bool waits = false;
        bool flowing = false;
        std::uint32_t seen = 0;
        {
            // One look per frame: it takes the oldest frame and, when that
            // empties the buffer, prepares the wait for the next.
            std::lock_guard lock(mutex_);
            if (!buffer_.empty()) {
                logged = takeOneLocked();
                gap = logged.frame->time() - lastStamp;
                lastStamp = logged.frame->time();
            } else if (stage_ != Stage::Running) {
                return;
            }
            waitingFor_ = 0;
            if (buffer_.empty() && stage_ == Stage::Running) {
                // While frames flow, look again after a short while instead
                // of being woken for every frame; slower, wait to be woken.
                flowing = gap > 0.0 && gap < kFlowingGap;
                waitingFor_ = flowing ? kWakeBatch : 1;
                // Read under the lock: a frame logged after the unlock changes it.
                seen = logged_.sequence();
                waits = true;
            }
        }
        if (logged.frame) passOne(logged, consumer, presentation);
        if (!waits) continue;
        if (flowing)
            logged_.waitUntil(seen, Clock::now() + kPollInterval);
        else
            logged_.wait(seen);
    }
}

void AcquisitionControl::shutdown()
{
    stop();
    flushData();
    lostDevice_.reset();
}

} // namespace imaqhost
