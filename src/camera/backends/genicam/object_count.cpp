#include "object_count.h"

#include <atomic>

namespace vexcam::genicam {
namespace {

std::atomic<std::int64_t> gLive{0};

void finalised(gpointer, GObject*) { --gLive; }

} // namespace

void track(gpointer object)
{
    if (!object) return;
    ++gLive;
    g_object_weak_ref(G_OBJECT(object), finalised, nullptr);
}

std::int64_t liveObjects() { return gLive; }

} // namespace vexcam::genicam
