// One open GenICam camera. Every feature access goes through here, under
// one lock: property writes from the host's thread may come while a stream
// runs. A failed access answers nothing (or false) and keeps Aravis' message
// as the last error; it never throws.
#pragma once

#include "gobject_ref.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vexcam::genicam {

template <class T>
struct Bounds {
    T min{};
    T max{};
};

class Camera {
public:
    // Null, with the reason in `why`, when the camera cannot be opened.
    static std::shared_ptr<Camera> open(const std::string& deviceId, std::string& why);
    explicit Camera(GRef<ArvCamera> camera);

    bool has(const char* feature);
    std::optional<std::int64_t> integer(const char* feature);
    std::optional<Bounds<std::int64_t>> integerBounds(const char* feature);
    std::int64_t increment(const char* feature);
    std::optional<double> real(const char* feature);
    std::optional<Bounds<double>> realBounds(const char* feature);
    std::optional<std::string> text(const char* feature);
    std::optional<bool> flag(const char* feature);
    std::vector<std::string> pixelFormats();

    bool setInteger(const char* feature, std::int64_t value);
    bool setReal(const char* feature, double value);
    bool setText(const char* feature, const char* value);
    bool setFlag(const char* feature, bool value);
    bool execute(const char* feature);

    // Runs `action(ArvCamera*, ArvGc*)` under the lock.
    template <class Action>
    decltype(auto) withCamera(Action&& action)
    {
        std::lock_guard lock(mutex_);
        return action(camera_.get(), genicam_);
    }

    std::string lastError() const;

private:
    bool succeeded(ErrorSlot& error);

    mutable std::mutex mutex_;
    GRef<ArvCamera> camera_;
    ArvGc* genicam_ = nullptr; // owned by the camera's device
    std::string lastError_;
};

} // namespace vexcam::genicam
