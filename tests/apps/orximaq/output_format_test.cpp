// Frames written as PNG, TIFF and raw files, read back by a decoder that uses
// only Python's standard library (tests/cli/decode_frame.py), so that a fault
// in the program's writers cannot hide behind the same fault in a reader.
// Each decoded frame must be the camera's test pattern, whole and in order.
#include "cli_fixture.h"

#include "vexcam/pattern.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace orx::cli_test {
namespace {

using nlohmann::json;

struct DecodedFrame {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::string layout;
    std::string pixels;
    std::string problem;
};

std::string quoted(const std::filesystem::path& path)
{
    return "'" + path.string() + "'";
}

DecodedFrame decodeFrame(const std::filesystem::path& file)
{
    DecodedFrame frame;
    const auto out = file.parent_path() / (file.filename().string() + ".decoded");
    const std::string command = std::string(ORX_PYTHON) + " " + quoted(ORX_DECODE_FRAME) + " " + quoted(file) +
                                " " + quoted(out);
    if (std::system(command.c_str()) != 0) {
        frame.problem = "the decoder failed on " + file.string();
        return frame;
    }
    std::ifstream input(out, std::ios::binary);
    input >> frame.width >> frame.height >> frame.layout;
    input.get();
    std::ostringstream pixels;
    pixels << input.rdbuf();
    frame.pixels = pixels.str();
    std::filesystem::remove(out);
    return frame;
}

vexcam::PixelLayout layoutOf(const std::string& name)
{
    if (name == "gray16") return vexcam::PixelLayout::Gray16;
    if (name == "bgr24") return vexcam::PixelLayout::Rgb24;
    return vexcam::PixelLayout::Gray8;
}

struct FormatCase {
    const char* outputFormat;
    const char* extension;
    const char* device;
    const char* format;
    std::int32_t width;
    std::int32_t height;
    const char* decodedLayout;
};

void PrintTo(const FormatCase& format, std::ostream* out)
{
    *out << format.outputFormat << " " << format.format;
}

class DecodedFormatTest : public CliTest, public ::testing::WithParamInterface<FormatCase> {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        if (std::string(ORX_PYTHON).empty())
            GTEST_SKIP() << "no Python 3 to decode the frames";
    }
};

// Every frame decodes to the test pattern at its full size, whole, with
// camera frame numbers that rise; nothing is left half written.
TEST_P(DecodedFormatTest, FramesDecodeAsThePattern)
{
    const auto& c = GetParam();
    const json document = jsonSmall(
        {"acquire", c.device, c.format, "-n", "3", "-o", "frames", "--output-format", c.outputFormat, "--json"});
    EXPECT_EQ(document["output"]["format"], c.outputFormat);
    std::vector<std::string> names;
    for (int i = 1; i <= 3; ++i)
        names.push_back("frame-000" + std::to_string(i) + c.extension);
    EXPECT_EQ(document["output"]["files"], json(names));
    auto expectedFiles = names;
    if (std::string(c.outputFormat) == "raw")
        expectedFiles.push_back("frames.json");
    ASSERT_EQ(filesIn(folder() / "frames"), expectedFiles);

    std::optional<std::uint32_t> lastNumber;
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const DecodedFrame frame = decodeFrame(folder() / "frames" / name);
        ASSERT_EQ(frame.problem, "");
        EXPECT_EQ(frame.width, c.width);
        EXPECT_EQ(frame.height, c.height);
        ASSERT_EQ(frame.layout, c.decodedLayout);
        const auto layout = layoutOf(frame.layout);
        ASSERT_EQ(frame.pixels.size(), static_cast<std::size_t>(c.width * c.height) * vexcam::bytesPerPixel(layout));
        const auto check = vexcam::pattern::checkFrame(
            layout, reinterpret_cast<const BYTE*>(frame.pixels.data()), frame.width, frame.height, 0, 0, 0);
        EXPECT_TRUE(check.whole) << check.problem;
        if (lastNumber) {
            EXPECT_GT(check.frameNumber, *lastNumber);
        }
        lastNumber = check.frameNumber;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, DecodedFormatTest,
    ::testing::Values(FormatCase{"png", ".png", "2", "Y16 (128x96)", 128, 96, "gray16"},
                      FormatCase{"png", ".png", "1", "RGB24 (64x48)", 64, 48, "bgr24"},
                      FormatCase{"tiff", ".tif", "2", "Y800 (128x96)", 128, 96, "gray8"},
                      FormatCase{"tiff", ".tif", "2", "Y16 (128x96)", 128, 96, "gray16"},
                      FormatCase{"tiff", ".tif", "1", "RGB24 (64x48)", 64, 48, "bgr24"},
                      FormatCase{"tiff", ".tif", "1", "RGB32 (64x48)", 64, 48, "bgr24"},
                      FormatCase{"raw", ".raw", "2", "Y800 (128x96)", 128, 96, "gray8"},
                      FormatCase{"raw", ".raw", "2", "Y16 (128x96)", 128, 96, "gray16"},
                      FormatCase{"raw", ".raw", "1", "RGB24 (64x48)", 64, 48, "bgr24"},
                      FormatCase{"raw", ".raw", "1", "RGB32 (64x48)", 64, 48, "bgr24"}),
    [](const auto& info) {
        std::string name = std::string(info.param.outputFormat) + "_" + info.param.format;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

using OutputFormatTest = CliTest;

// The raw sidecar describes the frames exactly: size, layout, byte order,
// each file's byte count and the same time stamps as the summary.
TEST_F(OutputFormatTest, RawSidecarDescribesTheFrames)
{
    const json document =
        jsonSmall({"acquire", "1", "RGB32 (64x48)", "-n", "2", "-o", "raw", "--output-format", "raw", "--json"});
    EXPECT_EQ(document["output"]["sidecar"], "frames.json");
    const json sidecar = json::parse(std::ifstream(folder() / "raw" / "frames.json"));
    EXPECT_EQ(sidecar["width"], 64);
    EXPECT_EQ(sidecar["height"], 48);
    EXPECT_EQ(sidecar["layout"], "bgrx32");
    EXPECT_EQ(sidecar["bytesPerPixel"], 4);
    EXPECT_EQ(sidecar["rowBytes"], 256);
    EXPECT_EQ(sidecar["byteOrder"], "little");
    ASSERT_EQ(sidecar["frames"].size(), 2u);
    EXPECT_EQ(sidecar["frames"][0]["file"], "frame-0001.raw");
    EXPECT_EQ(sidecar["frames"][1]["bytes"], 64 * 48 * 4);
    EXPECT_EQ(std::filesystem::file_size(folder() / "raw" / "frame-0002.raw"), 64u * 48u * 4u);
    EXPECT_EQ(sidecar["frames"][0]["time"], document["timestamps"]["first"]);
    EXPECT_EQ(sidecar["frames"][1]["time"], document["timestamps"]["last"]);
}

// A symbolic link planted under a frame's name is replaced by the frame, in
// every format; the file it pointed to is left as it was.
TEST_F(OutputFormatTest, PlantedLinksAreReplacedNotFollowed)
{
#if defined(_WIN32)
    GTEST_SKIP() << "symbolic links need privileges on Windows (and the build writes no TIFF)";
#else
    const auto target = writeFile("precious.txt", "keep me");
    for (const auto& [format, extension] : {std::pair{"png", ".png"}, {"tiff", ".tif"}, {"raw", ".raw"}}) {
        SCOPED_TRACE(format);
        const auto frames = folder() / format;
        std::filesystem::create_directories(frames);
        const auto frame = frames / (std::string("frame-0001") + extension);
        std::filesystem::create_symlink(target, frame);
        const CliRun result = runSmall({"acquire", "2", "1", "-n", "1", "-o", frames.string(), "--output-format", format});
        EXPECT_EQ(result.exitCode, 0) << result.transcript();
        EXPECT_FALSE(std::filesystem::is_symlink(frame));
        EXPECT_TRUE(std::filesystem::is_regular_file(frame));
        EXPECT_EQ(std::filesystem::file_size(target), 7u);
    }
#endif
}

// An unknown format is a usage error naming the choices.
TEST_F(OutputFormatTest, UnknownFormatIsAUsageError)
{
    const CliRun result = runSmall({"acquire", "1", "1", "--output-format", "jpeg"});
    EXPECT_EQ(result.exitCode, 2) << result.transcript();
    EXPECT_NE(result.err.find("jpeg"), std::string::npos) << result.err;
}

} // namespace
} // namespace orx::cli_test
