#include "engine/region_of_interest.h"

#include "common/bstr.h"
#include "common/guid_text.h"

#include <deque>
#include <mutex>

namespace orx {
namespace {

// "{item}:{element}" or "{item}:{element}:{interface}" in registry texts;
// empty when an identifier text cannot be made.
WideString composePartialScanPath(const GUID& elementId, const GUID& interfaceId)
{
    WideString path = registryText(Vexlib::PartialScanOffsetItemId);
    const WideString element = registryText(elementId);
    const WideString typeText = interfaceId == GUID{} ? WideString() : registryText(interfaceId);
    if (path.empty() || element.empty() || (interfaceId != GUID{} && typeText.empty())) return {};
    path += WCHAR(':');
    path += element;
    if (!typeText.empty()) {
        path += WCHAR(':');
        path += typeText;
    }
    return path;
}

// The region read looks the offsets up for every frame, and their paths are
// the same for every camera: each is composed once per process and kept where
// it never moves. A failed composition is not kept, so a later call tries again.
const WideString& partialScanPath(const GUID& elementId, const GUID& interfaceId)
{
    struct Entry {
        GUID elementId;
        GUID interfaceId;
        WideString path;
    };
    static const WideString none;
    static std::mutex mutex;
    static std::deque<Entry> paths;
    const std::lock_guard lock(mutex);
    for (const Entry& entry : paths)
        if (entry.elementId == elementId && entry.interfaceId == interfaceId) return entry.path;
    WideString path = composePartialScanPath(elementId, interfaceId);
    if (path.empty()) return none;
    return paths.emplace_back(Entry{elementId, interfaceId, std::move(path)}).path;
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

ComPtr<IUnknown> lookUpPartialScanInterface(Vexlib::IVCDPropertyItems& items, const GUID& elementId,
                                            const GUID& interfaceId)
{
    const WideString& path = partialScanPath(elementId, interfaceId);
    if (path.empty()) return {};
    Bstr pathText(path.c_str());
    if (!pathText) return {};

    ComPtr<IUnknown> found;
    const HRESULT status = items.findInterfaceByPath(pathText.get(), found.put());
    pathText.reset();
    if (status != S_OK || !found) return {};

    ComPtr<IUnknown> typed;
    if (FAILED(found->QueryInterface(interfaceId, typed.putVoid()))) return {};
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
