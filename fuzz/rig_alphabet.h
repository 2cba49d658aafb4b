// The values the fuzzer's rig encoding can name: a byte picks one of each
// table, so the decoder and the encoder must share them.
#pragma once

#include "platform/vexlib_properties.h"

#include <array>
#include <cstdint>
#include <string>

namespace orx::fuzz {

inline constexpr std::int32_t kMaxSide = 256;

inline const std::array<std::string, 9> kNames{
    "Cam", "Value", "Auto", "100% %s%n", "\"quoted\"", "a:b:c", "bad \xff\xfe", "", std::string(1100, 'L')};
inline const std::array<std::string, 7> kColorformats{"Y800", "Y16", "RGB24", "RGB32", "BY8", "UYVY", "Q"};
inline constexpr std::array<double, 6> kRates{30.0, 15.0, 3.75, 0.5, 1000.0, 29.97};
inline const std::array<GUID, 7> kElementIds{Vexlib::ValueElementId,      Vexlib::AutoElementId,
                                             Vexlib::SelfNamedElementIdA, Vexlib::AutoCenterElementId,
                                             Vexlib::OffsetXElementId,    Vexlib::OffsetYElementId,
                                             GUID{0x7E57, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}}};
// The first and last are numbered by the item's position, so items differ.
inline const std::array<GUID, 4> kItemIds{GUID{0x7E58, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}},
                                          Vexlib::PartialScanOffsetItemId, Vexlib::ExcludedItemId,
                                          GUID{0x7E59, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}}};
inline const std::array<HRESULT, 5> kStatuses{E_FAIL, S_FALSE, 1, E_NOTIMPL, static_cast<HRESULT>(0x80000001u)};
inline constexpr std::array<int, 8> kFaultSlots{7, 8, 9, 10, 13, 14, 15, 17};

// Most counts the encoding can carry.
inline constexpr std::size_t kMaxDevices = 3;
inline constexpr std::size_t kMaxNorms = 2;
inline constexpr std::size_t kMaxNormFormats = 3;
inline constexpr std::size_t kMaxFormats = 2;
inline constexpr std::size_t kMaxDescriptions = 3;
inline constexpr std::size_t kMaxListedSizes = 2;
inline constexpr std::size_t kMaxChannels = 2;
inline constexpr std::size_t kMaxRates = 2;
inline constexpr std::size_t kMaxItems = 4;
inline constexpr std::size_t kMaxElements = 3;
inline constexpr std::size_t kMaxTexts = 3;
inline constexpr std::size_t kMaxPropertyFaults = 2;

} // namespace orx::fuzz
