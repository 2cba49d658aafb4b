#include "frame_pool.h"

#include "frame_counters.h"

#include <algorithm>

namespace imaqhost {

namespace {

// A larger request is refused rather than attempted.
constexpr std::int64_t kMaxFrameBytes = std::int64_t{1} << 30;

// Pool capacity reserved up front, so that returning frames never allocates.
constexpr std::size_t kReservedFrames = 64;

} // namespace

FramePool::FramePool()
{
    frames_.reserve(kReservedFrames);
    pooled_.reserve(kReservedFrames);
}

FramePool::~FramePool()
{
    frameCounters().pooled -= static_cast<std::int64_t>(pooled_.size() + (spare_.load() ? 1 : 0));
}

Frame* FramePool::takeOther(Frame* spare, std::uint32_t frameType, std::int32_t width, std::int32_t height)
{
    const std::int64_t bpp = bytesPerPixelOf(frameType);
    const std::int64_t bytes = std::int64_t{width} * height * bpp;
    if (bpp == 0 || width <= 0 || height <= 0 || bytes > kMaxFrameBytes) {
        if (spare && !parkSpare(spare)) parkInList(spare); // still pooled: back where it was
        return nullptr;
    }
    if (spare && spare->capacity() >= static_cast<std::size_t>(bytes)) {
        --frameCounters().pooled;
        spare->configure(frameType, width, height);
        return handOut(spare);
    }
    std::lock_guard lock(mutex_);
    if (spare) pooled_.push_back(spare); // too small: among the others
    // Prefer a pooled frame whose storage is already large enough.
    auto fits = std::find_if(pooled_.rbegin(), pooled_.rend(), [&](const Frame* frame) {
        return frame->capacity() >= static_cast<std::size_t>(bytes);
    });
    Frame* frame = nullptr;
    if (fits != pooled_.rend()) {
        frame = *fits;
        pooled_.erase(std::next(fits).base());
        --frameCounters().pooled;
    } else {
        frames_.push_back(std::make_unique<Frame>());
        frame = frames_.back().get();
        // Keep room for every frame in the pool list.
        if (pooled_.capacity() < frames_.size()) pooled_.reserve(frames_.capacity());
    }
    frame->configure(frameType, width, height);
    return handOut(frame);
}

Frame* FramePool::findOwn(const imaqkit::IFrame* frame) const
{
    for (const auto& own : frames_)
        if (own.get() == frame) return own.get();
    return nullptr;
}

Frame* FramePool::receiveOther(imaqkit::IFrame* frame)
{
    std::lock_guard lock(mutex_);
    Frame* own = findOwn(frame);
    if (!own || own->state != Frame::State::HandedOut) return nullptr;
    own->state = Frame::State::Received;
    return own;
}

void FramePool::parkInList(Frame* frame)
{
    std::lock_guard lock(mutex_);
    pooled_.push_back(frame);
}

void FramePool::recycle(const std::vector<Frame*>& frames)
{
    std::unique_lock lock(mutex_, std::defer_lock);
    for (Frame* frame : frames) {
        if (!markPooled(frame) || parkSpare(frame)) continue;
        if (!lock.owns_lock()) lock.lock();
        pooled_.push_back(frame);
    }
}

std::size_t FramePool::frameCount() const
{
    std::lock_guard lock(mutex_);
    return frames_.size();
}

std::size_t FramePool::pooledCount() const
{
    std::lock_guard lock(mutex_);
    return pooled_.size() + (spare_.load() ? 1 : 0);
}

} // namespace imaqhost
