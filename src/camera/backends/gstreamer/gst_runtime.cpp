// GStreamer's process-wide start, and the count of the objects the library
// made: a weak reference counts each object down when GLib finalises it, so
// the count proves that they are really gone, not only released by us.
#include "gst_ref.h"

#include <atomic>
#include <mutex>

namespace vexcam::gst {
namespace {

std::atomic<std::int64_t> gLive{0};

void finalised(gpointer, GObject*) { --gLive; }

} // namespace

std::string initialise()
{
    static std::once_flag once;
    static std::string problem;
    std::call_once(once, [] {
        ErrorSlot error;
        if (!gst_init_check(nullptr, nullptr, error.out()))
            problem = "GStreamer does not start: " + error.message();
    });
    return problem;
}

void track(gpointer object)
{
    if (!object) return;
    ++gLive;
    g_object_weak_ref(G_OBJECT(object), finalised, nullptr);
}

std::int64_t liveObjects() { return gLive; }

} // namespace vexcam::gst
