// The library against Aravis' in-process fake camera. Runs only inside a
// network namespace that has no interface but loopback (`unshare -n`), so
// that no discovery can reach a network.
#include "platform/vexlib.h"
#include "common/task_mem.h"
#include "vexcam/genicam.h"
#include "vexcam/pixel_layout.h"
#include "vexcam/vexcam.h"
#include "vexcam/testing/camera_testing.h"
#include "support/network_namespace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Vexlib::Grabber;
using Vexlib::refcount_ptr;

class Frames : public Vexlib::GrabberListener {
public:
    void frameReady(Grabber&, refcount_ptr<Vexlib::MemBuffer> buffer, std::uint32_t number) override
    {
        std::lock_guard lock(mutex);
        numbers.push_back(number);
        stamps.push_back(std::chrono::steady_clock::now());
        const SIZE size = buffer->getSize();
        sizes.push_back({size.cx, size.cy});
        bits.push_back(buffer->getBitsPerPixel());
        locked = locked && buffer->isLocked();
        if (first.empty()) first.assign(buffer->getPtr(), buffer->getPtr() + buffer->getBufferSize());
    }
    std::size_t count()
    {
        std::lock_guard lock(mutex);
        return numbers.size();
    }
    std::mutex mutex;
    std::vector<std::uint32_t> numbers;
    std::vector<std::chrono::steady_clock::time_point> stamps; // on arrival
    std::vector<std::pair<LONG, LONG>> sizes;
    std::vector<std::int32_t> bits;
    std::vector<BYTE> first;
    bool locked = true;
};

refcount_ptr<Vexlib::FrameHandlerSink> makeSink(const GUID& subtype)
{
    Vexlib::FrameHandlerSink::tCreateData data{};
    data.bufferCount = 4;
    auto types = orx::TaskMem<Vexlib::FrameTypeInfo>::allocate(1);
    types.get()[0] = Vexlib::FrameTypeInfo{subtype, 0, 0, 0};
    data.frameTypes = {types.get(), 1};
    return Vexlib::FrameHandlerSink::create(data);
}

class GenicamTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(orx::test::onlyLoopback()) << "run under unshare -n"; }

    void SetUp() override
    {
        ASSERT_TRUE(vexcam::hasGenicamSupport());
        objectsBefore = vexcam::genicamLiveObjects();
        vexcam::Rig rig;
        rig.genicam = vexcam::GenicamSpec{{"Fake"}};
        vexcam::installRig(rig);
        ASSERT_TRUE(Vexlib::InitLibrary()) << vexcam::lastInitError();
        Grabber lister;
        auto devices = lister.getAvailableVideoCaptureDevices_();
        ASSERT_TRUE(devices);
        ASSERT_EQ(devices->size(), 1u);
        device = (*devices)[0].c_str();
    }

    void TearDown() override
    {
        Vexlib::ExitLibrary();
        vexcam::clearInstalledRig();
        EXPECT_EQ(vexcam::liveGrabbers(), 0);
        EXPECT_EQ(vexcam::lockedBuffers(), 0);
        EXPECT_EQ(vexcam::runningStreams(), 0);
        EXPECT_EQ(vexcam::genicamLiveObjects(), objectsBefore);
    }

    // Live in `format` until `frames` frames came.
    void acquire(Grabber& grabber, Frames& frames, const char* format, vexcam::PixelLayout layout, std::size_t count,
                 double fps = 0.0)
    {
        ASSERT_TRUE(grabber.openDev(Vexlib::dstringa(device.c_str())));
        ASSERT_TRUE(grabber.setVideoFormat(Vexlib::dstringa(format))) << format;
        if (fps > 0.0) {
            ASSERT_TRUE(grabber.setFPS(fps));
        }
        const auto sink = makeSink(vexcam::layoutSubtype(layout));
        ASSERT_TRUE(grabber.setSinkType(Vexlib::refcount_ptr_wrapper<Vexlib::GrabberSinkType>(sink)));
        sink->setSnapMode(false);
        ASSERT_TRUE(grabber.addListener(&frames, Vexlib::eALL));
        ASSERT_TRUE(grabber.startLive(false));
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (frames.count() < count && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
        EXPECT_TRUE(grabber.stopLive());
    }

    std::int64_t objectsBefore = 0;
    std::string device;
};

TEST_F(GenicamTest, DiscoveryListsTheFakeCameraWithItsFormats)
{
    Grabber grabber;
    ASSERT_TRUE(grabber.openDev(Vexlib::dstringa(device.c_str())));
    EXPECT_NE(device.find("Fake"), std::string::npos);
    std::vector<std::string> formats;
    const auto list = grabber.getAvailableVideoFormats_(grabber.getVideoNorm());
    ASSERT_TRUE(list);
    for (const auto& format : *list) formats.emplace_back(format.c_str());
    EXPECT_EQ(formats, (std::vector<std::string>{"BY8 (2048x2048)", "Y800 (2048x2048)", "RGB24 (2048x2048)",
                                                 "Y16 (2048x2048)"}));
    auto descriptions = grabber.getAvailableVideoFormatDescs_(grabber.getVideoNorm());
    ASSERT_TRUE(descriptions);
    for (const auto& description : *descriptions) EXPECT_TRUE(description->isROIFormat());
}

struct FormatCase {
    const char* format;
    vexcam::PixelLayout layout;
};

class GenicamFormatTest : public GenicamTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(GenicamFormatTest, AcquiresWholeFramesOfTheRightSizeAndType)
{
    Grabber grabber;
    Frames frames;
    acquire(grabber, frames, GetParam().format, GetParam().layout, 10);
    ASSERT_GE(frames.numbers.size(), 10u);
    for (std::size_t i = 0; i < frames.numbers.size(); ++i) {
        EXPECT_EQ(frames.sizes[i], (std::pair<LONG, LONG>{320, 240}));
        EXPECT_EQ(frames.bits[i], vexcam::bitsPerPixel(GetParam().layout));
        if (i) {
            EXPECT_EQ(frames.numbers[i], frames.numbers[i - 1] + 1);
        }
    }
    // The fake camera's pattern is not flat.
    EXPECT_NE(std::count(frames.first.begin(), frames.first.end(), frames.first[0]), std::ptrdiff_t(frames.first.size()));
    EXPECT_EQ(vexcam::genicamFailedBuffers(), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, GenicamFormatTest,
                         ::testing::Values(FormatCase{"Y800 (320x240)", vexcam::PixelLayout::Gray8},
                                           FormatCase{"Y16 (320x240)", vexcam::PixelLayout::Gray16},
                                           FormatCase{"RGB24 (320x240)", vexcam::PixelLayout::Rgb24},
                                           FormatCase{"BY8 (320x240)", vexcam::PixelLayout::Rgb24}));

TEST_F(GenicamTest, WindowIsCroppedOnTheCameraAtThePartialScanOffset)
{
    Grabber grabber;
    ASSERT_TRUE(grabber.openDev(Vexlib::dstringa(device.c_str())));
    ASSERT_TRUE(grabber.getAvailableVCDProperties());
    grabber.closeDev();
    Frames frames;
    acquire(grabber, frames, "Y800 (320x240)", vexcam::PixelLayout::Gray8, 3);
    EXPECT_EQ(vexcam::genicamInteger(device, "OffsetX"), 0);
    EXPECT_EQ(vexcam::genicamInteger(device, "Width"), 320);
    EXPECT_EQ(vexcam::genicamInteger(device, "Height"), 240);
}

TEST_F(GenicamTest, FrameRateSetsTheCamerasRate)
{
    Grabber grabber;
    Frames frames;
    ASSERT_TRUE(grabber.openDev(Vexlib::dstringa(device.c_str())));
    ASSERT_TRUE(grabber.setVideoFormat(Vexlib::dstringa("Y800 (64x64)")));
    auto rates = grabber.getAvailableFPS_(grabber.getVideoFormat());
    ASSERT_TRUE(rates);
    ASSERT_GE(rates->size(), 6u);
    EXPECT_DOUBLE_EQ((*rates)[0], 1000.0);
    EXPECT_DOUBLE_EQ((*rates)[1], 500.0);
    const double rate = (*rates)[5]; // 31.25
    grabber.closeDev();
    acquire(grabber, frames, "Y800 (64x64)", vexcam::PixelLayout::Gray8, 1, rate);
    EXPECT_NEAR(*vexcam::genicamFloat(device, "AcquisitionFrameRate"), 31.25, 0.01);
}

// Frames per second from the arrival of the first frame to the last.
double arrivalRate(const Frames& frames)
{
    if (frames.stamps.size() < 2) return 0.0;
    const std::chrono::duration<double> span = frames.stamps.back() - frames.stamps.front();
    return static_cast<double>(frames.stamps.size() - 1) / span.count();
}

// A functional check, not a timing target: the grabber's frame rate, given as
// the 100-ns interval that the "FrameRate" property writes, shows in the
// frames' arrival. The adaptor gives a region-of-interest camera no such
// property and runs it at the highest rate, so this is checked here.
TEST_F(GenicamTest, FrameRateChangesTheMeasuredRate)
{
    Grabber grabber;
    ASSERT_TRUE(grabber.openDev(Vexlib::dstringa(device.c_str())));
    ASSERT_TRUE(grabber.setVideoFormat(Vexlib::dstringa("Y800 (64x64)")));
    const auto fps = grabber.getAvailableFPS_(grabber.getVideoFormat());
    const auto intervals = grabber.getAvailableFrameRates_(grabber.getVideoFormat());
    ASSERT_TRUE(fps && intervals);
    ASSERT_EQ(fps->size(), intervals->size());
    ASSERT_GE(fps->size(), 6u);
    ASSERT_DOUBLE_EQ((*fps)[4], 62.5);
    ASSERT_DOUBLE_EQ((*fps)[5], 31.25);
    EXPECT_EQ((*intervals)[5], 320000); // 1e7 / 31.25
    std::vector<double> measured;
    for (const std::size_t position : {std::size_t{5}, std::size_t{4}}) {
        Frames frames;
        ASSERT_TRUE(grabber.setFrameRate((*intervals)[position]));
        EXPECT_EQ(grabber.getFrameRate(), (*intervals)[position]);
        const auto sink = makeSink(vexcam::layoutSubtype(vexcam::PixelLayout::Gray8));
        ASSERT_TRUE(grabber.setSinkType(Vexlib::refcount_ptr_wrapper<Vexlib::GrabberSinkType>(sink)));
        sink->setSnapMode(false);
        ASSERT_TRUE(grabber.addListener(&frames, Vexlib::eALL));
        ASSERT_TRUE(grabber.startLive(false));
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (frames.count() < 16 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
        EXPECT_TRUE(grabber.stopLive());
        ASSERT_TRUE(grabber.removeListener(&frames));
        ASSERT_GE(frames.stamps.size(), 16u);
        EXPECT_NEAR(*vexcam::genicamFloat(device, "AcquisitionFrameRate"), (*fps)[position], 0.01);
        measured.push_back(arrivalRate(frames));
        EXPECT_NEAR(measured.back(), (*fps)[position], (*fps)[position] * 0.4);
    }
    EXPECT_GT(measured[1], measured[0] * 1.4);
}

// The fake camera's identifiers start near 65400: a few hundred frames cross
// the wrap, and the frame numbers must run on without a gap.
TEST_F(GenicamTest, FrameIdWrapLosesNoFrameAndRestartWorks)
{
    Grabber grabber;
    Frames frames;
    const auto wrapsBefore = vexcam::genicamFrameIdWraps();
    const auto missingBefore = vexcam::genicamMissingFrames();
    acquire(grabber, frames, "Y800 (32x32)", vexcam::PixelLayout::Gray8, 400);
    ASSERT_GE(frames.numbers.size(), 400u);
    EXPECT_GE(vexcam::genicamFrameIdWraps(), wrapsBefore + 1) << "the identifiers never crossed 65535";
    for (std::size_t i = 1; i < frames.numbers.size(); ++i) ASSERT_EQ(frames.numbers[i], frames.numbers[i - 1] + 1);
    EXPECT_EQ(vexcam::genicamMissingFrames(), missingBefore);
    Frames again;
    ASSERT_TRUE(grabber.removeListener(&frames));
    ASSERT_TRUE(grabber.addListener(&again, Vexlib::eALL));
    ASSERT_TRUE(grabber.startLive(false));
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (again.count() < 5 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(grabber.stopLive());
    EXPECT_GE(again.count(), 5u);
}

} // namespace
