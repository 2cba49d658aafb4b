// How fast orximaq writes frame files: frames per second for PNG, TIFF and
// raw at 640x480 grey and 1920x1080 RGB, with one writer thread and with the
// default pool, against writing the same bytes with plain write(2) (one file
// per frame) in the same run. Figures are printed as ratios to that
// baseline, so that they compare across machines.
//   orximaq_write_bench [FOLDER]   (default: a folder under /tmp)
// Each figure is the best of three runs; the plain writes take turns with
// the writers' runs.
#include "output/frame_recorder.h"
#include "output/png_writer.h"
#include "progress_bar.h"

#include "platform/imaqkit.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct FrameCase {
    const char* name;
    std::uint32_t frameType;
    std::int32_t width;
    std::int32_t height;
    std::int32_t bytesPerPixel;
    int frames;
};

// A camera-like picture: a smooth gradient with sensor noise, which
// compresses about as poorly as real frames do.
std::vector<std::uint8_t> cameraLikeBytes(const FrameCase& frame)
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 3.0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(frame.width) * frame.height * frame.bytesPerPixel);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto pixel = i / static_cast<std::size_t>(frame.bytesPerPixel);
        const double level = 40.0 + 150.0 * static_cast<double>(pixel % frame.width) / frame.width +
                             40.0 * static_cast<double>(pixel / frame.width) / frame.height + noise(random);
        bytes[i] = static_cast<std::uint8_t>(std::clamp(level, 0.0, 255.0));
    }
    return bytes;
}

imaqhost::FrameView viewOf(const FrameCase& frame, const std::vector<std::uint8_t>& bytes, int index)
{
    imaqhost::FrameView view;
    view.index = index;
    view.frameType = frame.frameType;
    view.width = frame.width;
    view.height = frame.height;
    view.bytesPerPixel = frame.bytesPerPixel;
    view.time = index / 1000.0;
    view.pixels = bytes.data();
    view.bytes = bytes.size();
    return view;
}

double plainWriteRate(const fs::path& folder, const FrameCase& frame, const std::vector<std::uint8_t>& bytes)
{
    fs::create_directories(folder);
    const auto started = Clock::now();
    for (int i = 0; i < frame.frames; ++i) {
        const auto path = folder / ("frame-" + std::to_string(i) + ".raw");
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            std::perror("write");
            std::exit(1);
        }
        ::close(fd);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    fs::remove_all(folder);
    return frame.frames / seconds;
}

double recorderRate(const fs::path& folder, const FrameCase& frame, const std::vector<std::uint8_t>& bytes,
                    orximaq::OutputFormat format, orximaq::WriterSettings writers)
{
    fs::create_directories(folder);
    orximaq::ProgressBar progress(stdout, "", 0, false);
    const auto started = Clock::now();
    {
        orximaq::FrameRecorder recorder(folder, {}, progress, format, false, writers);
        for (int i = 0; i < frame.frames; ++i)
            recorder(viewOf(frame, bytes, i));
        recorder.finish();
        if (recorder.writeError()) {
            std::fprintf(stderr, "%s\n", recorder.writeError()->c_str());
            std::exit(1);
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    fs::remove_all(folder);
    return frame.frames / seconds;
}

// The best of each kind over the rounds: other work on the machine only
// ever slows a run down.
struct Rates {
    double plain = 0.0;
    double one = 0.0;
    double pool = 0.0;
    static void note(double& best, double rate) { best = std::max(best, rate); }
};

// The best of three runs.
template <class Measure>
double best(Measure measure)
{
    double rate = 0.0;
    for (int run = 0; run < 3; ++run)
        rate = std::max(rate, measure());
    return rate;
}

} // namespace

int main(int argc, char** argv)
{
    const fs::path root = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / ("orximaq-write-bench-" + std::to_string(::getpid()));
    const std::size_t pool = imaqhost::WriterPool::defaultThreads();
    const FrameCase cases[] = {
        {"640x480 grey", imaqkit::kMono8, 640, 480, 1, 400},
        {"1920x1080 RGB", imaqkit::kRgb24Packed, 1920, 1080, 3, 24},
    };
    const struct {
        const char* name;
        orximaq::OutputFormat format;
    } formats[] = {{"png", orximaq::OutputFormat::Png}, {"tiff", orximaq::OutputFormat::Tiff}, {"raw", orximaq::OutputFormat::Raw}};

    std::printf("Frames written per second; ratios against plain write(2) of the same bytes, one file per frame.\n");
    std::printf("%zu processors: the default pool has %zu writer threads; PNG level %d by default.\n\n", pool, pool,
                orximaq::kDefaultPngLevel);
    std::printf("%-14s %-5s %12s %12s %12s %10s %10s\n", "frame", "file", "write(2)", "1 writer", "pool", "pool/wr2",
                "pool/1");
    for (const auto& frame : cases) {
        const auto bytes = cameraLikeBytes(frame);
        for (const auto& format : formats) {
            // The baseline is measured in turn with the writers, so that the
            // file system's background work weighs on each alike.
            Rates rates;
            for (int round = 0; round < 3; ++round) {
                rates.note(rates.plain, plainWriteRate(root / "plain", frame, bytes));
                rates.note(rates.one, recorderRate(root / "one", frame, bytes, format.format,
                                                   {1, orximaq::kDefaultPngLevel}));
                rates.note(rates.pool, recorderRate(root / "pool", frame, bytes, format.format,
                                                    {pool, orximaq::kDefaultPngLevel}));
            }
            std::printf("%-14s %-5s %12.1f %12.1f %12.1f %10.2f %10.2f\n", frame.name, format.name, rates.plain,
                        rates.one, rates.pool, rates.pool / rates.plain, rates.pool / rates.one);
        }
        // The former way: PNG at level 3 with every filter, on one thread.
        const double former =
            best([&] { return recorderRate(root / "former", frame, bytes, orximaq::OutputFormat::Png, {1, 3}); });
        const double now = best([&] {
            return recorderRate(root / "pool", frame, bytes, orximaq::OutputFormat::Png, {pool, orximaq::kDefaultPngLevel});
        });
        std::printf("%-14s png: default (level %d, %zu writers) / former (level 3, 1 writer) = %.2f\n\n", frame.name,
                    orximaq::kDefaultPngLevel, pool, now / former);
    }
    fs::remove_all(root);
    return 0;
}
