// The disk logger's writers against plain write(2) of the same bytes, in one
// run: frames per second of each and their ratio, for 640x480 8-bit grey and
// 1920x1080 24-bit colour. Every file is flushed to storage at its end, the
// baseline's too. Usage: disk_logger_bench [DIRECTORY] [--keep]
#if defined(_WIN32)
#include <cstdio>

int main()
{
    std::puts("disk_logger_bench measures POSIX files; it does not run on this system.");
    return 0;
}
#else
#include "imaqhost/frame_log.h"
#include "platform/imaqkit.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Case {
    const char* name;
    std::uint32_t frameType;
    int width, height, bytesPerPixel, frames;
};

double seconds(const std::function<void()>& work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void plainWrite(const std::string& path, const std::vector<std::uint8_t>& frame, int frames)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    for (int i = 0; i < frames; ++i)
        for (std::size_t done = 0; done < frame.size();) {
            const ssize_t n = ::write(fd, frame.data() + done, frame.size() - done);
            if (n <= 0) throw std::runtime_error("write failed");
            done += static_cast<std::size_t>(n);
        }
    ::fsync(fd);
    ::close(fd);
}

void logWrite(const std::string& path, imaqhost::DiskFileFormat format, const Case& c,
              const std::vector<std::uint8_t>& frame)
{
    imaqhost::FrameLog log({format, path, {}}, c.frameType);
    imaqhost::FrameView view;
    view.frameType = c.frameType;
    view.width = c.width;
    view.height = c.height;
    view.bytesPerPixel = c.bytesPerPixel;
    view.pixels = frame.data();
    view.bytes = frame.size();
    for (int i = 0; i < c.frames; ++i) {
        view.index = i;
        view.time = i / 30.0;
        view.meta.frameNumber = i + 1;
        view.meta.time = view.time;
        log.write(view);
    }
    log.finish();
}

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path();
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0)
            keep = true;
        else
            dir = argv[i];
    }
    const Case cases[] = {{"640x480 Y800", imaqkit::kMono8, 640, 480, 1, 600},
                          {"1920x1080 RGB24", imaqkit::kRgb24Packed, 1920, 1080, 3, 60}};
    constexpr int kRounds = 5; // the best of each, taken in turns
    std::printf("%-16s %-10s %12s %12s %8s\n", "frames", "writer", "frames/s", "write(2)/s", "ratio");
    for (const Case& c : cases) {
        std::vector<std::uint8_t> frame(static_cast<std::size_t>(c.width) * c.height * c.bytesPerPixel);
        for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i * 7 + i / 640);
        for (const auto format : {imaqhost::DiskFileFormat::TiffStack, imaqhost::DiskFileFormat::Avi}) {
            const std::string ext = format == imaqhost::DiskFileFormat::Avi ? ".avi" : ".tif";
            const std::string logPath = (dir / ("orx-bench-log" + ext)).string();
            const std::string rawPath = (dir / "orx-bench-plain.raw").string();
            double bestLog = 1e9, bestRaw = 1e9;
            for (int round = 0; round < kRounds; ++round) {
                bestRaw = std::min(bestRaw, seconds([&] { plainWrite(rawPath, frame, c.frames); }));
                bestLog = std::min(bestLog, seconds([&] { logWrite(logPath, format, c, frame); }));
            }
            const double logRate = c.frames / bestLog;
            const double rawRate = c.frames / bestRaw;
            std::printf("%-16s %-10s %12.1f %12.1f %8.2f\n", c.name, imaqhost::toString(format), logRate,
                        rawRate, logRate / rawRate);
            fs::remove(rawPath);
            if (!keep) fs::remove(logPath);
        }
    }
    return 0;
}
#endif
