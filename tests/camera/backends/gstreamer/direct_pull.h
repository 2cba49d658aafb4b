// The test's own reading of a pipeline: the first frame through an appsink
// of ours, rows packed, to compare with what the library delivers.
#pragma once

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace orx::test {

inline std::vector<std::uint8_t> pullFirstFrame(const std::string& pipeline, const std::string& caps)
{
    gst_init(nullptr, nullptr);
    const std::string text = pipeline + " ! videoconvert ! " + caps + " ! appsink name=sink sync=false";
    GError* error = nullptr;
    GstElement* whole = gst_parse_launch(text.c_str(), &error);
    if (error) g_error_free(error);
    std::vector<std::uint8_t> pixels;
    if (!whole) return pixels;
    GstElement* sink = gst_bin_get_by_name(GST_BIN(whole), "sink");
    gst_element_set_state(whole, GST_STATE_PLAYING);
    if (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 5 * GST_SECOND)) {
        GstVideoInfo info;
        GstVideoFrame frame;
        if (gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) &&
            gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) {
            const auto* in = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
            const std::size_t stride = std::size_t(GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0));
            const std::size_t row = std::size_t(GST_VIDEO_INFO_WIDTH(&info)) * GST_VIDEO_INFO_COMP_PSTRIDE(&info, 0);
            for (int y = 0; y < GST_VIDEO_INFO_HEIGHT(&info); ++y)
                pixels.insert(pixels.end(), in + std::size_t(y) * stride, in + std::size_t(y) * stride + row);
            gst_video_frame_unmap(&frame);
        }
        gst_sample_unref(sample);
    }
    gst_element_set_state(whole, GST_STATE_NULL);
    gst_object_unref(sink);
    gst_object_unref(whole);
    return pixels;
}

} // namespace orx::test
