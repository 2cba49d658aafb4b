// A format's text and its parse: the one parse that the library's rig
// reader, the command-line host and the benchmarks read format names with.
#include "vexcam/format_text.h"

#include "support/leak_check.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class FormatText : public orx::test::LeakCheckedTest {};

TEST_F(FormatText, ReadsWhatItWrites)
{
    for (const vexcam::Size size : {vexcam::Size{1, 1}, vexcam::Size{640, 480}, vexcam::Size{2147483647, 3}}) {
        const auto text = vexcam::formatText("Y800", size);
        const auto parsed = vexcam::parseFormatText(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(parsed->colorformat, "Y800");
        EXPECT_EQ(parsed->size, size);
    }
    EXPECT_EQ(vexcam::formatText("RGB24", {640, 480}), "RGB24 (640x480)");
}

// The adaptor's names put the norm before the colour format; only the last
// parenthesis is the size.
TEST_F(FormatText, TheLastParenthesisIsTheSize)
{
    const auto withNorm = vexcam::parseFormatText("NTSC_M:RGB24 (320x240)");
    ASSERT_TRUE(withNorm);
    EXPECT_EQ(withNorm->colorformat, "NTSC_M:RGB24");
    EXPECT_EQ(withNorm->size, (vexcam::Size{320, 240}));
    const auto nested = vexcam::parseFormatText("Odd (1x2) (3x4)");
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->colorformat, "Odd (1x2)");
    EXPECT_EQ(nested->size, (vexcam::Size{3, 4}));
}

TEST_F(FormatText, RefusesWhatIsNotAFormatText)
{
    for (const std::string text : {
             "", "Y800", "Y800 640x480", "(640x480)", " (640x480)",    // no parentheses, no colour format
             "Y800(640x480)", "Y800 (640x480", "Y800 640x480)",        // the parentheses incomplete
             "Y800 (640480)", "Y800 (640*480)", "Y800 (x480)", "Y800 (640x)", "Y800 ()", // "x" or a number missing
             "Y800 (640x480) ", "Y800 (640x480)x", "Y800 (640x480x3)", "Y800 (640xx480)", // trailing junk
             "Y800 ( 640x480)", "Y800 (640 x480)", "Y800 (640x 480)", "Y800 (640x480 )", // spaces
             "Y800 (+640x480)", "Y800 (-640x480)", "Y800 (640x-480)", "Y800 (0x480)", "Y800 (640x0)", // signs, zero
             "Y800 (2147483648x480)", "Y800 (640x99999999999999999999)",                         // overflow
             "Y800 (0x10x480)", "Y800 (6.4x480)", "Y800 (1e3x480)",                             // not decimal
         })
        EXPECT_FALSE(vexcam::parseFormatText(text)) << '"' << text << '"';
}

// Text after a NUL is still text: a name cut short at it must not pass.
TEST_F(FormatText, EmbeddedNulIsNotIgnored)
{
    using namespace std::string_literals;
    EXPECT_FALSE(vexcam::parseFormatText("Y800 (640x480\0)"s));
    EXPECT_FALSE(vexcam::parseFormatText("Y800 (640x480)\0"s));
}

} // namespace
