// Property items "Setting 0" ... "Setting N-1", each with an integer Value
// element and an Auto switch, for benchmarks that scale with the item count.
#pragma once

#include "vexcam/rig.h"

#include <cstdint>
#include <string>
#include <utility>

inline GUID numberedGuid(std::uint32_t number)
{
    return GUID{0xBE000000u + number, 0x1234, 0x5678, {0x9A, 0xBC, 0xDE, 0xF0, 0x12, 0x34, 0x56, 0x78}};
}

inline void addNumberedSettings(vexcam::DeviceSpec& device, std::int64_t count)
{
    for (std::int64_t i = 0; i < count; ++i) {
        vexcam::ItemSpec item;
        item.name = "Setting " + std::to_string(i);
        item.id = numberedGuid(static_cast<std::uint32_t>(i));
        vexcam::ElementSpec value;
        value.name = "Value";
        value.id = Vexlib::ValueElementId;
        value.integerRange = vexcam::IntegerRangeSpec{0, 1000, 500, 500};
        vexcam::ElementSpec automatic;
        automatic.name = "Auto";
        automatic.id = Vexlib::AutoElementId;
        automatic.switchState = vexcam::SwitchSpec{0};
        item.elements = {value, automatic};
        device.properties.push_back(std::move(item));
    }
}
