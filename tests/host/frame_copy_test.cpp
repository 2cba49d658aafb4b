// Frame copy: the frame-sized window at (x, y) of the source, by the pixel
// layout of each frame type; parts outside the source are never read and
// come out cleared.
#include "host_test.h"
#include "imaqhost/testing/video_input_inspector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace hosttest {
namespace {

struct Layout {
    const char* name;
    std::uint32_t frameType;
    int bytesPerPixel;
};

class FrameCopyTest : public HostTest, public ::testing::WithParamInterface<Layout> {
protected:
    static constexpr std::int32_t kSourceWidth = 10;
    static constexpr std::int32_t kSourceHeight = 7;

    // Every byte of the source tells its position: no two pixels alike.
    static std::vector<std::uint8_t> sourceImage(int bpp)
    {
        std::vector<std::uint8_t> image(kSourceWidth * kSourceHeight * bpp);
        for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i + 1);
        return image;
    }

    // The frame the host should hold for a window at (x, y) of size w x h.
    static std::vector<std::uint8_t> expectedWindow(const std::vector<std::uint8_t>& source,
                                                    int bpp, int x, int y, int w, int h)
    {
        std::vector<std::uint8_t> window(static_cast<std::size_t>(w * h * bpp), 0);
        for (int row = 0; row < h; ++row)
            for (int column = 0; column < w; ++column) {
                const int sx = x + column;
                const int sy = y + row;
                if (sx < 0 || sy < 0 || sx >= kSourceWidth || sy >= kSourceHeight) continue;
                for (int b = 0; b < bpp; ++b)
                    window[static_cast<std::size_t>((row * w + column) * bpp + b)] =
                        source[static_cast<std::size_t>((sy * kSourceWidth + sx) * bpp + b)];
            }
        return window;
    }

    // One frame of w x h copied from (x, y); the pixels the consumer saw.
    std::vector<std::uint8_t> copyOneFrame(int x, int y, int w, int h)
    {
        config().frameType = GetParam().frameType;
        config().width = w;
        config().height = h;
        config().source = sourceImage(GetParam().bytesPerPixel);
        config().sourceWidth = kSourceWidth;
        config().sourceHeight = kSourceHeight;
        config().x = x;
        config().y = y;
        imaqhost::Session session(fakeEntryPoints());
        auto input = openFake(session);
        std::vector<std::uint8_t> pixels;
        const auto stats = input->acquire(1, [&](const imaqhost::FrameView& frame) {
            EXPECT_EQ(frame.frameType, GetParam().frameType);
            EXPECT_EQ(frame.width, w);
            EXPECT_EQ(frame.height, h);
            EXPECT_EQ(frame.bytesPerPixel, GetParam().bytesPerPixel);
            EXPECT_EQ(frame.bytes, static_cast<std::size_t>(w * h * GetParam().bytesPerPixel));
            pixels.assign(frame.pixels, frame.pixels + frame.bytes);
        });
        EXPECT_EQ(stats.end, imaqhost::AcquisitionEnd::Completed);
        return pixels;
    }

    void expectWindow(int x, int y, int w, int h)
    {
        const int bpp = GetParam().bytesPerPixel;
        EXPECT_EQ(copyOneFrame(x, y, w, h), expectedWindow(sourceImage(bpp), bpp, x, y, w, h))
            << "window at " << x << "," << y << " of " << w << "x" << h;
    }
};

TEST_P(FrameCopyTest, WholeSourceIsCopiedAsIs)
{
    expectWindow(0, 0, kSourceWidth, kSourceHeight);
}

TEST_P(FrameCopyTest, WindowAtAnOffsetTakesThoseRowsAndColumns)
{
    expectWindow(3, 2, 4, 3);
    expectWindow(6, 4, 4, 3); // touches the bottom-right corner exactly
}

// Windows that leave the source on any side: only the overlap is copied.
TEST_P(FrameCopyTest, WindowBeyondTheSourceCopiesOnlyTheOverlap)
{
    expectWindow(8, 5, 4, 4);   // right and bottom
    expectWindow(-2, -3, 5, 5); // left and top
    expectWindow(-1, 1, 12, 3); // wider than the source
}

// Windows of the source's full width take whole rows, also when rows are missing above or below.
TEST_P(FrameCopyTest, FullWidthWindowTakesWholeRows)
{
    expectWindow(0, 2, kSourceWidth, 3);
    expectWindow(0, 5, kSourceWidth, 4);  // past the bottom
    expectWindow(0, -2, kSourceWidth, 4); // above the top
    expectWindow(0, -1, kSourceWidth, 9); // both
}

TEST_P(FrameCopyTest, WindowOutsideTheSourceIsCleared)
{
    const int bpp = GetParam().bytesPerPixel;
    const std::vector<std::uint8_t> cleared(static_cast<std::size_t>(4 * 3 * bpp), 0);
    EXPECT_EQ(copyOneFrame(kSourceWidth, 0, 4, 3), cleared);
    EXPECT_EQ(copyOneFrame(0, -3, 4, 3), cleared);
    EXPECT_EQ(copyOneFrame(-2147483647 - 1, 2147483647, 4, 3), cleared);
    const std::vector<std::uint8_t> clearedRows(static_cast<std::size_t>(kSourceWidth * 3 * bpp), 0);
    EXPECT_EQ(copyOneFrame(0, 2147483647, kSourceWidth, 3), clearedRows);
    EXPECT_EQ(copyOneFrame(0, -2147483647 - 1, kSourceWidth, 3), clearedRows);
}

INSTANTIATE_TEST_SUITE_P(Layouts, FrameCopyTest,
                         ::testing::Values(Layout{"Mono8", imaqkit::kMono8, 1},
                                           Layout{"Mono16", imaqkit::kMono16, 2},
                                           Layout{"Rgb24", imaqkit::kRgb24Packed, 3},
                                           Layout{"Rgb32", imaqkit::kRgb32Packed, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

// A frame of several hundred kilobytes, copied in pieces, arrives whole and in place.
TEST_F(HostTest, LargeFullWidthWindowArrivesWhole)
{
    constexpr std::int32_t kWidth = 700, kHeight = 400, kSourceHeight = 450, kY = 30;
    std::vector<std::uint8_t> source(static_cast<std::size_t>(kWidth * kSourceHeight));
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    config().frameType = imaqkit::kMono8;
    config().width = kWidth;
    config().height = kHeight;
    config().source = source;
    config().sourceWidth = kWidth;
    config().sourceHeight = kSourceHeight;
    config().y = kY;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    bool same = false;
    input->acquire(1, [&](const imaqhost::FrameView& frame) {
        same = frame.bytes == std::size_t{kWidth} * kHeight &&
               std::equal(frame.pixels, frame.pixels + frame.bytes, source.begin() + kY * kWidth);
    });
    EXPECT_TRUE(same);
}

// makeFrame refuses what it cannot make; a frame handed back outside an
// acquisition returns to the pool.
TEST_F(HostTest, MakeFrameRefusesUnknownTypesAndImpossibleSizes)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    imaqkit::IEngine* engine = fakeOf(*input).engine();
    EXPECT_EQ(engine->makeFrame(0x12345678u, 4, 4), nullptr);
    EXPECT_EQ(engine->makeFrame(imaqkit::kMono8, 0, 4), nullptr);
    EXPECT_EQ(engine->makeFrame(imaqkit::kMono8, 4, -1), nullptr);
    EXPECT_EQ(engine->makeFrame(imaqkit::kRgb32Packed, 65536, 65536), nullptr);

    imaqkit::IFrame* frame = engine->makeFrame(imaqkit::kMono16, 4, 4);
    ASSERT_NE(frame, nullptr);
    frame->copyData(nullptr, 4, 4, 0, 0);
    engine->receiveFrame(frame);
    engine->receiveFrame(frame); // handed back twice: ignored
    engine->receiveFrame(nullptr);
    EXPECT_EQ(imaqhost::inspect(*input).framesOutsideAcquisition(), 1);
    EXPECT_EQ(imaqhost::pooledFrames(), 1);
}

} // namespace
} // namespace hosttest
