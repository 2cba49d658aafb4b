// Grabber: video norms, formats, format descriptions and frame rates.
#include "frame_rates.h"
#include "grabber_state.h"
#include "list_fault.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace Vexlib {

using detail::GrabberState;
using Lock = std::lock_guard<std::mutex>;

namespace {

// The position of a norm by its name; a device without norms has only its
// implicit norm, whose name is empty.
std::optional<std::size_t> findNorm(const vexcam::DeviceSpec& device, std::string_view name)
{
    if (!device.hasNorms) return name.empty() && !device.norms.empty() ? std::optional<std::size_t>(0) : std::nullopt;
    for (std::size_t i = 0; i < device.norms.size(); ++i)
        if (device.norms[i].name == name) return i;
    return std::nullopt;
}

const vexcam::NormSpec* normOf(const GrabberState& state, const VideoNormItem& norm)
{
    if (!state.isOpen() || !norm.isValid()) return nullptr;
    const auto index = findNorm(state.device->spec, norm.c_str());
    return index ? &state.device->spec.norms[*index] : nullptr;
}

vexcam::ListFault faultOf(const GrabberState& state, vexcam::ListKind kind)
{
    return state.device ? vexcam::listFault(state.device->faults(), kind) : vexcam::ListFault::None;
}

// Changing the norm keeps the format when the new norm offers it too.
void switchNorm(GrabberState& state, std::size_t index)
{
    if (index == state.norm) return;
    state.norm = index;
    const auto kept = vexcam::chooseFormat(state.device->spec.norms[index], state.format);
    if (kept) {
        state.selectFormat(*kept);
    } else {
        state.selectDefaultFormat();
    }
}

// Whether a configuration change is possible now: open, not live, and not
// refused by a fault.
bool mayChange(const GrabberState& state, bool refusedByFault)
{
    return state.isOpen() && !state.isLive() && !refusedByFault;
}

} // namespace

bool Grabber::isVideoNormAvailableWithCurDev() const
{
    Lock lock(state_->mutex);
    return state_->isOpen() && state_->device->spec.hasNorms;
}

ListHandle<VideoNormItem> Grabber::getAvailableVideoNorms_() const
{
    Lock lock(state_->mutex);
    std::vector<VideoNormItem> items;
    if (state_->isOpen() && state_->device->spec.hasNorms)
        for (std::size_t i = 0; i < state_->device->spec.norms.size(); ++i)
            items.emplace_back(std::make_shared<detail::NormData>(detail::NormData{state_->device, i}));
    return vexcam::makeList(std::move(items), faultOf(*state_, vexcam::ListKind::Norms));
}

// For a device without norms: the implicit norm, whose lists are the device's.
VideoNormItem Grabber::getVideoNorm() const
{
    Lock lock(state_->mutex);
    if (!state_->isOpen()) return VideoNormItem();
    if (state_->device->spec.hasNorms && !state_->currentNorm()) return VideoNormItem();
    return VideoNormItem(std::make_shared<detail::NormData>(detail::NormData{state_->device, state_->norm}));
}

bool Grabber::setVideoNorm(const VideoNormItem& norm)
{
    return norm.isValid() && setVideoNorm(dstringa(norm.c_str()));
}

bool Grabber::setVideoNorm(const dstringa& name)
{
    Lock lock(state_->mutex);
    if (!state_->isOpen()) return false;
    if (!mayChange(*state_, state_->device->faults().refuseNorm)) return false;
    const auto index = findNorm(state_->device->spec, name.c_str());
    if (!index) return false;
    switchNorm(*state_, *index);
    return true;
}

ListHandle<VideoFormatItem> Grabber::getAvailableVideoFormats_(const VideoNormItem& norm) const
{
    Lock lock(state_->mutex);
    std::vector<VideoFormatItem> items;
    if (const vexcam::NormSpec* spec = normOf(*state_, norm))
        for (const auto& format : spec->formats) items.push_back(vexcam::makeFormat(format));
    return vexcam::makeList(std::move(items), faultOf(*state_, vexcam::ListKind::Formats));
}

ListHandle<VideoFormatDescHandle> Grabber::getAvailableVideoFormatDescs_(const VideoNormItem& norm) const
{
    Lock lock(state_->mutex);
    std::vector<VideoFormatDescHandle> items;
    if (const vexcam::NormSpec* spec = normOf(*state_, norm)) {
        const auto missing = state_->device->faults().missingDescriptions;
        for (std::size_t i = 0; i < spec->descriptions.size(); ++i) {
            if (std::find(missing.begin(), missing.end(), i) != missing.end()) {
                items.emplace_back();
                continue;
            }
            const auto& description = spec->descriptions[i];
            items.push_back(VideoFormatDescHandle::make(std::make_shared<detail::FormatDescData>(
                detail::FormatDescData{description, vexcam::descriptionSubtype(description)})));
        }
    }
    return vexcam::makeList(std::move(items), faultOf(*state_, vexcam::ListKind::Descriptions));
}

VideoFormatItem Grabber::getVideoFormat() const
{
    Lock lock(state_->mutex);
    return state_->format;
}

bool Grabber::setVideoFormat(const VideoFormatItem& format)
{
    Lock lock(state_->mutex);
    if (!state_->isOpen() || !mayChange(*state_, state_->device->faults().refuseFormat)) return false;
    const vexcam::NormSpec* norm = state_->currentNorm();
    const auto choice = norm ? vexcam::chooseFormat(*norm, format) : std::nullopt;
    if (!choice) return false;
    state_->selectFormat(*choice);
    return true;
}

// A format of the current norm by its text; on a device with norms also
// "norm:format", which selects that norm as well.
bool Grabber::setVideoFormat(const dstringa& name)
{
    const std::string_view text = name.c_str();
    Lock lock(state_->mutex);
    if (!state_->isOpen() || !mayChange(*state_, state_->device->faults().refuseFormat)) return false;
    const auto& device = state_->device->spec;
    std::size_t normIndex = state_->norm;
    const vexcam::NormSpec* norm = state_->currentNorm();
    auto choice = norm ? vexcam::chooseFormat(*norm, text) : std::nullopt;
    if (!choice && device.hasNorms) {
        const auto colon = text.find(':');
        const auto named = colon == std::string_view::npos ? std::nullopt : findNorm(device, text.substr(0, colon));
        if (named) {
            normIndex = *named;
            choice = vexcam::chooseFormat(device.norms[normIndex], text.substr(colon + 1));
        }
    }
    if (!choice) return false;
    state_->norm = normIndex;
    state_->selectFormat(*choice);
    return true;
}

bool Grabber::isFrameRateListAvailable() const
{
    Lock lock(state_->mutex);
    return state_->isOpen() && state_->device->spec.frameRates.available;
}

ListHandle<double> Grabber::getAvailableFPS_(const VideoFormatItem& format) const
{
    Lock lock(state_->mutex);
    auto rates = state_->isOpen() ? state_->ratesOf(format) : std::vector<double>();
    return vexcam::makeList(std::move(rates), faultOf(*state_, vexcam::ListKind::Fps));
}

ListHandle<std::int32_t> Grabber::getAvailableFrameRates_(const VideoFormatItem& format) const
{
    Lock lock(state_->mutex);
    auto values = vexcam::frameRateValues(state_->isOpen() ? state_->ratesOf(format) : std::vector<double>());
    return vexcam::makeList(std::move(values), faultOf(*state_, vexcam::ListKind::FrameRates));
}

std::int32_t Grabber::getFrameRate() const
{
    Lock lock(state_->mutex);
    return vexcam::frameRateValue(state_->fps);
}

// Only a value of the current format's list is accepted.
bool Grabber::setFrameRate(std::int32_t frameRate)
{
    Lock lock(state_->mutex);
    if (!state_->isOpen()) return false;
    for (double rate : state_->ratesOf(state_->format)) {
        if (vexcam::frameRateValue(rate) != frameRate) continue;
        state_->fps = rate;
        return true;
    }
    return false;
}

double Grabber::getFPS() const
{
    Lock lock(state_->mutex);
    return state_->fps;
}

// The listed rate closest to `fps`, within half a percent; otherwise refused.
bool Grabber::setFPS(double fps)
{
    Lock lock(state_->mutex);
    if (!state_->isOpen()) return false;
    const auto rate = vexcam::matchingRate(state_->ratesOf(state_->format), fps);
    if (!rate) return false;
    state_->fps = *rate;
    return true;
}

} // namespace Vexlib
