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
            input_.start(run_.frames);
        } catch (const imaqhost::HostError&) {
            // The host keeps why it did not start (the adaptor refused).
            return {input_.statistics(), 0};
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
            if (input_.wait(kPollStep))
                break;
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
        BackgroundOutcome outcome{input_.statistics(), 0};
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
        return BackgroundOutcome{input_.statistics(), signal, stop};
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
};

} // namespace

BackgroundOutcome acquireInBackground(imaqhost::VideoInput& input, const BackgroundRun& run,
                                      const imaqhost::FrameConsumer& consumer, const FrameTaken& taken)
{
    return BackgroundLoop(input, run, consumer, taken)();
}

} // namespace orximaq
