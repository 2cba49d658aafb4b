// Ownership of GLib objects: one reference to a GObject, and a GError that
// is freed when it goes out of scope. Every Aravis call that can fail takes
// an ErrorSlot, so that no failure goes unseen and none ends the process.
#pragma once

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

class ErrorSlot {
public:
    ErrorSlot() = default;
    ErrorSlot(const ErrorSlot&) = delete;
    ErrorSlot& operator=(const ErrorSlot&) = delete;
    ~ErrorSlot() { clear(); }

    GError** out()
    {
        clear();
        return &error_;
    }
    bool failed() const noexcept { return error_ != nullptr; }
    std::string message() const { return error_ && error_->message ? error_->message : "unknown error"; }
    void clear()
    {
        if (error_) g_error_free(error_);
        error_ = nullptr;
    }

private:
    GError* error_ = nullptr;
};

} // namespace vexcam::genicam
