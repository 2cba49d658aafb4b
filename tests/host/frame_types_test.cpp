// The one frame-type table: pixel sizes for every type the host knows, 0 for
// any other, and the engine making frames only of the camera's types.
#include "host_test.h"
#include "imaqhost/frame_types.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class FrameTypes : public hosttest::HostTest {};

TEST_F(FrameTypes, EveryKnownTypeHasItsPixelSize)
{
    EXPECT_EQ(imaqhost::bytesPerPixel(imaqkit::kMono8), 1);
    EXPECT_EQ(imaqhost::bytesPerPixel(imaqkit::kMono16), 2);
    EXPECT_EQ(imaqhost::bytesPerPixel(imaqkit::kRgb24Packed), 3);
    EXPECT_EQ(imaqhost::bytesPerPixel(imaqkit::kRgb32Packed), 4);
    EXPECT_EQ(imaqhost::bytesPerPixel(imaqhost::kHostRgb48), 6);
    EXPECT_EQ(imaqhost::bytesPerPixel(imaqhost::kHostYCbCr24), 3);
    EXPECT_EQ(imaqhost::bytesPerPixel(imaqhost::kHostYCbCr48), 6);
}

TEST_F(FrameTypes, TypesAreListedOnce)
{
    std::set<std::uint32_t> seen;
    for (const auto& known : imaqhost::kFrameTypes) EXPECT_TRUE(seen.insert(known.frameType).second) << known.frameType;
}

// An unknown type has no size: a front-end must refuse it rather than guess.
TEST_F(FrameTypes, UnknownTypesHaveNoSize)
{
    for (const std::uint32_t unknown : {0u, 0xffffffffu, imaqkit::kMono8 + 1u, 0x7f030001u, 0x7f030005u}) {
        EXPECT_EQ(imaqhost::bytesPerPixel(unknown), 0) << unknown;
        EXPECT_EQ(imaqhost::cameraBytesPerPixel(unknown), 0) << unknown;
    }
}

// The engine makes frames of the camera's types only; the host's own types
// come out of its colour conversion.
TEST_F(FrameTypes, OnlyCameraTypesMakeEngineFrames)
{
    imaqhost::Session session(hosttest::fakeEntryPoints());
    auto input = openFake(session);
    input->acquire(1);
    imaqkit::IEngine* engine = fakeOf(*input).engine();
    for (const auto& known : imaqhost::kFrameTypes) {
        imaqkit::IFrame* frame = engine->makeFrame(known.frameType, 2, 2);
        EXPECT_EQ(frame != nullptr, known.fromCamera) << known.frameType;
        if (frame) engine->receiveFrame(frame);
    }
    EXPECT_EQ(engine->makeFrame(0x7f030001u, 2, 2), nullptr);
}

} // namespace
