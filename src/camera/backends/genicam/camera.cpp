#include "camera.h"

#include "object_count.h"

namespace vexcam::genicam {

std::shared_ptr<Camera> Camera::open(const std::string& deviceId, std::string& why)
{
    ErrorSlot error;
    GRef<ArvCamera> camera(arv_camera_new(deviceId.c_str(), error.out()));
    if (error.failed() || !camera) {
        why = error.message();
        return nullptr;
    }
    track(camera.get());
    // Without this the camera silently accepts values outside its bounds.
    arv_camera_set_range_check_policy(camera.get(), ARV_RANGE_CHECK_POLICY_ENABLE);
    return std::make_shared<Camera>(std::move(camera));
}

Camera::Camera(GRef<ArvCamera> camera) : camera_(std::move(camera))
{
    ArvDevice* device = arv_camera_get_device(camera_.get());
    genicam_ = device ? arv_device_get_genicam(device) : nullptr;
}

bool Camera::succeeded(ErrorSlot& error)
{
    if (!error.failed()) return true;
    lastError_ = error.message();
    return false;
}

bool Camera::has(const char* feature)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    const bool available = arv_camera_is_feature_available(camera_.get(), feature, error.out());
    return !error.failed() && available;
}

std::optional<std::int64_t> Camera::integer(const char* feature)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    const gint64 value = arv_camera_get_integer(camera_.get(), feature, error.out());
    if (!succeeded(error)) return std::nullopt;
    return value;
}

std::optional<Bounds<std::int64_t>> Camera::integerBounds(const char* feature)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    gint64 min = 0, max = 0;
    arv_camera_get_integer_bounds(camera_.get(), feature, &min, &max, error.out());
    if (!succeeded(error)) return std::nullopt;
    return Bounds<std::int64_t>{min, max};
}

std::int64_t Camera::increment(const char* feature)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    const gint64 step = arv_camera_get_integer_increment(camera_.get(), feature, error.out());
    return !error.failed() && step > 0 ? step : 1;
}

std::optional<double> Camera::real(const char* feature)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    const double value = arv_camera_get_float(camera_.get(), feature, error.out());
    if (!succeeded(error)) return std::nullopt;
    return value;
}

std::optional<Bounds<double>> Camera::realBounds(const char* feature)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    double min = 0, max = 0;
    arv_camera_get_float_bounds(camera_.get(), feature, &min, &max, error.out());
    if (!succeeded(error)) return std::nullopt;
    return Bounds<double>{min, max};
}

std::optional<std::string> Camera::text(const char* feature)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    const char* value = arv_camera_get_string(camera_.get(), feature, error.out());
    if (!succeeded(error) || !value) return std::nullopt;
    return std::string(value);
}

std::optional<bool> Camera::flag(const char* feature)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    const gboolean value = arv_camera_get_boolean(camera_.get(), feature, error.out());
    if (!succeeded(error)) return std::nullopt;
    return value != FALSE;
}

bool Camera::setFlag(const char* feature, bool value)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    arv_camera_set_boolean(camera_.get(), feature, value, error.out());
    return succeeded(error);
}

std::vector<std::string> Camera::pixelFormats()
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    guint count = 0;
    const char** names = arv_camera_dup_available_pixel_formats_as_strings(camera_.get(), &count, error.out());
    std::vector<std::string> formats;
    if (succeeded(error) && names)
        for (guint i = 0; i < count; ++i)
            if (names[i]) formats.emplace_back(names[i]);
    g_free(names);
    return formats;
}

bool Camera::setInteger(const char* feature, std::int64_t value)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    arv_camera_set_integer(camera_.get(), feature, value, error.out());
    return succeeded(error);
}

bool Camera::setReal(const char* feature, double value)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    arv_camera_set_float(camera_.get(), feature, value, error.out());
    return succeeded(error);
}

bool Camera::setText(const char* feature, const char* value)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    arv_camera_set_string(camera_.get(), feature, value, error.out());
    return succeeded(error);
}

bool Camera::execute(const char* feature)
{
    std::lock_guard lock(mutex_);
    ErrorSlot error;
    arv_camera_execute_command(camera_.get(), feature, error.out());
    return succeeded(error);
}

std::string Camera::lastError() const
{
    std::lock_guard lock(mutex_);
    return lastError_;
}

} // namespace vexcam::genicam
