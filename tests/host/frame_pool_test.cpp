// Frames are recycled: once an acquisition has warmed the pool, further
// acquisitions construct no frames, and none outlives its video input.
#include "host_test.h"

#include <gtest/gtest.h>

namespace hosttest {
namespace {

class FramePoolTest : public HostTest {};

// With at most two frames in flight (the adaptor may fill the next while the
// consumer still holds the last), two frames serve any number of frames.
TEST_F(FramePoolTest, StreamingSteadyStateConstructsNoFrames)
{
    config().framePeriod = std::chrono::microseconds{0};
    config().lockstep = true;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    const auto before = imaqhost::framesConstructed();
    const auto grant = [](const imaqhost::FrameView&) { grantFrame(); };
    EXPECT_EQ(input->acquire(200, grant).received, 200);
    EXPECT_EQ(input->acquire(300, grant).received, 300);
    EXPECT_LE(imaqhost::framesConstructed() - before, 2);
    EXPECT_EQ(imaqhost::pooledFrames(), imaqhost::liveFrames());
}

// A pooled frame with enough storage serves a smaller size too.
TEST_F(FramePoolTest, StreamingSmallerFramesReuseLargerStorage)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->acquire(1);
    imaqkit::IEngine* engine = fakeOf(*input).engine();
    const auto before = imaqhost::framesConstructed();
    imaqkit::IFrame* frame = engine->makeFrame(imaqkit::kMono8, 2, 2);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(imaqhost::framesConstructed(), before);
    engine->receiveFrame(frame);
}

// A pooled frame too small for the next request stays pooled while a larger
// one is made, and each then serves a request of its size.
TEST_F(FramePoolTest, TooSmallPooledFrameStaysForLaterRequests)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    imaqkit::IEngine* engine = fakeOf(*input).engine();
    const auto before = imaqhost::framesConstructed();
    imaqkit::IFrame* small = engine->makeFrame(imaqkit::kMono8, 2, 2);
    engine->receiveFrame(small); // outside an acquisition: back to the pool
    imaqkit::IFrame* large = engine->makeFrame(imaqkit::kMono8, 64, 64);
    ASSERT_NE(large, nullptr);
    EXPECT_NE(large, small);
    EXPECT_EQ(imaqhost::pooledFrames(), 1) << "the small frame is still pooled";
    engine->receiveFrame(large);
    EXPECT_EQ(imaqhost::pooledFrames(), 2);
    EXPECT_EQ(engine->makeFrame(imaqkit::kMono8, 64, 64), large);
    EXPECT_EQ(engine->makeFrame(imaqkit::kMono8, 2, 2), small);
    EXPECT_EQ(imaqhost::framesConstructed() - before, 2);
    EXPECT_EQ(imaqhost::pooledFrames(), 0);
    engine->receiveFrame(small);
    engine->receiveFrame(large);
    engine->receiveFrame(large); // twice: counted once
    EXPECT_EQ(imaqhost::pooledFrames(), 2);
}

// The pool's spare frame survives requests it cannot serve: a bad request
// is refused without losing it, and a request of another shape leaves it
// pooled for the next request of its shape.
TEST_F(FramePoolTest, SpareFrameSurvivesRequestsItCannotServe)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    imaqkit::IEngine* engine = fakeOf(*input).engine();
    imaqkit::IFrame* frame = engine->makeFrame(imaqkit::kMono8, 4, 4);
    ASSERT_NE(frame, nullptr);
    engine->receiveFrame(frame); // outside an acquisition: back to the pool
    EXPECT_EQ(imaqhost::pooledFrames(), 1);
    struct Request {
        std::uint32_t type;
        std::int32_t width;
        std::int32_t height;
    };
    for (const auto& [type, width, height] : {Request{0x12345u, 4, 4}, Request{imaqkit::kMono8, 0, 4},
                                              Request{imaqkit::kMono8, 4, -1},
                                              Request{imaqkit::kRgb32Packed, 1 << 15, 1 << 15}}) {
        EXPECT_EQ(engine->makeFrame(type, width, height), nullptr);
        EXPECT_EQ(imaqhost::pooledFrames(), 1);
    }
    imaqkit::IFrame* again = engine->makeFrame(imaqkit::kMono8, 4, 4);
    EXPECT_EQ(again, frame);
    engine->receiveFrame(again);
}

// Whatever the adaptor did with its frames, they die with the video input:
// handed out and never returned, or resting in the pool.
TEST_F(FramePoolTest, FramesDieWithTheVideoInput)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    const auto live = imaqhost::liveFrames();
    input->acquire(3);
    imaqkit::IEngine* engine = fakeOf(*input).engine();
    ASSERT_NE(engine->makeFrame(imaqkit::kRgb24Packed, 16, 16), nullptr); // never handed back
    EXPECT_GT(imaqhost::liveFrames(), live);
    EXPECT_GT(imaqhost::pooledFrames(), 0);
    input.reset();
    EXPECT_EQ(imaqhost::liveFrames(), live);
    EXPECT_EQ(imaqhost::pooledFrames(), 0);
}

} // namespace
} // namespace hosttest
