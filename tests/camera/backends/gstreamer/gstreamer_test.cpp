// The library against GStreamer's own test source (videotestsrc): devices
// from pipelines, formats from caps, frames equal to those the same pipeline
// gives an appsink of the test's own, rates, the end of a stream, and no
// GStreamer object left behind. Runs only inside a network namespace that
// has no interface but loopback (`unshare -n`).
#include "platform/vexlib.h"
#include "common/task_mem.h"
#include "vexcam/gstreamer.h"
#include "vexcam/pixel_layout.h"
#include "vexcam/vexcam.h"
#include "support/network_namespace.h"

#include "direct_pull.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Vexlib::Grabber;
using Vexlib::refcount_ptr;

constexpr const char* kBars = "videotestsrc pattern=smpte is-live=true";
constexpr const char* kGradient = "videotestsrc pattern=gradient is-live=true";

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
        if (first.empty()) first.assign(buffer->getPtr(), buffer->getPtr() + buffer->getBufferSize());
    }
    void deviceLost(Grabber&) override { lost = true; }
    std::size_t count()
    {
        std::lock_guard lock(mutex);
        return numbers.size();
    }
    // Frames per second over the arrivals after the first `settle`.
    double rate(std::size_t settle)
    {
        std::lock_guard lock(mutex);
        if (stamps.size() < settle + 2) return 0.0;
        const std::chrono::duration<double> span = stamps.back() - stamps[settle];
        return double(stamps.size() - settle - 1) / span.count();
    }
    std::mutex mutex;
    std::vector<std::uint32_t> numbers;
    std::vector<std::chrono::steady_clock::time_point> stamps;
    std::vector<std::pair<LONG, LONG>> sizes;
    std::vector<std::int32_t> bits;
    std::vector<BYTE> first;
    std::atomic<bool> lost{false};
};

refcount_ptr<Vexlib::FrameHandlerSink> makeSink(vexcam::PixelLayout layout)
{
    Vexlib::FrameHandlerSink::tCreateData data{};
    data.bufferCount = 4;
    auto types = orx::TaskMem<Vexlib::FrameTypeInfo>::allocate(1);
    types.get()[0] = Vexlib::FrameTypeInfo{vexcam::layoutSubtype(layout), 0, 0, 0};
    data.frameTypes = {types.get(), 1};
    return Vexlib::FrameHandlerSink::create(data);
}

vexcam::Rig rigOf(std::vector<vexcam::GstreamerPipelineSpec> pipelines)
{
    vexcam::Rig rig;
    rig.gstreamer = vexcam::GstreamerSpec{std::move(pipelines), false};
    return rig;
}

std::vector<std::string> formatsOf(Grabber& grabber)
{
    std::vector<std::string> formats;
    const auto list = grabber.getAvailableVideoFormats_(grabber.getVideoNorm());
    if (list)
        for (const auto& format : *list) formats.emplace_back(format.c_str());
    return formats;
}

class GstreamerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(orx::test::onlyLoopback()) << "run under unshare -n"; }

    void SetUp() override
    {
        ASSERT_TRUE(vexcam::hasGstreamerSupport());
        objectsBefore_ = vexcam::gstreamerLiveObjects();
    }

    void TearDown() override
    {
        if (initialised_) Vexlib::ExitLibrary();
        vexcam::clearInstalledRig();
        EXPECT_EQ(vexcam::liveGrabbers(), 0);
        EXPECT_EQ(vexcam::lockedBuffers(), 0);
        EXPECT_EQ(vexcam::runningStreams(), 0);
        EXPECT_EQ(vexcam::gstreamerLiveObjects(), objectsBefore_) << "GStreamer objects outlived the library";
    }

    void init(std::vector<vexcam::GstreamerPipelineSpec> pipelines)
    {
        vexcam::installRig(rigOf(std::move(pipelines)));
        ASSERT_TRUE(Vexlib::InitLibrary()) << vexcam::lastInitError();
        initialised_ = true;
    }

    // Live in `format` until `count` frames came (or the device was lost).
    void acquire(Grabber& grabber, Frames& frames, const std::string& device, const std::string& format,
                 vexcam::PixelLayout layout, std::size_t count, double fps = 0.0)
    {
        ASSERT_TRUE(grabber.openDev(Vexlib::dstringa(device.c_str()))) << device;
        ASSERT_TRUE(grabber.setVideoFormat(Vexlib::dstringa(format.c_str()))) << format;
        if (fps > 0.0) {
            ASSERT_TRUE(grabber.setFPS(fps)) << fps;
        }
        const auto sink = makeSink(layout);
        ASSERT_TRUE(grabber.setSinkType(Vexlib::refcount_ptr_wrapper<Vexlib::GrabberSinkType>(sink)));
        sink->setSnapMode(false);
        ASSERT_TRUE(grabber.addListener(&frames, Vexlib::eALL));
        ASSERT_TRUE(grabber.startLive(false)) << format;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (frames.count() < count && !frames.lost && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(2ms);
        grabber.stopLive();
        grabber.removeListener(&frames);
    }

    std::int64_t objectsBefore_ = 0;
    bool initialised_ = false;
};

// Named pipelines and unnamed ones (named by their text) are devices in rig
// order; a pipeline that does not parse, or has no output, is a device that
// does not open.
TEST_F(GstreamerTest, ConfiguredPipelinesAreDevicesAndBadOnesDoNotOpen)
{
    init({{"Test Ball", "videotestsrc pattern=ball is-live=true"},
          {"", kBars},
          {"Broken", "videotestsrc ! no-such-element-here"},
          {"Closed", "videotestsrc ! fakesink"}});
    Grabber grabber;
    const auto devices = grabber.getAvailableVideoCaptureDevices_();
    ASSERT_TRUE(devices);
    std::vector<std::string> names;
    for (const auto& device : *devices) names.emplace_back(device.c_str());
    EXPECT_EQ(names, (std::vector<std::string>{"Test Ball", kBars, "Broken", "Closed"}));
    EXPECT_TRUE(grabber.openDev(Vexlib::dstringa("Test Ball")));
    const auto formats = formatsOf(grabber);
    for (const char* format : {"RGB24 (640x480)", "RGB32 (1920x1080)", "Y800 (160x120)", "Y16 (1280x720)"})
        EXPECT_NE(std::find(formats.begin(), formats.end(), format), formats.end()) << format;
    EXPECT_FALSE(grabber.openDev(Vexlib::dstringa("Broken")));
    EXPECT_FALSE(grabber.openDev(Vexlib::dstringa("Closed")));
}

// ORX_GSTREAMER_PIPELINES adds its pipelines after the rig's: entries
// split at ';' and newlines, "[Name] pipeline" or the pipeline alone,
// blank entries ignored.
TEST_F(GstreamerTest, EnvironmentPipelinesFollowTheRigs)
{
    setenv("ORX_GSTREAMER_PIPELINES", " [Named One] videotestsrc is-live=true ;\n; videotestsrc pattern=ball\n", 1);
    init({{"From Rig", kBars}});
    unsetenv("ORX_GSTREAMER_PIPELINES");
    Grabber grabber;
    const auto devices = grabber.getAvailableVideoCaptureDevices_();
    ASSERT_TRUE(devices);
    std::vector<std::string> names;
    for (const auto& device : *devices) names.emplace_back(device.c_str());
    EXPECT_EQ(names, (std::vector<std::string>{"From Rig", "Named One", "videotestsrc pattern=ball"}));
    EXPECT_TRUE(grabber.openDev(Vexlib::dstringa("Named One")));
}

// Fixed caps become exactly their formats: a YUV source is offered as RGB24
// and Y800 through the converter, at its one size, with its one rate.
TEST_F(GstreamerTest, FixedYuvCapsBecomeColourAndGreyFormatsAtTheirSize)
{
    init({{"Yuv", "videotestsrc is-live=true ! video/x-raw,format=YUY2,width=320,height=240,framerate=25/1"}});
    Grabber grabber;
    ASSERT_TRUE(grabber.openDev(Vexlib::dstringa("Yuv")));
    EXPECT_EQ(formatsOf(grabber), (std::vector<std::string>{"RGB24 (320x240)", "Y800 (320x240)"}));
    ASSERT_TRUE(grabber.setVideoFormat(Vexlib::dstringa("RGB24 (320x240)")));
    EXPECT_TRUE(grabber.setFPS(25.0));
    EXPECT_FALSE(grabber.setFPS(30.0));
}

struct FormatCase {
    const char* pipeline;
    const char* format;
    vexcam::PixelLayout layout;
    const char* caps; // what the test's own appsink asks for
    const char* decoder = nullptr; // between the pipeline and the test's converter
};

class GstreamerFormatTest : public GstreamerTest, public ::testing::WithParamInterface<FormatCase> {};

// The frames have the format's size and type, and their pixels are those
// the same pipeline gives an appsink of the test's own.
TEST_P(GstreamerFormatTest, FramesEqualThePipelinesOwn)
{
    const auto& param = GetParam();
    init({{"Device", param.pipeline}});
    Grabber grabber;
    Frames frames;
    acquire(grabber, frames, "Device", param.format, param.layout, 3);
    ASSERT_GE(frames.count(), 3u);
    int width = 0, height = 0;
    ASSERT_EQ(std::sscanf(std::strchr(param.format, '(') + 1, "%dx%d", &width, &height), 2);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(frames.sizes[i], (std::pair<LONG, LONG>{width, height}));
        EXPECT_EQ(frames.bits[i], vexcam::bitsPerPixel(param.layout));
    }
    const std::string direct = param.decoder ? std::string(param.pipeline) + " ! " + param.decoder : param.pipeline;
    auto expected = orx::test::pullFirstFrame(direct, param.caps);
    if (param.layout == vexcam::PixelLayout::Rgb32)
        for (std::size_t i = 3; i < expected.size(); i += 4) expected[i] = 0xFF;
    ASSERT_EQ(frames.first.size(), expected.size());
    EXPECT_TRUE(frames.first == expected) << "the first frame differs from the pipeline's own";
}

INSTANTIATE_TEST_SUITE_P(
    Formats, GstreamerFormatTest,
    ::testing::Values(
        FormatCase{kBars, "Y800 (640x480)", vexcam::PixelLayout::Gray8, "video/x-raw,format=GRAY8,width=640,height=480"},
        FormatCase{kBars, "RGB24 (640x480)", vexcam::PixelLayout::Rgb24, "video/x-raw,format=BGR,width=640,height=480"},
        FormatCase{kBars, "RGB32 (320x240)", vexcam::PixelLayout::Rgb32, "video/x-raw,format=BGRx,width=320,height=240"},
        FormatCase{kGradient, "Y16 (640x480)", vexcam::PixelLayout::Gray16,
                   "video/x-raw,format=GRAY16_LE,width=640,height=480"},
        // Rows of 321 grey or RGB pixels are padded to a multiple of 4 bytes in GStreamer's buffers.
        FormatCase{kBars, "Y800 (321x241)", vexcam::PixelLayout::Gray8, "video/x-raw,format=GRAY8,width=321,height=241"},
        FormatCase{kBars, "RGB24 (321x240)", vexcam::PixelLayout::Rgb24, "video/x-raw,format=BGR,width=321,height=240"},
        // A grey format delivered into a colour sink goes through the converter.
        FormatCase{kBars, "Y800 (640x480)", vexcam::PixelLayout::Rgb32, "video/x-raw,format=BGRx,width=640,height=480"},
        // MJPEG, decoded on the way.
        FormatCase{"videotestsrc pattern=smpte is-live=true ! video/x-raw,width=320,height=240 ! jpegenc",
                   "RGB24 (320x240)", vexcam::PixelLayout::Rgb24, "video/x-raw,format=BGR,width=320,height=240",
                   "jpegdec"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// Every format the test source offers starts and delivers frames of its size.
TEST_F(GstreamerTest, EveryOfferedFormatDeliversFramesOfItsSize)
{
    init({{"Bars", kBars}});
    Grabber lister;
    ASSERT_TRUE(lister.openDev(Vexlib::dstringa("Bars")));
    const auto formats = formatsOf(lister);
    ASSERT_GE(formats.size(), 16u);
    for (const auto& format : formats) {
        Grabber grabber;
        Frames frames;
        const auto layout = vexcam::nativeLayout(format.substr(0, format.find(' ')));
        acquire(grabber, frames, "Bars", format, layout, 2);
        ASSERT_GE(frames.count(), 2u) << format;
        const std::string size = std::to_string(frames.sizes[0].first) + "x" + std::to_string(frames.sizes[0].second);
        EXPECT_NE(format.find("(" + size + ")"), std::string::npos) << format;
    }
}

// The rate set on the grabber is the rate at which frames arrive.
TEST_F(GstreamerTest, FrameRateChangesAreMeasuredInTheArrivals)
{
    init({{"Bars", kBars}});
    for (const double fps : {30.0, 10.0}) {
        Grabber grabber;
        Frames frames;
        acquire(grabber, frames, "Bars", "Y800 (320x240)", vexcam::PixelLayout::Gray8, 16, fps);
        EXPECT_NEAR(frames.rate(2), fps, fps * 0.15) << fps;
        // Numbered from 0 without a gap on an idle sink.
        EXPECT_EQ(frames.numbers.front(), 0u);
    }
}

// The end of the stream while live is a lost device, after the frames
// that came before it.
TEST_F(GstreamerTest, EndOfStreamWhileLiveIsALostDevice)
{
    init({{"Five", "videotestsrc is-live=true num-buffers=5"}});
    Grabber grabber;
    Frames frames;
    acquire(grabber, frames, "Five", "Y800 (320x240)", vexcam::PixelLayout::Gray8, 100);
    EXPECT_TRUE(frames.lost);
    EXPECT_EQ(frames.count(), 5u);
}

// A still picture of 64x48 read by a decoder that claims every size: asking
// for 320x240 fails in caps negotiation, and the start is refused with
// GStreamer's reason; a device that cannot open its file is refused too.
TEST_F(GstreamerTest, CapsNegotiationFailureAndAMissingFileRefuseTheStart)
{
    const std::string picture = ::testing::TempDir() + "gstreamer_test_64x48.jpg";
    const std::string make = "videotestsrc num-buffers=1 ! video/x-raw,width=64,height=48 ! jpegenc ! filesink location=" + picture;
    gst_init(nullptr, nullptr);
    GError* error = nullptr;
    GstElement* writer = gst_parse_launch(make.c_str(), &error);
    ASSERT_TRUE(writer && !error);
    gst_element_set_state(writer, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(writer);
    if (GstMessage* done = gst_bus_timed_pop_filtered(bus, 5 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)))
        gst_message_unref(done);
    gst_object_unref(bus);
    gst_element_set_state(writer, GST_STATE_NULL);
    gst_object_unref(writer);

    init({{"Still", "filesrc location=" + picture + " ! jpegdec"}, {"Missing", "filesrc location=/nonexistent/x.jpg ! jpegdec"}});
    for (const char* device : {"Still", "Missing"}) {
        Grabber grabber;
        ASSERT_TRUE(grabber.openDev(Vexlib::dstringa(device))) << device;
        ASSERT_TRUE(grabber.setVideoFormat(Vexlib::dstringa("Y800 (320x240)"))) << device;
        const auto sink = makeSink(vexcam::PixelLayout::Gray8);
        ASSERT_TRUE(grabber.setSinkType(Vexlib::refcount_ptr_wrapper<Vexlib::GrabberSinkType>(sink)));
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(grabber.startLive(false)) << device;
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(grabber.isLive());
        EXPECT_NE(said.find(std::string(device) + " cannot stream: "), std::string::npos) << said;
        if (std::string(device) == "Still") {
            EXPECT_NE(said.find("not-negotiated"), std::string::npos) << said;
        }
    }
    std::remove(picture.c_str());
}

// Repeated starts and stops reuse the device's pipeline and leave no
// GStreamer object behind (TearDown checks the count after the library ends).
TEST_F(GstreamerTest, StartStopCyclesLeaveNoObjectBehind)
{
    init({{"Bars", kBars}});
    std::int64_t between = -1;
    for (int cycle = 0; cycle < 5; ++cycle) {
        Grabber grabber;
        Frames frames;
        acquire(grabber, frames, "Bars", cycle % 2 ? "RGB24 (320x240)" : "Y800 (640x480)",
                cycle % 2 ? vexcam::PixelLayout::Rgb24 : vexcam::PixelLayout::Gray8, 2);
        ASSERT_GE(frames.count(), 2u);
        EXPECT_EQ(frames.numbers.front(), 0u) << "each start numbers from 0";
        if (between >= 0) {
            EXPECT_EQ(vexcam::gstreamerLiveObjects(), between) << "cycle " << cycle;
        }
        between = vexcam::gstreamerLiveObjects();
    }
}

// Two grabbers cannot stream one pipeline at once; the second start is refused.
TEST_F(GstreamerTest, ASecondGrabberOnAStreamingDeviceIsRefused)
{
    init({{"Bars", kBars}});
    Grabber first, second;
    Frames frames;
    ASSERT_TRUE(first.openDev(Vexlib::dstringa("Bars")));
    ASSERT_TRUE(first.setVideoFormat(Vexlib::dstringa("Y800 (320x240)")));
    const auto sink = makeSink(vexcam::PixelLayout::Gray8);
    ASSERT_TRUE(first.setSinkType(Vexlib::refcount_ptr_wrapper<Vexlib::GrabberSinkType>(sink)));
    ASSERT_TRUE(first.startLive(false));
    ASSERT_TRUE(second.openDev(Vexlib::dstringa("Bars")));
    ASSERT_TRUE(second.setVideoFormat(Vexlib::dstringa("Y800 (320x240)")));
    const auto otherSink = makeSink(vexcam::PixelLayout::Gray8);
    ASSERT_TRUE(second.setSinkType(Vexlib::refcount_ptr_wrapper<Vexlib::GrabberSinkType>(otherSink)));
    EXPECT_FALSE(second.startLive(false));
    first.stopLive();
    EXPECT_TRUE(second.startLive(false)) << "free again once the first stopped";
    second.stopLive();
}

} // namespace
