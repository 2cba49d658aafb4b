#include "acquisition_run.h"

#include "background_acquisition.h"
#include "failure_text.h"
#include "interrupts.h"
#include "manual_trigger.h"
#include "output/output_folder.h"
#include "vexcam/format_text.h"
#include "vexcam/vexcam.h"

#include "imaqhost/acquisition.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <ostream>

namespace orximaq {
namespace {

std::string formatted(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string endText(imaqhost::AcquisitionEnd end)
{
    switch (end) {
    case imaqhost::AcquisitionEnd::Completed: return "completed";
    case imaqhost::AcquisitionEnd::StartRefused: return "the adaptor could not start the capture";
    case imaqhost::AcquisitionEnd::Timeout: return "no frame arrived in time";
    case imaqhost::AcquisitionEnd::DeviceLost: return "the device was lost";
    case imaqhost::AcquisitionEnd::CaptureStopped: return "the capture stopped and could not be restarted";
    case imaqhost::AcquisitionEnd::Stopped: return "stopped";
    }
    return "ended";
}

std::string imageKind(const Image& image)
{
    switch (image.format) {
    case PixelFormat::Grey8: return "8-bit grey";
    case PixelFormat::Grey16: return "16-bit grey";
    case PixelFormat::Rgb24: return "RGB";
    }
    return "";
}

std::string verificationText(const AcquisitionResult& result)
{
    const auto& checks = result.checks;
    if (!result.filesWritten)
        return "not checked: the frames went only to the log file";
    if (!checks.available)
        return "not verifiable: " + checks.unavailable;
    std::string text = std::to_string(checks.whole) + " of " + std::to_string(result.taken) + " whole, " +
                       std::to_string(checks.inOrder) + " in order";
    if (!checks.firstProblem.empty())
        text += " (" + checks.firstProblem + ")";
    return text;
}

// Where the frames may lie on the sensor: at the region's offsets, or in the
// middle of the largest format. The second is for a region-of-interest camera
// whose auto-centre is on: it centres its window and ignores the offsets that
// the adaptor's region read reports.
std::vector<SensorOrigin> likelyOrigins(const imaqhost::DeviceRecord& device, const imaqhost::Region& region)
{
    std::vector<SensorOrigin> origins{{region.x, region.y}};
    vexcam::Size sensor;
    for (const auto& format : device.formats)
        if (const auto named = vexcam::parseFormatText(format.name)) {
            sensor.cx = std::max(sensor.cx, named->size.cx);
            sensor.cy = std::max(sensor.cy, named->size.cy);
        }
    const SensorOrigin centred{std::max(0, (sensor.cx - region.width) / 2),
                               std::max(0, (sensor.cy - region.height) / 2)};
    if (centred != origins.front())
        origins.push_back(centred);
    return origins;
}

std::string droppedText(const imaqhost::AcquisitionStats& stats, std::int64_t skippedByCamera)
{
    return std::to_string(droppedFrames(stats, skippedByCamera)) + " dropped";
}

// The times of the frames taken, in order: the run's rate figures.
std::vector<double> frameTimes(const std::vector<imaqhost::FrameMetadata>& metadata)
{
    std::vector<double> times;
    times.reserve(metadata.size());
    for (const auto& meta : metadata) times.push_back(meta.time);
    return times;
}

// The live part of the progress line: frames received, the rate over the
// last second and the losses so far.
class LiveDetail {
public:
    LiveDetail(imaqhost::VideoInput& input, ProgressBar& progress, const FrameRecorder& recorder)
        : input_(input), progress_(progress), recorder_(recorder), skippedBefore_(vexcam::framesSkipped())
    {
    }

    void frameTaken(double time)
    {
        stamps_.push_back(time);
        const auto now = std::chrono::steady_clock::now();
        // The host's counts are a snapshot with every stamp: taken only now and then.
        if (now - lastCounts_ >= std::chrono::milliseconds(200)) {
            writeRate_ = writeRate(now);
            lastCounts_ = now;
            losses_ = droppedText(input_.statistics(), vexcam::framesSkipped() - skippedBefore_);
        }
        const auto rate = recentRate(stamps_);
        const auto waiting = static_cast<std::int64_t>(recorder_.waiting()) + input_.framesAvailable();
        progress_.setDetail("received " + std::to_string(input_.framesAcquired()) + ", " +
                            (rate ? formatted("%.1f", *rate) : std::string("-")) + " frames/s, " + losses_ +
                            "; written " + std::to_string(recorder_.written()) + ", " + writeRate_ +
                            " frames/s, " + std::to_string(waiting) + " waiting");
    }

private:
    // Files per second since the last look.
    std::string writeRate(std::chrono::steady_clock::time_point now)
    {
        const std::int64_t written = recorder_.written();
        const double seconds = std::chrono::duration<double>(now - lastCounts_).count();
        std::string text = lastCounts_ == std::chrono::steady_clock::time_point{} || seconds <= 0.0
                               ? std::string("-")
                               : formatted("%.1f", static_cast<double>(written - writtenBefore_) / seconds);
        writtenBefore_ = written;
        return text;
    }

    imaqhost::VideoInput& input_;
    ProgressBar& progress_;
    const FrameRecorder& recorder_;
    std::int64_t writtenBefore_ = 0;
    std::string writeRate_ = "-";
    std::vector<double> stamps_;
    std::int64_t skippedBefore_;
    std::string losses_ = "0 dropped";
    std::chrono::steady_clock::time_point lastCounts_{};
};

// Says that the run waits for manual trigger `next`: on the progress line,
// or on standard error when there is none (a script waits for this line).
void announceWaiting(ProgressBar& progress, const EngineRequest& request, std::int64_t next, bool showProgress)
{
    const auto& trigger = request.trigger;
    const std::string of = trigger.triggerRepeat == imaqhost::kInfinite
                               ? std::string()
                               : " of " + std::to_string(trigger.triggerRepeat + 1);
    const std::string how = manualTriggerHint();
    if (showProgress) {
        progress.setDetail("waiting for trigger " + std::to_string(next) + of + " (" + how + ")");
        progress.update(request.totalFrames() && next > 1 ? (next - 1) * trigger.framesPerTrigger : 0);
        return;
    }
    std::cerr << "orximaq: waiting for trigger " << next << of << ": " << how << std::endl;
}

// Says how to push the camera's button (a script waits for this line).
void announcePushes(ProgressBar& progress, const std::string& name, bool showProgress)
{
    const std::string how = "press Enter or send SIGUSR1 to process " + std::to_string(::getpid()) + " to push " + name;
    if (showProgress)
        progress.setDetail(how);
    else
        std::cerr << "orximaq: " << how << std::endl;
}

// A push the camera refuses is told and the run goes on.
void pushButton(imaqhost::VideoInput& input, const std::string& name)
{
    try {
        input.setFromText(name, "Push");
    } catch (...) {
        std::cerr << "orximaq: --push " << name << ": " << currentFailureText() << std::endl;
    }
}

} // namespace

std::int64_t AcquisitionResult::expectedFrames() const
{
    return duration || stats.requested < 0 ? stats.received : stats.requested;
}

std::int64_t AcquisitionResult::framesKept() const
{
    return filesWritten ? static_cast<std::int64_t>(files.size()) : stats.diskWritten;
}

bool AcquisitionResult::succeeded() const
{
    return failure().empty();
}

std::string AcquisitionResult::failure() const
{
    const std::string kept = std::to_string(framesKept());
    // The adaptor's refusal is told as an early end, as it always was; other
    // refusals of the host (the log file) with the host's reason.
    if (!startError.empty() && stats.end != imaqhost::AcquisitionEnd::StartRefused)
        return "the acquisition could not start: " + startError;
    if (interrupt != 0)
        return std::string("interrupted by ") + signalName(interrupt) + " (" + kept + " frames written)";
    if (writeError)
        return *writeError + " (" + kept + " frames written before it)";
    if (log && !stats.diskError.empty())
        return "the log file " + log->path + " could not be written: " + stats.diskError + " (" +
               std::to_string(stats.diskWritten) + " frames in it)";
    if (stats.end != imaqhost::AcquisitionEnd::Completed)
        return "acquisition ended early: " + endText(stats.end) + " (" + kept + " of " +
               std::to_string(expectedFrames()) + " frames written)";
    if (framesKept() != expectedFrames())
        return "only " + kept + " of " + std::to_string(expectedFrames()) + " frames arrived";
    if (log && stats.diskWritten != stats.received)
        return "the log file " + log->path + " holds " + std::to_string(stats.diskWritten) + " of " +
               std::to_string(stats.received) + " frames";
    return {};
}

AcquisitionResult acquireInto(imaqhost::VideoInput& input, const std::filesystem::path& folder, std::int64_t frames,
                              bool showProgress, OutputFormat format, std::optional<double> duration,
                              bool testPattern, WriterSettings writers, EngineRun engine)
{
    AcquisitionResult result;
    result.folder = folder;
    result.format = format;
    result.region = input.region();
    result.duration = duration;
    result.filesWritten = engine.writeFiles;
    const EngineRequest* request = engine.request;
    if (request) {
        result.trigger = request->trigger;
        result.log = request->log;
    }
    const bool manual = request && request->manual();
    const std::int64_t total = request ? request->totalFrames().value_or(0) : frames;
    ProgressBar progress(stdout, manual ? "Acquiring (manual trigger)" : duration ? "Acquiring (timed)" : "Acquiring",
                         duration ? 0 : total, showProgress);
    FrameRecorder recorder(folder, likelyOrigins(input.device(), result.region), progress, format, testPattern,
                           writers);
    LiveDetail live(input, progress, recorder);
    BackgroundRun run;
    run.frames = duration ? imaqhost::VideoInput::kUnlimitedFrames : frames;
    if (duration)
        run.duration = std::chrono::duration<double>(*duration);
    run.mustStop = [&recorder] { return recorder.failed(); };
    std::optional<ManualTriggerRequests> triggers;
    if (request) {
        run.trigger = request->trigger;
        if (manual || request->push)
            run.triggers = &triggers.emplace();
        if (request->push) {
            run.push = [&input, name = *request->push] { pushButton(input, name); };
            announcePushes(progress, *request->push, showProgress);
        }
        run.awaiting = [&](std::int64_t next) { announceWaiting(progress, *request, next, showProgress); };
        run.idle = [&] { progress.update(engine.writeFiles ? recorder.seen() : input.framesAcquired()); };
    }
    const std::int64_t skippedBefore = vexcam::framesSkipped();
    const auto outcome = acquireInBackground(input, run, [&](const imaqhost::FrameView& frame) {
        result.metadata.push_back(frame.meta);
        if (!engine.writeFiles)
            return;
        if (showProgress)
            live.frameTaken(frame.time);
        recorder(frame);
        recorder.noteWaiting(recorder.waiting() + static_cast<std::size_t>(std::max<std::int64_t>(
                                                      input.framesAvailable(), 0)));
    });
    result.stats = outcome.stats;
    result.startError = outcome.startError;
    result.events = input.eventLog();
    result.skippedByCamera = vexcam::framesSkipped() - skippedBefore;
    result.interrupt = outcome.interrupt;
    result.statistics = runStatistics(frameTimes(result.metadata));
    progress.finish();
    recorder.finish();
    result.sidecar = recorder.sidecar();
    result.files = recorder.files();
    result.taken = recorder.seen();
    result.checks = recorder.checks();
    result.firstImage = recorder.firstImage();
    result.writeError = recorder.writeError();
    result.writeFailed = result.writeError.has_value();
    result.writing = recorder.figures();
    result.olderFrames = countOlderFrames(folder, static_cast<std::int64_t>(result.files.size()));
    return result;
}

const char* endKey(imaqhost::AcquisitionEnd end)
{
    switch (end) {
    case imaqhost::AcquisitionEnd::Completed: return "completed";
    case imaqhost::AcquisitionEnd::StartRefused: return "startRefused";
    case imaqhost::AcquisitionEnd::Timeout: return "timeout";
    case imaqhost::AcquisitionEnd::DeviceLost: return "deviceLost";
    case imaqhost::AcquisitionEnd::CaptureStopped: return "captureStopped";
    case imaqhost::AcquisitionEnd::Stopped: return "stopped";
    }
    return "";
}

namespace {

std::string joined(const std::vector<std::int64_t>& counts)
{
    std::string text;
    for (const auto count : counts)
        text += (text.empty() ? "" : ", ") + std::to_string(count);
    return text.empty() ? "none" : text;
}

// Triggers, the log file and the host's events.
void printEngine(std::ostream& out, const AcquisitionResult& result)
{
    const auto& stats = result.stats;
    if (result.trigger) {
        const auto& trigger = *result.trigger;
        out << "  triggers:         " << stats.triggersExecuted << " executed (" << imaqhost::toString(trigger.type)
            << ", " << countText(trigger.framesPerTrigger) << " frames per trigger, repeat "
            << countText(trigger.triggerRepeat) << "); frames per trigger logged: " << joined(stats.framesPerTrigger)
            << '\n';
        if (trigger.frameDelay != 0 || trigger.grabInterval != 1)
            out << "  frames left out:  " << stats.skipped << " (frame delay " << trigger.frameDelay
                << ", grab interval " << trigger.grabInterval << ")\n";
    }
    if (result.log) {
        out << "  log file:         " << result.log->path << " (" << imaqhost::toString(result.log->format) << ", "
            << stats.diskWritten << " frames written";
        if (stats.diskFailed > 0)
            out << ", " << stats.diskFailed << " failed";
        out << ")\n";
        if (!stats.diskError.empty())
            out << "  log error:        " << stats.diskError << '\n';
    }
    if (!result.events.empty()) {
        out << "  events:          ";
        for (const auto& event : result.events) {
            out << ' ' << imaqhost::toString(event.type);
            if (event.type == imaqhost::EventType::Trigger)
                out << ' ' << event.triggerIndex;
            if (!event.message.empty())
                out << " (" << event.message << ")";
        }
        out << '\n';
    }
}

Json clockJson(const imaqhost::ClockVector& clock)
{
    return Json(std::vector<double>(clock.begin(), clock.end()));
}

Json metadataJson(const std::vector<imaqhost::FrameMetadata>& metadata)
{
    Json list = Json::array();
    for (const auto& meta : metadata)
        list.push_back({{"TriggerIndex", meta.triggerIndex},
                        {"FrameNumber", meta.frameNumber},
                        {"RelativeFrame", meta.relativeFrame},
                        {"Time", meta.time},
                        {"AbsTime", clockJson(meta.absTime())}});
    return list;
}

Json eventsJson(const std::vector<imaqhost::AcquisitionEvent>& events)
{
    Json list = Json::array();
    for (const auto& event : events)
        list.push_back({{"Type", imaqhost::toString(event.type)},
                        {"Time", event.time},
                        {"AbsTime", clockJson(event.absTime)},
                        {"FrameNumber", event.frameNumber},
                        {"RelativeFrame", event.relativeFrame},
                        {"TriggerIndex", event.triggerIndex},
                        {"Message", event.message.empty() ? Json(nullptr) : Json(event.message)},
                        {"MessageId", event.messageId.empty() ? Json(nullptr) : Json(event.messageId)}});
    return list;
}

Json countJson(std::int64_t count)
{
    return count == imaqhost::kInfinite ? Json("inf") : Json(count);
}

Json triggerJson(const AcquisitionResult& result)
{
    if (!result.trigger)
        return nullptr;
    const auto& trigger = *result.trigger;
    const auto& stats = result.stats;
    return {{"type", imaqhost::toString(trigger.type)},
            {"framesPerTrigger", countJson(trigger.framesPerTrigger)},
            {"triggerRepeat", countJson(trigger.triggerRepeat)},
            {"frameDelay", trigger.frameDelay},
            {"grabInterval", trigger.grabInterval},
            {"executed", stats.triggersExecuted},
            {"framesLogged", stats.framesPerTrigger},
            {"initialTriggerTime", stats.initialTriggerTime ? clockJson(*stats.initialTriggerTime) : Json(nullptr)}};
}

Json logJson(const AcquisitionResult& result)
{
    if (!result.log)
        return nullptr;
    const auto& stats = result.stats;
    return {{"format", imaqhost::toString(result.log->format)},
            {"file", result.log->path},
            {"framesWritten", stats.diskWritten},
            {"framesFailed", stats.diskFailed},
            {"error", stats.diskError.empty() ? Json(nullptr) : Json(stats.diskError)}};
}

} // namespace

void printAcquisition(std::ostream& out, const AcquisitionResult& result)
{
    const auto& stats = result.stats;
    out << "  frames received:  " << stats.received;
    if (result.duration)
        out << " in " << formatted("%g", *result.duration) << " s (timed run)\n";
    else if (stats.requested < 0)
        out << " (no set count: until stopped)\n";
    else
        out << " of " << stats.requested << '\n';
    out
        << "  frames dropped:   " << result.dropped() << " (refused by the host " << stats.refused
        << ", overrun " << stats.overrun << ", skipped by the camera " << result.skippedByCamera << ")\n"
        << "  after the end:    " << stats.afterEnd()
        << " (delivered between the last requested frame and the stop; not a loss)\n"
        ;
    if (result.filesWritten && (result.interrupt != 0 || result.writeFailed) && stats.received > result.taken)
        out << "  not written:      " << stats.received - result.taken << " (still in the host's buffer at the "
            << (result.interrupt != 0 ? "interrupt" : "write error") << ")\n";
    out << "  frames verified:  " << verificationText(result) << '\n'
        << "  frame rate:       "
        << (stats.received >= 2 ? formatted("%.2f", stats.measuredRate) + " frames/s (measured)"
                                : std::string("not measured (fewer than two frames)"))
        << '\n';
    if (result.statistics)
        out << "  rate spread:      mean " << formatted("%.2f", result.statistics->rateMean) << " frames/s, spread "
            << formatted("%.2f", result.statistics->rateSpread) << ", longest gap "
            << formatted("%.6f", result.statistics->longestGap) << " s\n";
    if (stats.received > 0)
        out << "  time stamps:      first " << formatted("%.6f", stats.firstTime) << " s, last "
            << formatted("%.6f", stats.lastTime) << " s\n";
    if (!result.files.empty()) {
        out << "  files:            " << result.files.front().filename().string();
        if (result.files.size() > 1)
            out << " ... " << result.files.back().filename().string();
        if (result.firstImage)
            out << " (" << imageKind(*result.firstImage) << ", " << result.firstImage->width << "x"
                << result.firstImage->height << ")";
        out << " in " << result.folder.string() << '\n';
    }
    if (const auto rate = result.writing.rate())
        out << "  writing:          " << formatted("%.1f", *rate) << " files/s (" << result.writing.written
            << " in " << formatted("%.2f", result.writing.seconds) << " s), at most " << result.writing.mostWaiting
            << " frames waiting to be written\n";
    printEngine(out, result);
    if (result.sidecar)
        out << "  raw layout:       " << result.sidecar->filename().string() << '\n';
    if (result.olderFrames > 0)
        out << "  note:             " << result.folder.string() << " also holds " << result.olderFrames
            << " frame files of an earlier run\n";
    if (result.interrupt != 0)
        out << "  ended:            interrupted by " << signalName(result.interrupt)
            << "; capture stopped, every file written is whole\n";
    else if (result.writeFailed)
        out << "  ended:            a file could not be written; capture stopped, every file written is whole\n";
    else if (stats.end != imaqhost::AcquisitionEnd::Completed)
        out << "  ended:            " << endText(stats.end) << '\n';
}

Json acquisitionJson(const AcquisitionResult& result)
{
    const auto& stats = result.stats;
    Json files = Json::array();
    for (const auto& file : result.files)
        files.push_back(file.filename().string());
    Json output{{"folder", result.filesWritten ? Json(result.folder.string()) : Json(nullptr)},
                {"format", outputFormatName(result.format)},
                {"files", std::move(files)},
                {"sidecar", result.sidecar ? Json(result.sidecar->filename().string()) : Json(nullptr)}};
    if (result.firstImage) {
        output["width"] = result.firstImage->width;
        output["height"] = result.firstImage->height;
        output["bitDepth"] = bitDepth(result.firstImage->format);
        output["colour"] = result.firstImage->format == PixelFormat::Rgb24 ? "rgb" : "grey";
    }
    output["olderFrames"] = result.olderFrames;
    const auto& origin = result.checks.origin;
    Json verification{{"available", result.checks.available},
                      {"reason", result.checks.available ? Json(nullptr) : Json(result.checks.unavailable)},
                      {"origin", origin ? Json{{"x", origin->x}, {"y", origin->y}} : Json(nullptr)},
                      {"whole", result.checks.whole},
                      {"inOrder", result.checks.inOrder},
                      {"problem", result.checks.firstProblem.empty() ? Json(nullptr)
                                                                     : Json(result.checks.firstProblem)}};
    Json timestamps = stats.received > 0 ? Json{{"first", stats.firstTime}, {"last", stats.lastTime}}
                                         : Json{{"first", nullptr}, {"last", nullptr}};
    // When the host had stopped capture, on the clock of the stamps.
    timestamps["captureStopped"] = stats.endedAt;
    const auto& figures = result.statistics;
    Json statistics{{"rateMean", figures ? Json(figures->rateMean) : Json(nullptr)},
                    {"rateSpread", figures ? Json(figures->rateSpread) : Json(nullptr)},
                    {"longestGap", figures ? Json(figures->longestGap) : Json(nullptr)}};
    const bool logFailed = result.log && !stats.diskError.empty();
    const char* end = result.interrupt != 0            ? "interrupted"
                      : !result.startError.empty()     ? "startRefused"
                      : result.writeFailed || logFailed ? "write-failed"
                                                       : endKey(stats.end);
    return {{"end", end},
            {"interrupt", result.interrupt != 0 ? Json(signalName(result.interrupt)) : Json(nullptr)},
            {"duration", result.duration ? Json(*result.duration) : Json(nullptr)},
            {"statistics", std::move(statistics)},
            {"frames",
             {{"requested", result.duration || stats.requested < 0 ? Json(nullptr) : Json(stats.requested)},
              {"received", stats.received},
              {"dropped", result.dropped()},
              {"refusedByHost", stats.refused},
              {"overrun", stats.overrun},
              {"skippedByCamera", result.skippedByCamera},
              {"afterEnd", stats.afterEnd()},
              {"notWritten", result.filesWritten ? Json(stats.received - result.taken) : Json(nullptr)},
              {"leftOut", stats.skipped},
              {"list", metadataJson(result.metadata)}}},
            {"trigger", triggerJson(result)},
            {"log", logJson(result)},
            {"events", eventsJson(result.events)},
            {"verification", std::move(verification)},
            {"frameRate", stats.received >= 2 ? Json(stats.measuredRate) : Json(nullptr)},
            {"timestamps", timestamps},
            {"writing",
             {{"rate", result.writing.rate() ? Json(*result.writing.rate()) : Json(nullptr)},
              {"files", result.writing.written},
              {"seconds", result.writing.seconds},
              {"mostWaiting", result.writing.mostWaiting}}},
            {"output", std::move(output)},
            {"error", result.succeeded() ? Json(nullptr) : Json(result.failure())}};
}

} // namespace orximaq
