// A GError that is freed when it goes out of scope, for the backends built on
// GLib (GenICam through Aravis, GStreamer). Every call that can fail takes an
// ErrorSlot, so that no failure goes unseen and none ends the process.
#pragma once

#include <glib.h>

#include <string>

namespace vexcam {

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

} // namespace vexcam
