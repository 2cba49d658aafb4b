#include "background_acquisition.h"

#include "interrupts.h"

#include "imaqhost/host_error.h"

namespace orximaq {
namespace {

using PollClock = std::chrono::steady_clock;

// How long the loop waits for news before it looks at the interrupt flag again.
constexpr std::chrono::milliseconds kPollStep{10};

class BackgroundLoop {
public:
    BackgroundLoop(imaqhost::VideoInput& input, const BackgroundRun& run, const imaqhost::FrameConsumer& consumer,
         const FrameTaken& taken)
        : input_(input), run_(run), consumer_(consumer), taken_(taken)
    {
    }

    BackgroundOutcome operator()()
    {
        try {
            if (run_.trigger) {
                input_.setTriggerSettings(*run_.trigger);
                input_.start();
            } else {
                input_.start(run_.frames);
            }
        } catch (const imaqhost::HostError& error) {
            // The host keeps why it did not start (the adaptor refused).
            BackgroundOutcome outcome{input_.statistics(), 0, false, {}};
            outcome.startError = error.what();
            return outcome;
        }
        const auto started = PollClock::now();
        lastFrame_ = started;
        std::optional<imaqhost::AcquisitionEnd> end;
        for (;;) {
            if (const auto outcome = cutShort(true))
                return *outcome;
            const auto now = PollClock::now();
            if (run_.duration && now - started >= *run_.duration) {
                input_.stop();
                end = imaqhost::AcquisitionEnd::Completed; // a timed run ends by its deadline
                break;
            }
            if (input_.framesAvailable() > 0) {
                takeOne();
                continue;
            }
            serveTrigger();
            servePush();
            if (run_.idle)
                run_.idle();
            if (input_.wait(kPollStep))
                break;
            noteLogged();
            if (PollClock::now() - lastFrame_ >= run_.idleTimeout) {
                input_.stop();
                end = imaqhost::AcquisitionEnd::Timeout;
                break;
            }
        }
        // Capture has ended: the frames logged before it are still to be written.
        while (input_.framesAvailable() > 0) {
            if (const auto outcome = cutShort(false))
                return *outcome;
            takeOne();
        }
        BackgroundOutcome outcome{input_.statistics(), 0, false, {}};
        if (end)
            outcome.stats.end = *end;
        return outcome;
    }

private:
    // After a signal or a stop request: capture stopped (when still running)
    // and the frames in the buffer dropped.
    std::optional<BackgroundOutcome> cutShort(bool capturing)
    {
        const int signal = pendingInterrupt();
        const bool stop = signal == 0 && run_.mustStop && run_.mustStop();
        if (signal == 0 && !stop)
            return std::nullopt;
        if (capturing)
            input_.stop();
        input_.flushData();
        return BackgroundOutcome{input_.statistics(), signal, stop, {}};
    }

    // Fires a manual trigger when one is asked for and the last one has
    // logged its frames; while waiting for one, no frame is late.
    void serveTrigger()
    {
        if (!run_.trigger || run_.trigger->type != imaqhost::TriggerType::Manual || !awaitingTrigger())
            return;
        lastFrame_ = PollClock::now();
        const std::int64_t next = input_.triggersExecuted() + 1;
        if (next != announced_) {
            announced_ = next;
            if (run_.awaiting)
                run_.awaiting(next);
        }
        if (run_.triggers == nullptr || !run_.triggers->take())
            return;
        try {
            input_.trigger();
        } catch (const imaqhost::HostError&) {
            // The acquisition ended meanwhile: the loop sees it next.
        }
    }

    // Passes each request on to the camera, whose frames come when it likes.
    void servePush()
    {
        if (!run_.push || run_.triggers == nullptr)
            return;
        lastFrame_ = PollClock::now();
        if (run_.triggers->take())
            run_.push();
    }

    bool awaitingTrigger() const
    {
        const std::int64_t fired = input_.triggersExecuted();
        const std::int64_t perTrigger = run_.trigger->framesPerTrigger;
        const std::int64_t repeat = run_.trigger->triggerRepeat;
        if (repeat != imaqhost::kInfinite && fired > repeat)
            return false; // the last trigger fired: the run ends by itself
        if (perTrigger == imaqhost::kInfinite)
            return fired == 0;
        return input_.framesAcquired() >= fired * perTrigger;
    }

    // Frames logged (also those only written to a log file) keep the run alive.
    void noteLogged()
    {
        const std::int64_t logged = input_.framesAcquired();
        if (logged != logged_) {
            logged_ = logged;
            lastFrame_ = PollClock::now();
        }
    }

    void takeOne()
    {
        input_.getData(1, consumer_);
        lastFrame_ = PollClock::now();
        ++taken_count_;
        if (taken_)
            taken_(taken_count_);
    }

    imaqhost::VideoInput& input_;
    const BackgroundRun& run_;
    const imaqhost::FrameConsumer& consumer_;
    const FrameTaken& taken_;
    PollClock::time_point lastFrame_;
    std::int64_t taken_count_ = 0;
    std::int64_t logged_ = 0;
    std::int64_t announced_ = 0; // the manual trigger last announced as awaited
};

} // namespace

BackgroundOutcome acquireInBackground(imaqhost::VideoInput& input, const BackgroundRun& run,
                                      const imaqhost::FrameConsumer& consumer, const FrameTaken& taken)
{
    return BackgroundLoop(input, run, consumer, taken)();
}

} // namespace orximaq
