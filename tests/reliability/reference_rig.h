// The rig every reliability test starts from: one region-of-interest camera
// with a property of every kind, and one video converter with norms.
// Header-only, so that the soak benchmark and the fuzzer can use it too.
#pragma once

#include "vexcam/rig.h"
#include "vexcam/vexcam.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace orx::test {

inline constexpr const char* kCamera = "ORX Reliable Cam";
inline constexpr const char* kConverter = "ORX Reliable Converter";

// The rig as its JSON text (also a seed of the fuzzer's corpus).
inline constexpr std::string_view kReferenceRig = R"json({
  "devices": [
    {
      "name": "ORX Reliable Cam",
      "serial": "0x123",
      "descriptions": [
        { "colorformat": "Y800", "min": [16, 4], "max": [128, 96], "step": [4, 2], "roi": true }
      ],
      "channels": ["Composite", "S-Video"],
      "frameRates": { "default": [30, 15] },
      "properties": [
        { "name": "Brightness", "elements": [
          { "name": "Value", "id": "Value", "range": { "min": 0, "max": 255, "default": 10 }, "effect": "brightness" } ] },
        { "name": "Exposure", "elements": [
          { "name": "Value", "id": "Value", "range": { "min": 1, "max": 1000, "default": 100 },
            "doubleRange": { "min": 0.001, "max": 1.0, "default": 0.1 } },
          { "name": "Auto", "id": "Auto", "switch": { "state": true } } ] },
        { "name": "Strobe Mode", "elements": [
          { "name": "Value", "id": "Value", "stringList": { "min": 0, "default": 0, "texts": ["Off", "On"] } } ] },
        { "name": "White Balance", "elements": [
          { "name": "One Push", "button": {} } ] },
        { "name": "Partial Scan Offset", "id": "PartialScanOffset", "elements": [
          { "name": "Auto-center", "id": "AutoCenter", "switch": { "state": false } },
          { "name": "X Offset", "id": "OffsetX", "range": { "min": 0, "max": 112 } },
          { "name": "Y Offset", "id": "OffsetY", "range": { "min": 0, "max": 92 } } ] }
      ]
    },
    {
      "name": "ORX Reliable Converter",
      "norms": [
        { "name": "NTSC_M", "formats": ["Y800 (64x48)", "RGB24 (64x48)"] },
        { "name": "PAL_B", "formats": ["RGB32 (80x60)"] }
      ],
      "channels": ["Composite"],
      "frameRates": { "default": [25] }
    }
  ]
})json";

inline vexcam::Rig referenceRig()
{
    return vexcam::parseRig(kReferenceRig, "reference rig");
}

// The device of that name in the rig; std::out_of_range when absent.
inline vexcam::DeviceSpec& deviceNamed(vexcam::Rig& rig, const std::string& name)
{
    for (auto& device : rig.devices)
        if (device.name == name) return device;
    throw std::out_of_range("no device " + name);
}

} // namespace orx::test
