// The formats a device offers the host, and under which names.
#pragma once

#include "platform/vexlib.h"

#include <set>
#include <string>
#include <vector>

namespace orx {

struct SizeOrder {
    bool operator()(const SIZE& a, const SIZE& b) const noexcept
    {
        return a.cx != b.cx ? a.cx < b.cx : a.cy < b.cy;
    }
};
using LargeSizeSet = std::set<SIZE, SizeOrder>;

// The trial sizes for devices without video norms, in trial order.
inline constexpr SIZE kStandardTrialSizes[] = {
    {320, 240},   {640, 480},   {768, 576},   {720, 576},   {1024, 786},  {1280, 720},
    {1280, 960},  {1920, 1080}, {1600, 1200}, {2048, 1536}, {2560, 1920},
};
inline constexpr LONG kLargeWidth = 1024;

// Descriptions of this media subtype ("BY8 ") take no part in the expansion.
inline constexpr GUID kExcludedSubtype{0x20385942, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct FormatCatalogue {
    bool hasVideoNorms = false;
    std::vector<std::string> names;
};

// The device must be open on the grabber. Leaves a device with norms at its last norm.
FormatCatalogue deviceFormatCatalogue(Vexlib::Grabber& grabber);

// Formats made from the descriptions of the current norm, in the library's order.
std::vector<Vexlib::VideoFormatItem> buildExpandedFormatList(Vexlib::Grabber& grabber);

// Sizes of the current norm's formats whose width is 1024 or more.
LargeSizeSet collectLargeFormatSizes(Vexlib::Grabber& grabber);

std::string formatItemName(const Vexlib::VideoFormatItem& format);

// Whether the first format description of the current norm is a region-of-interest format.
bool isRoiFormatDevice(Vexlib::Grabber& grabber);

} // namespace orx
