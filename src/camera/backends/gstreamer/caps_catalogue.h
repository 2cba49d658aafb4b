// A GStreamer device's caps as the library's format catalogue: colour
// formats named as the catalogue names them, fixed sizes as formats, size
// ranges as format descriptions, and frame rates highest first.
#pragma once

#include "vexcam/pixel_layout.h"
#include "vexcam/rig.h"

#include <gst/gst.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexcam::gst {

struct Fraction {
    gint num = 0;
    gint den = 1;
    double value() const { return den ? double(num) / double(den) : 0.0; }
};

struct CapsCatalogue {
    std::vector<FormatSpec> formats;
    std::vector<DescriptionSpec> descriptions;
    FrameRateSpec rates;
    std::vector<Fraction> fractions; // every exact rate the caps name
    Size largest;
};

// The colour formats a caps format is offered as ("GRAY8": Y800; "YUY2":
// RGB24 and Y800 through the converter); none for one the library leaves out.
std::vector<std::string_view> colorformatsOf(std::string_view capsFormat);
// The raw format the sink receives in a pixel layout; null for none.
const char* capsFormatOf(PixelLayout layout);

// Sizes offered for a size range, when it has no fixed sizes of its own.
extern const std::vector<Size> kRangeSizes;
// Rates offered for a rate range (those within it).
extern const std::vector<double> kRangeRates;

CapsCatalogue catalogueOf(const GstCaps* caps);

// The exact rate among `fractions` within 0.5 % of `fps`; else the nearest fraction.
Fraction fractionFor(const std::vector<Fraction>& fractions, double fps);

} // namespace vexcam::gst
