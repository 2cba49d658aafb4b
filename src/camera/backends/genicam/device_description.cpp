#include "device_description.h"

#include "frame_rates.h"
#include "pixel_formats.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vexcam::genicam {
namespace {

std::optional<std::int64_t> numericSerial(const std::optional<std::string>& text)
{
    if (!text || text->empty()) return std::nullopt;
    std::int64_t value = 0;
    const auto* end = text->data() + text->size();
    const auto [rest, problem] = std::from_chars(text->data(), end, value);
    if (problem != std::errc() || rest != end || value < 0) return std::nullopt;
    return value;
}

std::int32_t boundOf(std::int64_t value) { return std::int32_t(std::clamp<std::int64_t>(value, 1, 1 << 30)); }

} // namespace

std::string deviceName(const char* vendor, const char* model, const char* serial, const char* id)
{
    std::string name;
    for (const char* part : {vendor, model, serial})
        if (part && *part) name += (name.empty() ? "" : " ") + std::string(part);
    return name.empty() ? std::string(id ? id : "GenICam camera") : name;
}

std::vector<double> rateList(double lowest, double highest)
{
    std::vector<double> rates;
    const double top = std::floor(highest * 100.0) / 100.0;
    for (double rate = top; rate > 0.0 && rate >= lowest && rates.size() < kMaxScaledRates; rate /= 2.0)
        rates.push_back(rate);
    return rates;
}

DeviceDescription describe(const std::shared_ptr<Camera>& camera, const std::string& name)
{
    DeviceDescription description;
    DeviceSpec& spec = description.spec;
    spec.name = name;
    spec.serial = numericSerial(camera->text("DeviceSerialNumber"));
    const bool offsets = camera->has("OffsetX") && camera->has("OffsetY");
    if (offsets) (void)(camera->setInteger("OffsetX", 0) && camera->setInteger("OffsetY", 0)); // full width range
    const auto width = camera->integerBounds("Width").value_or(Bounds<std::int64_t>{1, 1});
    const auto height = camera->integerBounds("Height").value_or(Bounds<std::int64_t>{1, 1});
    description.sensor = {boundOf(width.max), boundOf(height.max)};
    NormSpec norm;
    for (const auto& pixelFormat : camera->pixelFormats()) {
        const auto mapping = mappingOfCamera(pixelFormat);
        if (!mapping) continue;
        description.pixelFormats.push_back(pixelFormat);
        const std::string colorformat(mapping->colorformat);
        if (std::any_of(norm.descriptions.begin(), norm.descriptions.end(),
                        [&](const DescriptionSpec& d) { return d.colorformat == colorformat; }))
            continue;
        norm.formats.push_back(FormatSpec{colorformat, description.sensor});
        DescriptionSpec format;
        format.colorformat = colorformat;
        format.minSize = {boundOf(width.min), boundOf(height.min)};
        format.maxSize = description.sensor;
        format.stepSize = {boundOf(camera->increment("Width")), boundOf(camera->increment("Height"))};
        format.roi = offsets;
        norm.descriptions.push_back(format);
    }
    spec.norms.push_back(std::move(norm));
    if (const auto rates = camera->realBounds("AcquisitionFrameRate"))
        spec.frameRates.defaults = rateList(rates->min, rates->max);
    else
        spec.frameRates.available = false;
    description.tree = buildFeatureTree(camera, description.sensor, offsets);
    spec.properties = description.tree.items;
    return description;
}

} // namespace vexcam::genicam
