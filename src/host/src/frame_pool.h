// The frames of one engine. A frame handed back after use waits in the pool
// for the next makeFrame, so that a running acquisition allocates nothing.
// The pool owns every frame it ever made: whatever the adaptor did with a
// frame, it is gone when the pool is.
#pragma once

#include "frame.h"
#include "frame_counters.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace imaqhost {

class FramePool {
public:
    FramePool();
    ~FramePool();
    FramePool(const FramePool&) = delete;
    FramePool& operator=(const FramePool&) = delete;

    // A frame of that type and size, marked handed out; null for an unknown
    // type, a size that is not positive or too large.
    Frame* take(std::uint32_t frameType, std::int32_t width, std::int32_t height)
    {
        Frame* spare = spare_.exchange(nullptr);
        // A stream asks for the shape it asked for last: that frame was checked then.
        if (spare && spare->hasShape(frameType, width, height)) {
            --frameCounters().pooled;
            spare->clearTime();
            return handOut(spare);
        }
        return takeOther(spare, frameType, width, height);
    }
    // The pool's frame behind `frame` if it is handed out; it becomes Received.
    Frame* receive(imaqkit::IFrame* frame)
    {
        // Usually the frame handed out last, known to be this pool's.
        Frame* last = lastHandedOut_.load(std::memory_order_acquire);
        if (!frame || frame != static_cast<imaqkit::IFrame*>(last)) return receiveOther(frame);
        auto handedOut = Frame::State::HandedOut;
        return last->state.compare_exchange_strong(handedOut, Frame::State::Received) ? last : nullptr;
    }
    void recycle(Frame* frame)
    {
        if (markPooled(frame) && !parkSpare(frame)) parkInList(frame);
    }
    // The same for every frame of the list, under one lock at most.
    void recycle(const std::vector<Frame*>& frames);

    std::size_t frameCount() const;
    std::size_t pooledCount() const;

private:
    Frame* findOwn(const imaqkit::IFrame* frame) const;
    // Marks a frame of the right shape handed out.
    Frame* handOut(Frame* frame)
    {
        frame->state.store(Frame::State::HandedOut, std::memory_order_release);
        lastHandedOut_.store(frame, std::memory_order_release);
        return frame;
    }
    // take for any other request; `spare` is the spare slot's frame, if any.
    Frame* takeOther(Frame* spare, std::uint32_t frameType, std::int32_t width, std::int32_t height);
    Frame* receiveOther(imaqkit::IFrame* frame);
    // Marks a returning frame pooled; false when it already was (a frame
    // returned twice counts once).
    static bool markPooled(Frame* frame) noexcept
    {
        if (!frame || frame->state.exchange(Frame::State::Pooled) == Frame::State::Pooled) return false;
        ++frameCounters().pooled;
        return true;
    }
    // Parks a pooled frame in the spare slot if it is free.
    bool parkSpare(Frame* frame) noexcept
    {
        Frame* empty = nullptr;
        return spare_.compare_exchange_strong(empty, frame);
    }
    void parkInList(Frame* frame);

    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<Frame>> frames_;
    std::vector<Frame*> pooled_;
    // The frame take handed out last: the one an adaptor usually hands
    // back next, known to be this pool's without a look through frames_.
    std::atomic<Frame*> lastHandedOut_{nullptr};
    // The frame returned last while the slot was free: a stream that
    // returns each frame before it needs the next takes and returns it
    // here, without the lock; every other pooled frame is in pooled_.
    std::atomic<Frame*> spare_{nullptr};
};

} // namespace imaqhost
