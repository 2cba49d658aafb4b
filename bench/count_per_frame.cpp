// Per-frame counts for bench/count_per_frame.sh: runs under callgrind and
// dumps the counters once per delivered frame, from the consumer on the host
// thread, so that every dump holds the cost of one frame's whole journey:
// the camera's delivery thread, the adaptor's listener, the hand-over, and
// the host thread's wake-up and wait for the next frame. Without valgrind it
// runs the same acquisitions and prints only its own allocation counts.
//
// The camera is paced, slowly enough that under callgrind every frame has
// reached the consumer before the next is made: the threads then take the
// same path for every frame, and the counts repeat to the instruction.
#include "delivery_bench_support.h"

#include "vexcam/format_text.h"
#include "vexcam/pixel_layout.h"
#include "vexcam/testing/camera_testing.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define ORX_DUMP_COUNTS(label) CALLGRIND_DUMP_STATS_AT(label)
#else
#define ORX_DUMP_COUNTS(label) ((void)(label))
#endif

namespace {

// Every operator new of the process, whichever module calls it.
std::atomic<std::int64_t> gAllocations{0};

} // namespace

void* operator new(std::size_t bytes)
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(bytes ? bytes : 1)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t bytes)
{
    return operator new(bytes);
}
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(bytes ? bytes : 1);
}
void* operator new[](std::size_t bytes, const std::nothrow_t& tag) noexcept
{
    return operator new(bytes, tag);
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete[](void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace {

using namespace orx::bench;

// Slow enough for a frame of the largest case to reach the consumer under
// callgrind on a busy machine before the next one is made.
constexpr double kPacedFps = 10.0;
constexpr std::int32_t kWidth = 320;
constexpr std::int32_t kHeight = 240;
// The first and the last frame are left out of the figures: 29 counted.
constexpr std::int64_t kFrames = 31;
constexpr std::int64_t kWarmUpFrames = 10;

// The region-of-interest camera of the default rig, cropped to the window.
constexpr const char* kRoiCamera = "ORX Mono ROI 1280";

struct CountCase {
    const char* name;
    const char* colorformat;
    vexcam::PixelLayout layout;
    bool region;
};

constexpr CountCase kCases[] = {
    {"Y800", "Y800", vexcam::PixelLayout::Gray8, false},
    {"Y16", "Y16", vexcam::PixelLayout::Gray16, false},
    {"RGB24", "RGB24", vexcam::PixelLayout::Rgb24, false},
    {"RGB32", "RGB32", vexcam::PixelLayout::Rgb32, false},
    {"Y800-region", "Y800", vexcam::PixelLayout::Gray8, true},
};

std::string plainCamera(const CountCase& c)
{
    return std::string("ORX Count ") + c.colorformat;
}

std::string formatName(const CountCase& c)
{
    return vexcam::formatText(c.colorformat, {kWidth, kHeight});
}

vexcam::DeviceSpec plainDevice(const CountCase& c)
{
    vexcam::DescriptionSpec description;
    description.colorformat = c.colorformat;
    description.minSize = {kWidth, kHeight};
    description.maxSize = {kWidth, kHeight};
    vexcam::DeviceSpec device;
    device.name = plainCamera(c);
    device.norms.push_back(vexcam::NormSpec{"", {vexcam::FormatSpec{c.colorformat, {kWidth, kHeight}}}, {description}});
    device.frameRates.defaults = {kPacedFps};
    return device;
}

// The default rig's cameras, the region camera slowed to the paced rate,
// and a plain camera per layout.
vexcam::Rig countRig()
{
    auto rig = vexcam::defaultRig();
    for (auto& device : rig.devices) {
        if (device.name != kRoiCamera) continue;
        device.frameRates.byFormat.clear();
        device.frameRates.defaults.clear();
        device.frameRates.maxFps = kPacedFps;
        device.frameRates.minFps = kPacedFps;
    }
    for (const auto& c : kCases)
        if (!c.region) rig.devices.push_back(plainDevice(c));
    return rig;
}

class PacedSettings {
public:
    PacedSettings()
    {
        vexcam::setFreeRunning(false);
        vexcam::setPatternGeneration(false);
        imaqhost::setWarningEcho(false);
    }
    ~PacedSettings()
    {
        vexcam::setPatternGeneration(true);
        imaqhost::setWarningEcho(true);
    }
    PacedSettings(const PacedSettings&) = delete;
    PacedSettings& operator=(const PacedSettings&) = delete;
};

std::unique_ptr<imaqhost::VideoInput> openCase(imaqhost::Session& session, const CountCase& c)
{
    if (!c.region) return session.open(plainCamera(c), formatName(c));
    auto input = session.open(kRoiCamera, "Y800 (1280x960)");
    input->setRegion({480, 360, kWidth, kHeight});
    return input;
}

// The consumer: dumps the counters for the frame just received and notes the
// allocations so far. Its own cost is left out of the figures by its name.
struct FrameDumper {
    std::string label;
    std::vector<std::int64_t>* allocations;

    void operator()(const imaqhost::FrameView& frame) const
    {
        // Named: the request macro reads the pointer after a temporary would be gone.
        const std::string dumpLabel = label + "/frame/" + std::to_string(frame.index);
        ORX_DUMP_COUNTS(dumpLabel.c_str());
        allocations->push_back(gAllocations.load());
    }
};

// One counted acquisition; the operator new calls between the first frame
// and the last but one (the steady state: the first frame's dump holds the
// stream's start, and once the last frame is logged the host's control
// thread stops the stream, which can run before that frame's dump).
std::int64_t countedRun(imaqhost::VideoInput& input, const std::string& label, bool& complete)
{
    std::vector<std::int64_t> allocations;
    allocations.reserve(kFrames);
    const auto stats = input.acquire(kFrames, FrameDumper{label, &allocations});
    const std::string stopLabel = label + "/stop";
    ORX_DUMP_COUNTS(stopLabel.c_str());
    complete = complete && stats.end == imaqhost::AcquisitionEnd::Completed && stats.received == kFrames &&
               allocations.size() == static_cast<std::size_t>(kFrames);
    return allocations.size() < 2 ? 0 : allocations[allocations.size() - 2] - allocations.front();
}

} // namespace

int main()
{
    PacedSettings settings;
    InstalledRig rig(countRig());
    imaqhost::Session session(orx::test::coreEntryPoints());
    session.discover();
    bool complete = true;
    std::printf("{\"frames\": %lld, \"size\": \"%dx%d\", \"fps\": %g, \"cases\": [",
                static_cast<long long>(kFrames), kWidth, kHeight, kPacedFps);
    const char* separator = "";
    for (const auto& c : kCases) {
        auto input = openCase(session, c);
        const auto problem = checkDelivery(*input, c.layout, kWidth, kHeight, c.region ? 480 : 0, c.region ? 360 : 0);
        if (!problem.empty()) {
            std::fprintf(stderr, "%s: %s\n", c.name, problem.c_str());
            return 1;
        }
        // Two untimed acquisitions grow the host's frame pool to what the stream needs.
        input->acquire(kWarmUpFrames);
        input->acquire(kWarmUpFrames);
        const std::string setupLabel = std::string(c.name) + "/setup";
        ORX_DUMP_COUNTS(setupLabel.c_str());
        const auto allocations = countedRun(*input, c.name, complete);
        std::printf("%s{\"case\": \"%s\", \"steady_allocations\": %lld}", separator, c.name,
                    static_cast<long long>(allocations));
        separator = ", ";
    }
    std::printf("], \"complete\": %s}\n", complete ? "true" : "false");
    return complete ? 0 : 1;
}
