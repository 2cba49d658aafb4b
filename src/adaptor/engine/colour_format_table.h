// Which pixel layout the camera library delivers and which frame type the
// host receives, chosen by the colour-format name of the format in force.
#pragma once

#include "platform/vexlib.h"

#include <cstdint>
#include <string_view>

namespace orx {

struct ColourFormatRow {
    const char* name;                      // null for the row that takes every other name
    Vexlib::tColorformatEnum cameraFormat; // given to getSubtypeFromColorformat
    std::uint32_t frameType;               // host frame-type code
    bool resetsOverlayPosition;            // the 16-bit format moves the overlay path to 0
};

// Exact, case-sensitive comparison, top to bottom; the first equal row wins.
const ColourFormatRow& colourFormatTable(std::string_view colourFormatName);

} // namespace orx
