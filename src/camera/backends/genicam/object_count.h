// How many of the Aravis objects that the library made are still alive. A
// weak reference counts each object down when GLib finalises it, so the
// count proves that the objects are really gone, not only released by us.
#pragma once

#include <arv.h>

#include <cstdint>

namespace vexcam::genicam {

void track(gpointer object);
std::int64_t liveObjects();

} // namespace vexcam::genicam
