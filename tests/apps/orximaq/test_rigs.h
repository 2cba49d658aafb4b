// Small rigs for the command-line tests: tiny frames and fast frame rates,
// so that every run takes a fraction of a second.
#pragma once

namespace orx::cli_test {

// A colour camera with a property of every kind, and a monochrome
// region-of-interest camera whose window the partial-scan offsets place.
inline constexpr const char* kSmallRig = R"rig({
  "devices": [
    {
      "name": "Test Colour",
      "serial": 4660,
      "sensor": [64, 48],
      "formats": ["RGB24 (64x48)", "RGB32 (64x48)"],
      "descriptions": [
        { "colorformat": "RGB24", "min": [64, 48], "max": [64, 48], "accept": [[64, 48]] },
        { "colorformat": "RGB32", "min": [64, 48], "max": [64, 48], "accept": [[64, 48]] }
      ],
      "frameRates": { "default": [200, 100, 7.5] },
      "properties": [
        { "name": "Brightness", "elements": [
          { "name": "Value", "id": "Value", "range": { "min": 0, "max": 511, "default": 256 }, "effect": "brightness" } ] },
        { "name": "Exposure", "elements": [
          { "name": "Value", "id": "Value", "doubleRange": { "min": 0.001, "max": 2.0, "default": 0.01 } } ] },
        { "name": "Strobe Mode", "elements": [
          { "name": "Value", "id": "Value", "stringList": { "texts": ["Off", "Constant", "Fixed Duration"], "default": 0 } } ] },
        { "name": "Trigger", "elements": [
          { "name": "Enable", "id": "Value", "switch": { "state": false } } ] }
      ]
    },
    {
      "name": "Test Mono ROI",
      "sensor": [128, 96],
      "formats": ["Y800 (128x96)", "Y16 (128x96)"],
      "descriptions": [
        { "colorformat": "Y800", "min": [16, 4], "max": [128, 96], "step": [4, 2], "roi": true },
        { "colorformat": "Y16", "min": [16, 4], "max": [128, 96], "step": [4, 2], "roi": true }
      ],
      "frameRates": { "pixelRate": 2457600, "maxFps": 400, "minFps": 50 },
      "properties": [
        { "name": "Brightness", "elements": [
          { "name": "Value", "id": "Value", "range": { "min": 0, "max": 255, "default": 0 }, "effect": "brightness" } ] },
        { "name": "Partial Scan Offset", "id": "PartialScanOffset", "elements": [
          { "name": "Auto-center", "id": "AutoCenter", "switch": { "state": false } },
          { "name": "X Offset", "id": "OffsetX", "range": { "min": 0, "max": 112, "default": 0 } },
          { "name": "Y Offset", "id": "OffsetY", "range": { "min": 0, "max": 92, "default": 0 } } ] }
      ]
    },
    {
      "name": "Test Empty"
    }
  ]
})rig";

} // namespace orx::cli_test
