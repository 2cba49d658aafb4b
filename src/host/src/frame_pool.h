// The frames of one engine. A frame handed back after use waits in the pool
// for the next makeFrame, so that a running acquisition allocates nothing.
// The pool owns every frame it ever made: whatever the adaptor did with a
// frame, it is gone when the pool is.
#pragma once

#include "frame.h"

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
    Frame* take(std::uint32_t frameType, std::int32_t width, std::int32_t height);
    // The pool's frame behind `frame` if it is handed out; it becomes Received.
    Frame* receive(imaqkit::IFrame* frame);
    void recycle(Frame* frame);
    // The same for every frame of the list, under one lock at most.
    void recycle(const std::vector<Frame*>& frames);

    std::size_t frameCount() const;
    std::size_t pooledCount() const;

private:
    Frame* findOwn(const imaqkit::IFrame* frame) const;
    Frame* handOut(Frame* frame, std::uint32_t frameType, std::int32_t width, std::int32_t height);
    // Parks the frame in the spare slot, or in the list under `lock`
    // (taken here when needed).
    void recycleOne(Frame* frame, std::unique_lock<std::mutex>& lock);

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
