// Ownership of GLib objects: one reference to a GObject. Every Aravis call
// that can fail takes an ErrorSlot (glib_error_slot.h).
#pragma once

#include "glib_error_slot.h"

#include <arv.h>

#include <string>
#include <utility>

namespace vexcam::genicam {

template <class T>
class GRef {
public:
    GRef() = default;
    explicit GRef(T* owned) : object_(owned) {}
    GRef(GRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GRef& operator=(GRef&& other) noexcept
    {
        if (this != &other) reset(std::exchange(other.object_, nullptr));
        return *this;
    }
    GRef(const GRef&) = delete;
    GRef& operator=(const GRef&) = delete;
    ~GRef() { reset(); }

    void reset(T* owned = nullptr)
    {
        if (object_) g_object_unref(object_);
        object_ = owned;
    }
    T* get() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

} // namespace vexcam::genicam
