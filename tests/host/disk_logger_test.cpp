// The disk logger: every logged frame lands in the file as a TIFF page or an
// AVI frame with its pixels and stamps, written on a thread of the runtime;
// a full disk stops the acquisition and leaves what was written readable.
#include "host_test.h"

#include "imaqhost/host_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#if defined(ORX_HAVE_TIFF)
#include <tiffio.h>
#endif

namespace hosttest {
namespace {

using imaqhost::DiskFileFormat;
using imaqhost::EventType;
using imaqhost::LoggingMode;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A directory of its own per test, removed afterwards.
class ScratchDir {
public:
    ScratchDir()
    {
        std::random_device seed;
        path_ = fs::temp_directory_path() / ("orx-disklog-" + std::to_string(seed()));
        fs::create_directories(path_);
    }
    ~ScratchDir() { fs::remove_all(path_); }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

std::vector<std::uint8_t> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Storage in memory that takes at most `capacity` bytes, like a disk that fills.
struct MemoryStorage {
    std::vector<std::uint8_t> bytes;
    std::size_t capacity = SIZE_MAX;
};

class MemoryDiskFile final : public imaqhost::DiskFile {
public:
    explicit MemoryDiskFile(std::shared_ptr<MemoryStorage> storage) : storage_(std::move(storage)) {}

    bool write(const void* data, std::size_t bytes) override
    {
        if (position_ + bytes > storage_->capacity) return false;
        auto& all = storage_->bytes;
        if (all.size() < position_ + bytes) all.resize(position_ + bytes);
        std::memcpy(all.data() + position_, data, bytes);
        position_ += bytes;
        return true;
    }
    std::size_t read(void* data, std::size_t bytes) override
    {
        const std::size_t n = std::min<std::size_t>(bytes, storage_->bytes.size() - std::min<std::size_t>(position_, storage_->bytes.size()));
        std::memcpy(data, storage_->bytes.data() + position_, n);
        position_ += n;
        return n;
    }
    bool seek(std::uint64_t offset) override
    {
        position_ = offset;
        return true;
    }
    std::uint64_t position() const override { return position_; }
    std::uint64_t size() const override { return storage_->bytes.size(); }
    bool close() override { return true; }
    std::string error() const override { return "No space left on device"; }

private:
    std::shared_ptr<MemoryStorage> storage_;
    std::uint64_t position_ = 0;
};

// The frame the fake sends as its n-th (0-based): the ramp with n in its first bytes.
std::vector<std::uint8_t> expectedFrame(std::uint32_t n, std::size_t bytes)
{
    std::vector<std::uint8_t> frame(bytes);
    for (std::size_t i = 0; i < bytes; ++i) frame[i] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 4; ++i) frame[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n >> (8 * i));
    return frame;
}

// Red, green, blue from the host's blue, green, red.
[[maybe_unused]] std::vector<std::uint8_t> swapToRgb(std::vector<std::uint8_t> bgr)
{
    for (std::size_t i = 0; i + 2 < bgr.size(); i += 3) std::swap(bgr[i], bgr[i + 2]);
    return bgr;
}

// Log files on disk are written only on systems with POSIX files; the
// Windows build's logger takes files through DiskLogSettings::open.
#if defined(_WIN32)
#define SKIP_WITHOUT_LOG_FILES() GTEST_SKIP() << "no log files on this system"
#else
#define SKIP_WITHOUT_LOG_FILES() (void)0
#endif

class DiskLoggerTest : public HostTest {
protected:
    std::unique_ptr<imaqhost::VideoInput> openStamping(imaqhost::Session& session, std::uint32_t type)
    {
        config().frameType = type;
        config().stampFrameNumber = true;
        return openFake(session);
    }

    ScratchDir dir_;
};

#if defined(ORX_HAVE_TIFF)

struct TiffPage {
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 0, samples = 0, photometric = 0;
    std::string dateTime, description;
    std::vector<std::uint8_t> pixels;
};

std::vector<TiffPage> readTiffPages(TIFF* tiff)
{
    std::vector<TiffPage> pages;
    if (!tiff) return pages;
    do {
        TiffPage page;
        char* text = nullptr;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &page.width);
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &page.height);
        TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &page.bits);
        TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &page.samples);
        TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &page.photometric);
        if (TIFFGetField(tiff, TIFFTAG_DATETIME, &text)) page.dateTime = text;
        if (TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &text)) page.description = text;
        page.pixels.resize(static_cast<std::size_t>(TIFFStripSize(tiff)));
        TIFFReadEncodedStrip(tiff, 0, page.pixels.data(), static_cast<tmsize_t>(page.pixels.size()));
        pages.push_back(std::move(page));
    } while (TIFFReadDirectory(tiff));
    TIFFClose(tiff);
    return pages;
}

std::vector<TiffPage> readTiffFile(const fs::path& path)
{
    return readTiffPages(TIFFOpen(path.c_str(), "r"));
}

int quiet(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// Reads a TIFF held in memory, through the same file seam.
std::vector<TiffPage> readTiffMemory(std::shared_ptr<MemoryStorage> storage)
{
    auto file = std::make_unique<MemoryDiskFile>(storage);
    auto* handle = static_cast<thandle_t>(static_cast<void*>(file.get()));
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, quiet, nullptr);
    TIFF* tiff = TIFFClientOpenExt(
        "memory", "r", handle,
        [](thandle_t h, void* d, tmsize_t n) {
            return static_cast<tmsize_t>(static_cast<MemoryDiskFile*>(static_cast<void*>(h))->read(d, std::size_t(n)));
        },
        [](thandle_t, void*, tmsize_t) { return tmsize_t(-1); },
        [](thandle_t h, toff_t offset, int whence) {
            auto* f = static_cast<MemoryDiskFile*>(static_cast<void*>(h));
            const toff_t target = whence == SEEK_CUR ? f->position() + offset
                                  : whence == SEEK_END ? f->size() + offset
                                                       : offset;
            f->seek(target);
            return target;
        },
        [](thandle_t) { return 0; },
        [](thandle_t h) { return toff_t(static_cast<MemoryDiskFile*>(static_cast<void*>(h))->size()); },
        [](thandle_t, void**, toff_t*) { return 0; }, [](thandle_t, void*, toff_t) {}, options);
    TIFFOpenOptionsFree(options);
    return readTiffPages(tiff);
}

class TiffStackTest : public DiskLoggerTest, public ::testing::WithParamInterface<std::uint32_t> {};

// Every frame is one page with its pixels (colour as red, green, blue), its
// date-time and its frame number, trigger and time in the description.
TEST_P(TiffStackTest, StreamingEveryFrameIsAPageWithItsStamps)
{
    SKIP_WITHOUT_LOG_FILES();
    imaqhost::Session session(fakeEntryPoints());
    auto input = openStamping(session, GetParam());
    const auto path = dir_ / "run.tif";
    input->setLogging(LoggingMode::Disk, imaqhost::DiskLogSettings{DiskFileFormat::TiffStack, path.string(), {}});
    input->setTriggerSettings({imaqhost::TriggerType::Immediate, 3, 1, 0, 1});
    input->start();
    ASSERT_TRUE(input->wait(5s));
    const auto stats = input->statistics();
    EXPECT_EQ(stats.diskWritten, 6);
    EXPECT_EQ(stats.diskFailed, 0);
    EXPECT_EQ(input->diskLoggerFrameCount(), 6);
    EXPECT_EQ(input->framesAvailable(), 0); // disk only: nothing kept in memory
    const auto pages = readTiffFile(path);
    ASSERT_EQ(pages.size(), 6u);
    const bool colour = GetParam() == imaqkit::kRgb24Packed;
    const std::size_t bytes = 8 * 6 * (GetParam() == imaqkit::kMono8 ? 1 : colour ? 3 : 2);
    for (std::uint32_t i = 0; i < 6; ++i) {
        const TiffPage& page = pages[i];
        EXPECT_EQ(page.width, 8u);
        EXPECT_EQ(page.height, 6u);
        EXPECT_EQ(page.samples, colour ? 3 : 1);
        EXPECT_EQ(page.bits, GetParam() == imaqkit::kMono16 ? 16 : 8);
        const auto expected = expectedFrame(i, bytes);
        EXPECT_EQ(page.pixels, colour ? swapToRgb(expected) : expected) << "page " << i;
        EXPECT_THAT(page.description, ::testing::HasSubstr("FrameNumber=" + std::to_string(i + 1) + " "));
        EXPECT_THAT(page.description, ::testing::HasSubstr("TriggerIndex=" + std::to_string(i / 3 + 1) + " "));
        EXPECT_THAT(page.description, ::testing::HasSubstr("RelativeFrame=" + std::to_string(i % 3 + 1) + " "));
        EXPECT_EQ(page.dateTime.size(), 19u);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, TiffStackTest,
                         ::testing::Values(imaqkit::kMono8, imaqkit::kMono16, imaqkit::kRgb24Packed),
                         [](const auto& info) {
                             return info.param == imaqkit::kMono8    ? std::string("Mono8")
                                    : info.param == imaqkit::kMono16 ? std::string("Mono16")
                                                                     : std::string("Rgb24");
                         });

// disk&memory: the same frames in the buffer and in the file; the host's crop applies to both.
TEST_F(DiskLoggerTest, StreamingDiskAndMemoryKeepBoth)
{
    SKIP_WITHOUT_LOG_FILES();
    config().hardwareRegion = false;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openStamping(session, imaqkit::kMono8);
    input->setRegion({4, 0, 4, 6});
    const auto path = dir_ / "both.tif";
    input->setLogging(LoggingMode::DiskAndMemory, imaqhost::DiskLogSettings{DiskFileFormat::TiffStack, path.string(), {}});
    input->start(4);
    ASSERT_TRUE(input->wait(5s));
    std::vector<std::vector<std::uint8_t>> memory;
    input->getData(4, [&](const imaqhost::FrameView& frame) {
        memory.emplace_back(frame.pixels, frame.pixels + frame.bytes);
    });
    const auto pages = readTiffFile(path);
    ASSERT_EQ(pages.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(pages[i].width, 4u);
        EXPECT_EQ(pages[i].pixels, memory[i]);
    }
    EXPECT_EQ(session.memoryInUse(), 0u);
}

// A disk that fills after two pages: the acquisition stops by itself with an
// Error event, the rest count as failed, and the two pages read back.
TEST_F(DiskLoggerTest, StreamingFullDiskStopsTheAcquisitionAndKeepsWhatWasWritten)
{
    auto storage = std::make_shared<MemoryStorage>();
    storage->capacity = 16 + 2 * (48 + 400) + 100;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openStamping(session, imaqkit::kMono8);
    imaqhost::DiskLogSettings settings{DiskFileFormat::TiffStack, "full.tif",
                                       [storage](const std::string&) { return std::make_unique<MemoryDiskFile>(storage); }};
    input->setLogging(LoggingMode::Disk, settings);
    input->start(imaqhost::VideoInput::kUnlimitedFrames);
    ASSERT_TRUE(input->wait(5s));
    const auto stats = input->statistics();
    EXPECT_EQ(stats.end, imaqhost::AcquisitionEnd::Stopped);
    EXPECT_THAT(stats.diskError, ::testing::HasSubstr("No space left on device"));
    EXPECT_GE(stats.diskFailed, 1);
    EXPECT_EQ(stats.diskWritten + stats.diskFailed, stats.received);
    const auto log = input->eventLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2].type, EventType::Error);
    EXPECT_EQ(log[log.size() - 2].messageId, "imaqhost:diskWriteFailed");
    EXPECT_EQ(log.back().type, EventType::Stop);

    const auto pages = readTiffMemory(storage);
    ASSERT_EQ(static_cast<std::int64_t>(pages.size()), stats.diskWritten);
    ASSERT_GE(pages.size(), 1u);
    for (std::uint32_t i = 0; i < pages.size(); ++i) EXPECT_EQ(pages[i].pixels, expectedFrame(i, 48));
}

#endif

// Parses an uncompressed AVI: the frame count of the main header and the
// '00db' chunks of the movie list, rows still bottom-up.
struct AviContent {
    std::uint32_t totalFrames = 0, width = 0, height = 0, bitCount = 0, indexEntries = 0;
    std::vector<std::vector<std::uint8_t>> frames;
};

AviContent parseAvi(const std::vector<std::uint8_t>& file)
{
    const auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        std::memcpy(&v, &file.at(at + 3) - 3, 4);
        return v;
    };
    const auto is = [&](std::size_t at, const char* code) { return std::memcmp(&file.at(at + 3) - 3, code, 4) == 0; };
    AviContent avi;
    EXPECT_TRUE(is(0, "RIFF") && is(8, "AVI "));
    EXPECT_EQ(u32(4) + 8, file.size());
    avi.totalFrames = u32(48);
    avi.width = u32(64);
    avi.height = u32(68);
    for (std::size_t at = 12; at + 8 <= file.size();) {
        if (is(at, "LIST") && is(at + 8, "hdrl")) {
            for (std::size_t s = at + 12; s < at + 8 + u32(at + 4); s += 8 + u32(s + 4))
                if (is(s, "LIST"))
                    for (std::size_t t = s + 12; t < s + 8 + u32(s + 4); t += 8 + u32(t + 4))
                        if (is(t, "strf")) avi.bitCount = u32(t + 8 + 12) >> 16;
        }
        if (is(at, "LIST") && is(at + 8, "movi")) {
            for (std::size_t c = at + 12; c < at + 8 + u32(at + 4); c += 8 + u32(c + 4)) {
                EXPECT_TRUE(is(c, "00db"));
                avi.frames.emplace_back(file.begin() + long(c + 8), file.begin() + long(c + 8 + u32(c + 4)));
            }
        }
        if (is(at, "idx1")) avi.indexEntries = u32(at + 4) / 16;
        at += 8 + u32(at + 4);
    }
    return avi;
}

// Every frame is one AVI frame: grey with rows padded to four bytes and
// colour as blue, green, red, both bottom-up; header and index count them all.
TEST_F(DiskLoggerTest, StreamingAviHoldsEveryFrame)
{
    SKIP_WITHOUT_LOG_FILES();
    for (const auto type : {imaqkit::kMono8, imaqkit::kRgb24Packed}) {
        config().width = 7; // rows of 7 grey bytes are padded to 8
        imaqhost::Session session(fakeEntryPoints());
        auto input = openStamping(session, type);
        const auto path = dir_ / "run.avi";
        input->setLogging(LoggingMode::Disk, imaqhost::DiskLogSettings{DiskFileFormat::Avi, path.string(), {}});
        const auto first = static_cast<std::uint32_t>(log().framesSent.load());
        input->start(5);
        ASSERT_TRUE(input->wait(5s));
        EXPECT_EQ(input->statistics().diskWritten, 5);
        const auto avi = parseAvi(readFile(path));
        EXPECT_EQ(avi.totalFrames, 5u);
        EXPECT_EQ(avi.indexEntries, 5u);
        EXPECT_EQ(avi.width, 7u);
        EXPECT_EQ(avi.height, 6u);
        const std::size_t pixel = type == imaqkit::kMono8 ? 1 : 3;
        EXPECT_EQ(avi.bitCount, pixel * 8);
        ASSERT_EQ(avi.frames.size(), 5u);
        const std::size_t row = 7 * pixel;
        const std::size_t stride = (row + 3) & ~std::size_t{3};
        for (std::uint32_t n = 0; n < 5; ++n) {
            const auto expected = expectedFrame(first + n, row * 6);
            ASSERT_EQ(avi.frames[n].size(), stride * 6);
            for (std::size_t y = 0; y < 6; ++y)
                EXPECT_TRUE(std::equal(expected.begin() + long(y * row), expected.begin() + long((y + 1) * row),
                                       avi.frames[n].begin() + long((5 - y) * stride)))
                    << "frame " << n << " row " << y;
        }
    }
}

// A file that cannot be created, a planted link, or a format the file type
// cannot hold is refused before anything starts.
TEST_F(DiskLoggerTest, BadLogFilesAreRefusedBeforeStart)
{
    SKIP_WITHOUT_LOG_FILES();
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setLogging(LoggingMode::Disk, imaqhost::DiskLogSettings{DiskFileFormat::Avi, (dir_ / "no/such/dir.avi").string(), {}});
    EXPECT_THROW(input->start(3), imaqhost::HostError);
    EXPECT_FALSE(input->isAcquisitionActive());

    const auto target = dir_ / "precious.txt";
    std::ofstream(target) << "keep me";
    fs::create_symlink(target, dir_ / "link.avi");
    input->setLogging(LoggingMode::Disk, imaqhost::DiskLogSettings{DiskFileFormat::Avi, (dir_ / "link.avi").string(), {}});
    EXPECT_THROW(input->start(3), imaqhost::HostError);
    EXPECT_EQ(readFile(target).size(), 7u);

    EXPECT_THROW(input->setLogging(LoggingMode::Disk), imaqhost::HostError);
    input->setLogging(LoggingMode::Memory);
    EXPECT_EQ(input->acquire(2).received, 2);

    config().frameType = imaqkit::kMono16;
    auto grey16 = openFake(session);
    EXPECT_THROW(grey16->setLogging(LoggingMode::Disk, imaqhost::DiskLogSettings{DiskFileFormat::Avi, "x.avi", {}}),
                 imaqhost::HostError);
}

} // namespace
} // namespace hosttest
