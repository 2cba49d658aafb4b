// Frame rate of a GStreamer test source through the whole adaptor (a host
// session acquiring from a video input) against the same pipeline pulled
// directly through an appsink (each frame copied out once, as the library
// does), for the same formats and sizes, in one run: once with the source
// live at 60 frames per second (as a camera is), once not live, so that both
// run as fast as the machine lets them. The two take turns, format by
// format, over a few rounds, and the median of each is shown.
// Refuses to run outside a network namespace with only loopback (`unshare -n`).
#include "delivery_bench_support.h"
#include "support/network_namespace.h"
#include "vexcam/gstreamer.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct RateCase {
    const char* format;   // the adaptor's
    const char* caps;     // the direct pipeline's
    std::int64_t frames;
};

constexpr const char* kFree = "videotestsrc pattern=smpte";
constexpr const char* kLive = "videotestsrc pattern=smpte is-live=true";
constexpr RateCase kCases[] = {
    {"Y800 (640x480)", "format=GRAY8,width=640,height=480", 600},
    {"RGB24 (640x480)", "format=BGR,width=640,height=480", 400},
    {"Y800 (1920x1080)", "format=GRAY8,width=1920,height=1080", 150},
    {"RGB24 (1920x1080)", "format=BGR,width=1920,height=1080", 100},
};
constexpr int kRounds = 3;
constexpr std::int64_t kWarmUpFrames = 8;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The pipeline as the library builds it, read by the bench itself.
double directRate(const char* source, const RateCase& c)
{
    const std::string text = std::string(source) + " ! video/x-raw,framerate=60/1 ! videoconvert ! video/x-raw," +
                             c.caps + " ! appsink name=sink sync=false";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(text.c_str(), &error);
    if (error) {
        const std::string message = error->message;
        g_error_free(error);
        throw std::runtime_error("direct pipeline: " + message);
    }
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    std::vector<std::uint8_t> copy;
    std::chrono::steady_clock::time_point first, last;
    std::int64_t received = 0;
    while (received < c.frames + kWarmUpFrames) {
        GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), GST_SECOND);
        if (!sample) break;
        GstMapInfo map;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            copy.resize(map.size);
            std::memcpy(copy.data(), map.data, map.size);
            gst_buffer_unmap(buffer, &map);
        }
        gst_sample_unref(sample);
        last = std::chrono::steady_clock::now();
        if (received++ == kWarmUpFrames) first = last;
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    if (received < kWarmUpFrames + 2) return 0.0;
    return static_cast<double>(received - kWarmUpFrames - 1) / std::chrono::duration<double>(last - first).count();
}

double adaptorRate(imaqhost::Session& session, const char* source, const RateCase& c)
{
    const auto input = session.open(source, c.format);
    return orx::bench::rateAfterWarmUp(*input, c.frames, kWarmUpFrames);
}

} // namespace

int main()
{
    if (!orx::test::onlyLoopback()) {
        std::fprintf(stderr, "network interfaces other than loopback are present: run under unshare -n\n");
        return 2;
    }
    try {
        gst_init(nullptr, nullptr);
        vexcam::Rig rig;
        rig.gstreamer = vexcam::GstreamerSpec{{{"", kFree}, {"", kLive}}, false};
        orx::bench::ThroughputSettings settings;
        orx::bench::InstalledRig installed(rig);
        imaqhost::Session session(orx::test::coreEntryPoints());
        session.discover();
        std::printf("%-6s %-18s %7s %14s %14s %7s\n", "source", "format", "frames", "adaptor fps", "appsink fps",
                    "ratio");
        for (const char* source : {kLive, kFree}) {
            const bool live = source == kLive;
            std::vector<std::vector<double>> through(std::size(kCases)), alone(std::size(kCases));
            const auto lostBefore = vexcam::gstreamerLostFrames();
            for (int round = 0; round < kRounds; ++round)
                for (std::size_t i = 0; i < std::size(kCases); ++i) {
                    RateCase c = kCases[i];
                    if (live) c.frames = std::min<std::int64_t>(c.frames, 120); // 2 s at 60 frames/s
                    alone[i].push_back(directRate(source, c));
                    through[i].push_back(adaptorRate(session, source, c));
                }
            for (std::size_t i = 0; i < std::size(kCases); ++i) {
                const auto& c = kCases[i];
                const double a = median(through[i]), b = median(alone[i]);
                std::printf("%-6s %-18s %7lld %14.1f %14.1f %7.3f\n", live ? "live" : "free", c.format,
                            static_cast<long long>(live ? std::min<std::int64_t>(c.frames, 120) : c.frames), a, b,
                            b > 0 ? a / b : 0.0);
            }
            std::printf("%s: median of %d rounds; frames lost between the source and the library: %lld\n",
                        live ? "live" : "free", kRounds,
                        static_cast<long long>(vexcam::gstreamerLostFrames() - lostBefore));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "gstreamer_rate_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
