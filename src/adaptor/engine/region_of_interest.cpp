#include "engine/region_of_interest.h"

#include "common/bstr.h"
#include "common/guid_text.h"

#include <cstddef>
#include <cstdint>

namespace orx {
namespace {

// "{item}:{element}:{interface}" of a partial-scan element, zero-terminated.
struct PartialScanPathText {
    WCHAR text[3 * kRegistryTextLength + 3]{};
};

constexpr PartialScanPathText partialScanPathText(const GUID& elementId, const GUID& interfaceId)
{
    PartialScanPathText path;
    std::size_t at = 0;
    appendRegistryText(path.text, at, Vexlib::PartialScanOffsetItemId);
    path.text[at++] = WCHAR(':');
    appendRegistryText(path.text, at, elementId);
    path.text[at++] = WCHAR(':');
    appendRegistryText(path.text, at, interfaceId);
    return path;
}

// The region read looks the offsets up for every frame: their paths are constants.
constexpr PartialScanPathText kOffsetXPath =
    partialScanPathText(Vexlib::OffsetXElementId, Vexlib::IntegerRangeInterfaceId);
constexpr PartialScanPathText kOffsetYPath =
    partialScanPathText(Vexlib::OffsetYElementId, Vexlib::IntegerRangeInterfaceId);
constexpr PartialScanPathText kAutoCenterPath =
    partialScanPathText(Vexlib::AutoCenterElementId, Vexlib::SwitchInterfaceId);

struct PartialScanTarget {
    const WCHAR* path;
    GUID interfaceId;
};

PartialScanTarget targetOf(PartialScanElement element)
{
    switch (element) {
    case PartialScanElement::OffsetX: return {kOffsetXPath.text, Vexlib::IntegerRangeInterfaceId};
    case PartialScanElement::OffsetY: return {kOffsetYPath.text, Vexlib::IntegerRangeInterfaceId};
    case PartialScanElement::AutoCenter: return {kAutoCenterPath.text, Vexlib::SwitchInterfaceId};
    }
    return {kAutoCenterPath.text, Vexlib::SwitchInterfaceId};
}

} // namespace

Vexlib::VideoFormatDescHandle findRoiFormatDesc(Vexlib::Grabber& grabber)
{
    const Vexlib::VideoFormatItem current = grabber.getVideoFormat();
    if (!current.isValid()) return {};
    const auto descriptions = grabber.getAvailableVideoFormatDescs_(grabber.getVideoNorm());
    if (!descriptions) return {};
    for (const auto& description : *descriptions)
        if (description && description->createVideoFormat(current.getSize()) == current)
            return description;
    return {};
}

double maximumFrameRate(Vexlib::Grabber& grabber)
{
    const auto rates = grabber.getAvailableFPS_(grabber.getVideoFormat());
    double best = 0.0;
    if (!rates) return best;
    for (double rate : *rates)
        if (!(best > rate)) best = rate;
    return best;
}

ComPtr<IUnknown> lookUpPartialScanInterface(Vexlib::IVCDPropertyItems& items, PartialScanElement element)
{
    const PartialScanTarget target = targetOf(element);
    Bstr pathText(target.path);
    if (!pathText) return {};

    ComPtr<IUnknown> found;
    const HRESULT status = items.findInterfaceByPath(pathText.get(), found.put());
    pathText.reset();
    if (status != S_OK || !found) return {};

    ComPtr<IUnknown> typed;
    if (FAILED(found->QueryInterface(target.interfaceId, typed.putVoid()))) return {};
    return typed;
}

std::int32_t roundOffset(std::int32_t offset, LONG step)
{
    const std::int32_t grid = step <= 0 ? 1 : step; // a step that cannot be used counts as 1
    return offset - offset % grid;
}

std::int32_t roundAndClampSize(std::int32_t size, LONG step, LONG minimum, LONG maximum)
{
    std::int32_t rounded = roundOffset(size, step);
    if (rounded < minimum) rounded = minimum;
    if (rounded > maximum) rounded = maximum;
    return rounded;
}

} // namespace orx
