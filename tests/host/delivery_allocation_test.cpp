// A streaming acquisition in its steady state allocates nothing per frame,
// on the delivery thread or the consumer's: this program counts every
// operator new of the process (the host library's included, where the
// platform lets a program replace it for its libraries).
#include "host_test.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

std::atomic<std::int64_t> gAllocations{0};

void* counted(std::size_t bytes)
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(bytes ? bytes : 1);
}

} // namespace

[[gnu::noinline]] void* operator new(std::size_t bytes)
{
    if (void* block = counted(bytes)) return block;
    throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new[](std::size_t bytes)
{
    return operator new(bytes);
}
[[gnu::noinline]] void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept
{
    return counted(bytes);
}
[[gnu::noinline]] void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept
{
    return counted(bytes);
}
[[gnu::noinline]] void operator delete(void* block) noexcept
{
    std::free(block);
}
[[gnu::noinline]] void operator delete[](void* block) noexcept
{
    std::free(block);
}
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
[[gnu::noinline]] void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace hosttest {
namespace {

class DeliveryAllocationTest : public HostTest {
protected:
    // An acquisition of `frames` with one frame in flight at a time: the
    // adaptor sends the next frame once the consumer has the last. It
    // starts from exactly one grant and its last frame grants none.
    static imaqhost::AcquisitionStats acquireInLockstep(imaqhost::VideoInput& input, std::int64_t frames,
                                                        const imaqhost::FrameConsumer& consumer = {})
    {
        {
            std::lock_guard lock(log().mutex);
            log().grants = 1;
        }
        return input.acquire(frames, [&](const imaqhost::FrameView& frame) {
            if (consumer) consumer(frame);
            if (frame.index + 1 < frames) grantFrame();
        });
    }

    // The host's pool grows to the most frames ever in flight at once, two
    // here (the consumer holds one while the adaptor fills the next); how
    // soon it gets there depends on the threads' timing, so it is grown
    // up front.
    static void poolTwoFrames(imaqhost::VideoInput& input)
    {
        imaqkit::IEngine* engine = fakeOf(input).engine();
        imaqkit::IFrame* first = engine->makeFrame(config().frameType, config().width, config().height);
        imaqkit::IFrame* second = engine->makeFrame(config().frameType, config().width, config().height);
        engine->receiveFrame(first);
        engine->receiveFrame(second);
    }

    // Operator new calls between the consumer's frame `from` and its last
    // but one. The last is left out: once it is logged, the host ends the
    // capture on its control thread (stopping the adaptor, recording the
    // Stop event), work of the acquisition and not of a frame.
    static std::int64_t allocationsWhileStreaming(imaqhost::VideoInput& input, std::int64_t frames,
                                                  std::int64_t from)
    {
        std::vector<std::int64_t> seen;
        seen.reserve(static_cast<std::size_t>(frames));
        const auto stats = acquireInLockstep(input, frames, [&](const imaqhost::FrameView&) { seen.push_back(gAllocations.load()); });
        EXPECT_EQ(stats.received, frames);
        if (seen.size() != static_cast<std::size_t>(frames)) return -1;
        return seen[seen.size() - 2] - seen[static_cast<std::size_t>(from)];
    }
};

// Frames logged into the buffer, counted, metadata and clock vectors made
// for the consumer, the buffer's frames returned to the pool: no allocation
// once the pool and the buffer have grown to what the stream needs.
TEST_F(DeliveryAllocationTest, StreamingSteadyStateAllocatesNothingPerFrame)
{
    config().framePeriod = std::chrono::microseconds{0};
    config().lockstep = true;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    poolTwoFrames(*input);
    acquireInLockstep(*input, 4);
    EXPECT_EQ(allocationsWhileStreaming(*input, 200, 2), 0);
}

// The same with a FramesAcquired notification queued for every frame, a host
// crop and a colour conversion on the way out.
TEST_F(DeliveryAllocationTest, StreamingWithNotificationsCropAndColourAllocatesNothingPerFrame)
{
    config().framePeriod = std::chrono::microseconds{0};
    config().lockstep = true;
    config().frameType = imaqkit::kRgb24Packed;
    config().hardwareRegion = false;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setRegion({1, 1, 4, 3});
    input->setColorSpace(imaqhost::ColorSpace::Grayscale);
    input->setNotifications({1, 0.0});
    poolTwoFrames(*input);
    std::int32_t width = 0;
    const auto warmUp = acquireInLockstep(*input, 300, [&](const imaqhost::FrameView& frame) { width = frame.width; });
    EXPECT_EQ(warmUp.received, 300);
    EXPECT_EQ(width, 4) << "the host crops";
    EXPECT_GE(input->takeNotifications().size(), 300u);
    EXPECT_EQ(allocationsWhileStreaming(*input, 200, 2), 0);
    EXPECT_GE(input->takeNotifications().size(), 200u);
}

} // namespace
} // namespace hosttest
