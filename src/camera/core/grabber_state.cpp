#include "grabber_state.h"

#include "frame_rates.h"

namespace Vexlib::detail {

const vexcam::NormSpec* GrabberState::currentNorm() const
{
    if (!device || norm >= device->spec.norms.size()) return nullptr;
    return &device->spec.norms[norm];
}

void GrabberState::selectFormat(const vexcam::FormatChoice& choice)
{
    format = choice.format;
    roiFormat = choice.roi;
    const auto rates = ratesOf(format);
    fps = vexcam::matchingRate(rates, fps).value_or(vexcam::highestRate(rates));
}

void GrabberState::selectDefaultFormat()
{
    const vexcam::NormSpec* spec = currentNorm();
    const auto choice = spec ? vexcam::defaultFormat(*spec) : std::nullopt;
    if (choice) {
        selectFormat(*choice);
    } else {
        format = VideoFormatItem();
        roiFormat = false;
        fps = 0.0;
    }
}

std::vector<double> GrabberState::ratesOf(const VideoFormatItem& item) const
{
    if (!device || !item.isValid() || !device->spec.frameRates.available) return {};
    const auto* data = item.data();
    return vexcam::frameRatesFor(device->spec.frameRates, data->text, data->size);
}

bool GrabberState::onDeliveryThread() const
{
    const vexcam::LiveStream* current = vexcam::LiveStream::current();
    return current && &current->grabber() == this;
}

} // namespace Vexlib::detail
