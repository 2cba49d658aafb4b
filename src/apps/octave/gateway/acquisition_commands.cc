// The commands of the background acquisition, on the host's own engine:
// start, stop, status, the interruptible waits, taking frames, snapshots.
#include "gateway_commands.h"

#include "gateway_arguments.h"
#include "octave_frames.h"
#include "polling_wait.h"

#include "imaqhost/host_error.h"

#include <octave/ov-struct.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace orxoct {

// The counts the user sees: those of the last acquisition, which a snapshot
// does not replace.
imaqhost::AcquisitionStats countsOf(const OpenInput& open)
{
    return open.keptCounts ? *open.keptCounts : open.input->statistics();
}

// Every frame received counts, kept or not, up to the number asked for.
std::int64_t framesAcquired(const imaqhost::AcquisitionStats& stats)
{
    const std::int64_t all = stats.received + stats.overrun;
    return stats.requested > 0 ? std::min(all, stats.requested) : all;
}

// Of those, the frames the full buffer could not keep.
std::int64_t framesNotKept(const imaqhost::AcquisitionStats& stats)
{
    return framesAcquired(stats) - stats.received;
}

// The host acquires until the requested number of frames has been kept (a
// frame the full buffer refused does not count), but the user asked for
// FramesPerTrigger frames acquired, kept or not: once that many have come,
// the acquisition ends here, at the next look at it.
void endWhenAllCame(OpenInput& open)
{
    if (open.keptCounts || !open.input->isAcquisitionActive())
        return;
    const auto stats = open.input->statistics();
    if (stats.requested > 0 && stats.overrun > 0 && stats.received + stats.overrun >= stats.requested)
        open.input->stop();
}

// Frames received while the buffer was full: counted, not kept, and said so
// once the acquisition has ended (not at every read while it runs).
void reportOverrun(OpenInput& open)
{
    if (open.input->isAcquisitionActive())
        return;
    const auto stats = countsOf(open);
    const std::int64_t notKept = framesNotKept(stats);
    if (notKept <= open.overrunReported)
        return;
    open.overrunReported = notKept;
    warning_with_id("imaq:orximaq:framesNotKept",
                    "%lld of %lld frames acquired were not kept: the buffer was full (at most %zu frames, %zu "
                    "bytes). Take frames with getdata while acquiring, or raise the limit with imaqmem.",
                    static_cast<long long>(notKept), static_cast<long long>(framesAcquired(stats)),
                    stats.bufferLimitFrames, stats.bufferLimitBytes);
}

std::string endReason(const imaqhost::AcquisitionStats& stats)
{
    switch (stats.end) {
    case imaqhost::AcquisitionEnd::Completed:
    case imaqhost::AcquisitionEnd::Stopped:
        return {};
    case imaqhost::AcquisitionEnd::DeviceLost:
        return "the device was lost";
    default:
        return imaqhost::toString(stats.end);
    }
}

octave_value_list startCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    const imaqhost::TriggerSettings settings = triggerSettingsArgs(call.args, 2);
    if (open.input->isAcquisitionActive())
        fail("imaq:orximaq:hostError", "The object is already running; stop it first.");
    if (countsOf(open).end == imaqhost::AcquisitionEnd::DeviceLost)
        fail("imaq:orximaq:deviceLost", "The device '" + open.input->device().name + "' (ID " +
                                            std::to_string(open.input->device().id) +
                                            ") was lost: delete this object and open the device again.");
    open.input->setTriggerSettings(settings);
    open.input->start();
    open.keptCounts.reset();
    open.overrunReported = 0;
    return octave_value();
}

octave_value_list stopCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    open.input->stop();
    reportOverrun(open);
    return octave_value();
}

octave_value_list statusCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    endWhenAllCame(open);
    const auto stats = countsOf(open);
    const bool logging = open.input->isAcquisitionActive();
    octave_scalar_map status;
    status.assign("Running", logging);
    status.assign("Logging", logging);
    status.assign("FramesAcquired", static_cast<double>(framesAcquired(stats)));
    status.assign("FramesAvailable", static_cast<double>(open.input->framesAvailable()));
    status.assign("FramesNotKept", static_cast<double>(framesNotKept(stats)));
    status.assign("BufferFrames", static_cast<double>(stats.bufferLimitFrames));
    status.assign("BufferBytes", static_cast<double>(stats.bufferLimitBytes));
    status.assign("EndReason", endReason(stats));
    status.assign("DiskLoggerFrameCount", static_cast<double>(open.input->diskLoggerFrameCount()));
    status.assign("DiskError", stats.diskError);
    reportOverrun(open);
    return octave_value(status);
}

octave_value_list waitCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    const double seconds = call.args.length() > 2 ? orxoct::secondsArg(call.args, 2, "The timeout") : 10.0;
    const bool ended = orxoct::pollUntil(
        [&](auto slice) {
            endWhenAllCame(open);
            return open.input->wait(slice);
        },
        orxoct::deadlineOf(seconds), checkInterrupt);
    reportOverrun(open);
    return octave_value(ended);
}

// Waits until `frames` frames are buffered or the acquisition has ended.
void awaitFrames(OpenInput& open, std::int64_t frames, double seconds)
{
    orxoct::pollUntil(
        [&](auto slice) {
            endWhenAllCame(open);
            return open.input->framesAvailable() >= frames || open.input->wait(slice);
        },
        orxoct::deadlineOf(seconds), checkInterrupt);
}

std::int64_t frameCountArg(const Call& call)
{
    return orxoct::wholeArg(call.args, 2, "The number of frames", 1);
}

octave_value_list getDataCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    const std::int64_t frames = frameCountArg(call);
    const double seconds = call.args.length() > 3 ? orxoct::secondsArg(call.args, 3, "The timeout") : 10.0;
    const auto stats = countsOf(open);
    if (static_cast<std::size_t>(frames) > stats.bufferLimitFrames)
        fail("imaq:orximaq:invalidArgument", std::to_string(frames) + " frames were asked for; the buffer holds at most " +
                                                 std::to_string(stats.bufferLimitFrames) + ".");
    awaitFrames(open, frames, seconds);
    reportOverrun(open);
    return orxoct::removeFrames(*open.input, frames, call.nargout);
}

octave_value_list peekDataCommand(const Call& call)
{
    return orxoct::peekFrames(inputArg(call), frameCountArg(call), call.nargout);
}

// "0.5", "10", "Inf": seconds as the user wrote them.
std::string secondsText(double seconds)
{
    std::ostringstream text;
    text << seconds;
    return std::isinf(seconds) ? std::string("Inf") : text.str();
}

// One frame while an acquisition runs: the next one it logs, left in the buffer.
octave_value_list snapshotWhileRunning(imaqhost::VideoInput& input, double seconds, int nargout)
{
    const std::int64_t seen = input.statistics().received;
    orxoct::pollUntil([&](auto slice) { return input.statistics().received > seen || input.wait(slice); },
                      orxoct::deadlineOf(seconds), checkInterrupt);
    if (input.statistics().received <= seen || input.framesAvailable() == 0)
        fail("imaq:getsnapshot:noFrame", "No frame arrived for the snapshot within " + secondsText(seconds) + " s.");
    return orxoct::peekFrames(input, 1, nargout);
}

// One frame acquired on its own; the counts of the last acquisition stay
// what the user sees. Interrupted or timed out, the capture is stopped.
octave_value_list snapshotAlone(OpenInput& open, double seconds, int nargout)
{
    imaqhost::VideoInput& input = *open.input;
    if (input.framesAvailable() > 0)
        fail("imaq:getsnapshot:framesBuffered",
             std::to_string(input.framesAvailable()) +
                 " frames wait in the buffer and a snapshot would discard them: take them with getdata or "
                 "discard them with flushdata first.");
    const auto kept = countsOf(open);
    if (!open.keptCounts)
        open.keptEvents = input.eventLog();
    input.start(1);
    open.keptCounts = kept;
    try {
        orxoct::pollUntil([&](auto slice) { return input.wait(slice); }, orxoct::deadlineOf(seconds),
                          checkInterrupt);
    } catch (...) {
        input.stop();
        input.flushData();
        input.takeNotifications();
        throw;
    }
    if (input.framesAvailable() == 0) {
        input.stop();
        input.flushData();
        input.takeNotifications();
        const std::string reason = endReason(input.statistics());
        fail("imaq:getsnapshot:noFrame",
             "No frame for the snapshot: " +
                 (reason.empty() ? "none arrived within " + secondsText(seconds) + " s" : reason) + ".");
    }
    // A snapshot is no acquisition of the user's: no callbacks for it.
    input.takeNotifications();
    return orxoct::removeFrames(input, 1, nargout);
}

octave_value_list snapshotCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    const double seconds = call.args.length() > 2 ? orxoct::secondsArg(call.args, 2, "The timeout") : 10.0;
    if (open.input->isAcquisitionActive())
        return snapshotWhileRunning(*open.input, seconds, call.nargout);
    return snapshotAlone(open, seconds, call.nargout);
}

octave_value_list flushCommand(const Call& call)
{
    inputArg(call).flushData();
    return octave_value();
}

// bufferlimit(handle[, frames, bytes]): the buffer's bounds.
octave_value_list bufferLimitCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    if (call.args.length() > 2) {
        const double frames = orxoct::wholeArg(call.args, 2, "The frame limit", 1);
        const double bytes = orxoct::numberArg(call.args, 3, "The byte limit");
        if (!(bytes >= 1 && bytes == std::floor(bytes) && bytes < 9.0e18))
            fail("imaq:orximaq:invalidArgument", "The byte limit must be a whole number of at least 1.");
        input.setBufferLimit(static_cast<std::size_t>(frames), static_cast<std::size_t>(bytes));
    }
    const auto stats = input.statistics();
    RowVector out(2);
    out(0) = static_cast<double>(stats.bufferLimitFrames);
    out(1) = static_cast<double>(stats.bufferLimitBytes);
    return octave_value(out);
}

} // namespace orxoct
