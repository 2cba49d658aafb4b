// The device properties the adaptor serves from the grabber itself, under the
// names the host knows them by.
#pragma once

namespace orx {

inline constexpr const char* kSerialNoProperty = "SerialNo";
inline constexpr const char* kFrameRateProperty = "FrameRate";
inline constexpr const char* kInputChannelProperty = "InputChannel";

} // namespace orx
