// Region-of-interest helpers: the description behind the current format, the
// highest frame rate of the current format, and the partial-scan interfaces.
#pragma once

#include "common/com_ptr.h"
#include "platform/vexlib.h"

namespace orx {

// The description that produces the grabber's current format, or an empty handle.
Vexlib::VideoFormatDescHandle findRoiFormatDesc(Vexlib::Grabber& grabber);

// The highest frame rate of the current format; 0.0 when there is none.
double maximumFrameRate(Vexlib::Grabber& grabber);

// The partial-scan elements the adaptor uses, each with its typed interface:
// OffsetX and OffsetY an integer range, AutoCenter a switch.
enum class PartialScanElement { OffsetX, OffsetY, AutoCenter };

// The element's typed interface, reached by its path, or none.
ComPtr<IUnknown> lookUpPartialScanInterface(Vexlib::IVCDPropertyItems& items, PartialScanElement element);

template <class Interface>
ComPtr<Interface> lookUpPartialScan(Vexlib::IVCDPropertyItems& items, PartialScanElement element)
{
    return ComPtr<Interface>::attach(static_cast<Interface*>(lookUpPartialScanInterface(items, element).detach()));
}

// Rounds an offset toward zero to a multiple of the step (a step below 1 counts as 1).
std::int32_t roundOffset(std::int32_t offset, LONG step);
// Rounds a size down to the step, then raises it to the minimum and lowers it to the maximum.
std::int32_t roundAndClampSize(std::int32_t size, LONG step, LONG minimum, LONG maximum);

} // namespace orx
