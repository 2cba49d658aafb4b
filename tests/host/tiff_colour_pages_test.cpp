// Colour pages of a TIFF stack: the host's blue, green, red (and a fourth
// byte) come back from libtiff as red, green, blue for every pixel, whatever
// the width (the writer turns the order sixteen bytes at a time where it can,
// one pixel at a time for the rest) and across its 64 Ki-pixel blocks.
#include "imaqhost/frame_log.h"
#include "platform/imaqkit.h"
#include "support/leak_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include <unistd.h>
#include <vector>

#if defined(ORX_HAVE_TIFF) && !defined(_WIN32)
#include <tiffio.h>

namespace {

namespace fs = std::filesystem;

struct ColourPageSize {
    std::uint32_t frameType;
    std::int32_t bytesPerPixel;
    std::int32_t width, height;
};

// The red, green, blue of every page, as libtiff reads it (which hands a
// large single strip out in pieces).
std::vector<std::vector<std::uint8_t>> colourPagesOf(const fs::path& path)
{
    std::vector<std::vector<std::uint8_t>> pages;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff) return pages;
    do {
        std::vector<std::uint8_t> page;
        for (tstrip_t strip = 0; strip < TIFFNumberOfStrips(tiff); ++strip) {
            std::vector<std::uint8_t> piece(static_cast<std::size_t>(TIFFStripSize(tiff)));
            const tmsize_t got = TIFFReadEncodedStrip(tiff, strip, piece.data(), static_cast<tmsize_t>(piece.size()));
            if (got <= 0) break;
            page.insert(page.end(), piece.begin(), piece.begin() + got);
        }
        pages.push_back(std::move(page));
    } while (TIFFReadDirectory(tiff));
    TIFFClose(tiff);
    return pages;
}

class TiffColourPagesTest : public orx::test::LeakCheckedTest {
protected:
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove(path_, ignored);
        LeakCheckedTest::TearDown();
    }

    const fs::path path_ = fs::temp_directory_path() / ("orx-colour-pages-" + std::to_string(::getpid()) + ".tif");
};

TEST_F(TiffColourPagesTest, EveryWidthComesBackRedGreenBlue)
{
    std::vector<ColourPageSize> sizes;
    for (const auto& [type, bytes] : {std::pair{imaqkit::kRgb24Packed, 3}, std::pair{imaqkit::kRgb32Packed, 4}}) {
        for (std::int32_t width = 1; width <= 13; ++width) sizes.push_back({type, bytes, width, 3});
        sizes.push_back({type, bytes, 301, 219}); // 65919 pixels: two blocks, the second a short one
    }
    for (const ColourPageSize& size : sizes) {
        SCOPED_TRACE(std::to_string(size.bytesPerPixel) + " bytes per pixel, " + std::to_string(size.width) + "x" +
                     std::to_string(size.height));
        const std::size_t pixels = static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
        std::vector<std::uint8_t> frame(pixels * static_cast<std::size_t>(size.bytesPerPixel));
        for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i * 37 + i / 251);
        imaqhost::FrameView view;
        view.frameType = size.frameType;
        view.width = size.width;
        view.height = size.height;
        view.bytesPerPixel = size.bytesPerPixel;
        view.pixels = frame.data();
        view.bytes = frame.size();
        {
            imaqhost::FrameLog log({imaqhost::DiskFileFormat::TiffStack, path_.string(), {}}, size.frameType);
            for (int page = 1; page <= 2; ++page) {
                view.meta.frameNumber = page;
                log.write(view);
            }
            log.finish();
        }
        const auto pages = colourPagesOf(path_);
        ASSERT_EQ(pages.size(), 2u);
        for (const auto& page : pages) {
            ASSERT_EQ(page.size(), pixels * 3);
            for (std::size_t p = 0; p < pixels; ++p) {
                const std::uint8_t* in = frame.data() + p * static_cast<std::size_t>(size.bytesPerPixel);
                ASSERT_EQ(page[p * 3], in[2]) << "pixel " << p;
                ASSERT_EQ(page[p * 3 + 1], in[1]) << "pixel " << p;
                ASSERT_EQ(page[p * 3 + 2], in[0]) << "pixel " << p;
            }
        }
    }
}

} // namespace
#endif
