// Frame rate of Aravis' in-process fake camera through the whole adaptor (a
// host session acquiring from a video input) against Aravis alone (a camera
// and a stream whose buffers are popped and pushed back), for the same pixel
// formats and sizes, in one run. Both free-run at the camera's maximum rate.
// The two take turns, format by format, over a few rounds, and the median of
// each is shown, so that a busy moment of a shared machine falls on both.
// Refuses to run outside a network namespace with only loopback (`unshare -n`).
#include "delivery_bench_support.h"
#include "support/network_namespace.h"
#include "vexcam/format_text.h"
#include "vexcam/genicam.h"

#include <arv.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct RateCase {
    const char* pixelFormat; // the camera's
    const char* format;      // the adaptor's
    std::int64_t frames;
};

constexpr RateCase kCases[] = {
    {"Mono8", "Y800 (640x480)", 600},
    {"Mono16", "Y16 (640x480)", 600},
    {"RGB8", "RGB24 (640x480)", 400},
    {"Mono8", "Y800 (2048x2048)", 100},
};
constexpr int kRounds = 3;

constexpr const char* kAdaptorDevice = "Aravis Fake 1";
constexpr int kRingBuffers = 8;

// Only the fake interface, before any discovery.
void selectFakeInterface()
{
    for (unsigned i = 0; i < arv_get_n_interfaces(); ++i) arv_disable_interface(arv_get_interface_id(i));
    arv_enable_interface("Fake");
}

void check(GError* error, const char* what)
{
    if (!error) return;
    const std::string message = std::string(what) + ": " + error->message;
    g_error_free(error);
    throw std::runtime_error(message);
}

vexcam::Size sizeOf(const char* format)
{
    const auto named = vexcam::parseFormatText(format);
    if (!named) throw std::runtime_error(std::string("not a format text: ") + format);
    return named->size;
}

// Both sides leave out the first ring's worth of frames: they go into fresh
// buffers whose first touch costs page faults on one side and not the other.
constexpr std::int64_t kWarmUpFrames = kRingBuffers;

// Frames per second from the first counted popped buffer to the last.
double streamRate(ArvCamera* camera, const RateCase& c, int width, int height)
{
    GError* error = nullptr;
    arv_camera_set_pixel_format_from_string(camera, c.pixelFormat, &error);
    check(error, "PixelFormat");
    arv_camera_set_region(camera, 0, 0, width, height, &error);
    check(error, "region");
    double low = 0.0, high = 0.0;
    arv_camera_get_frame_rate_bounds(camera, &low, &high, &error);
    check(error, "frame rate bounds");
    arv_camera_set_frame_rate(camera, high, &error);
    check(error, "AcquisitionFrameRate");
    const guint payload = arv_camera_get_payload(camera, &error);
    check(error, "payload");
    ArvStream* stream = arv_camera_create_stream(camera, nullptr, nullptr, &error);
    check(error, "stream");
    for (int i = 0; i < kRingBuffers; ++i) arv_stream_push_buffer(stream, arv_buffer_new(payload, nullptr));
    arv_camera_start_acquisition(camera, &error);
    check(error, "AcquisitionStart");
    std::chrono::steady_clock::time_point first, last;
    std::int64_t received = 0;
    const std::int64_t wanted = c.frames + kWarmUpFrames;
    for (std::int64_t tries = 0; received < wanted && tries < 4 * wanted; ++tries) {
        ArvBuffer* buffer = arv_stream_timeout_pop_buffer(stream, 1000000);
        if (!buffer) break;
        if (arv_buffer_get_status(buffer) == ARV_BUFFER_STATUS_SUCCESS) {
            last = std::chrono::steady_clock::now();
            if (received++ == kWarmUpFrames) first = last;
        }
        arv_stream_push_buffer(stream, buffer);
    }
    arv_camera_stop_acquisition(camera, nullptr);
    g_object_unref(stream);
    if (received < kWarmUpFrames + 2) return 0.0;
    return static_cast<double>(received - kWarmUpFrames - 1) / std::chrono::duration<double>(last - first).count();
}

double aravisRate(const std::string& cameraId, const RateCase& c)
{
    GError* error = nullptr;
    ArvCamera* camera = arv_camera_new(cameraId.c_str(), &error);
    check(error, "camera");
    const auto size = sizeOf(c.format);
    try {
        const double rate = streamRate(camera, c, size.cx, size.cy);
        g_object_unref(camera);
        return rate;
    } catch (...) {
        g_object_unref(camera);
        throw;
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The adaptor gives a region-of-interest camera no "FrameRate" property: it
// runs at the highest rate of the format, which the camera then shows.
double adaptorRate(imaqhost::Session& session, const RateCase& c)
{
    const auto input = session.open(kAdaptorDevice, c.format);
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
        selectFakeInterface();
        arv_update_device_list();
        if (arv_get_n_devices() < 1) throw std::runtime_error("the fake camera was not found");
        const std::string cameraId = arv_get_device_id(0);
        vexcam::Rig rig;
        rig.genicam = vexcam::GenicamSpec{{"Fake"}};
        orx::bench::ThroughputSettings settings;
        orx::bench::InstalledRig installed(rig);
        imaqhost::Session session(orx::test::coreEntryPoints());
        session.discover();
        std::vector<std::vector<double>> through(std::size(kCases)), alone(std::size(kCases));
        for (int round = 0; round < kRounds; ++round)
            for (std::size_t i = 0; i < std::size(kCases); ++i) {
                alone[i].push_back(aravisRate(cameraId, kCases[i]));
                through[i].push_back(adaptorRate(session, kCases[i]));
            }
        std::printf("%-18s %-8s %7s %14s %14s %7s\n", "format", "camera", "frames", "adaptor fps", "Aravis fps",
                    "ratio");
        for (std::size_t i = 0; i < std::size(kCases); ++i) {
            const auto& c = kCases[i];
            const double a = median(through[i]), b = median(alone[i]);
            std::printf("%-18s %-8s %7lld %14.1f %14.1f %7.3f\n", c.format, c.pixelFormat,
                        static_cast<long long>(c.frames), a, b, b > 0 ? a / b : 0.0);
        }
        const auto rate = vexcam::genicamFloat(kAdaptorDevice, "AcquisitionFrameRate");
        std::printf("AcquisitionFrameRate set by the adaptor: %.2f\n", rate ? *rate : 0.0);
        std::printf("median of %d rounds; failed or incomplete buffers through the adaptor: %lld\n", kRounds,
                    static_cast<long long>(vexcam::genicamFailedBuffers()));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "genicam_rate_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
