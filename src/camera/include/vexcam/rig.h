// A rig: the simulated cameras, as data. Read from JSON (docs/rig-format.md)
// or built in code by tests. The camera library's simulated backend serves every grabber
// call from the rig that is installed when the library is initialised.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vexcam {

struct Size {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A fixed format of a device or a norm: colour format and size. Its text is
// "<colorformat> (<width>x<height>)", e.g. "Y800 (640x480)".
struct FormatSpec {
    std::string colorformat;
    Size size;
};

// Which sizes a description's isValidSize accepts.
enum class SizeAcceptance {
    Grid,   // every size within min..max whose offset from min is a multiple of step
    Listed, // only the sizes in `acceptedSizes`
};

struct DescriptionSpec {
    std::string colorformat;          // "Y800", "Y16", "RGB24", "RGB32", "BY8", ...
    std::optional<GUID> subtype;      // default: the FOURCC subtype of the colour format
    Size minSize;
    Size maxSize;
    Size stepSize{1, 1};
    bool roi = false;
    SizeAcceptance acceptance = SizeAcceptance::Grid;
    std::vector<Size> acceptedSizes;  // for Listed
    std::vector<Size> rejectedSizes;  // refused even when the rule above accepts them
};

struct NormSpec {
    std::string name;                 // empty for the implicit norm of a device without norms
    std::vector<FormatSpec> formats;
    std::vector<DescriptionSpec> descriptions;
};

// Frame rates of a format. Explicit lists win; otherwise, with a pixel rate,
// the rates scale with the window: top = min(maxFps, pixelRate / (w*h)), then
// top/2, top/4, ... down to `minFps`.
struct FrameRateSpec {
    std::map<std::string, std::vector<double>> byFormat; // format text -> rates
    std::vector<double> defaults;                         // formats not listed
    double pixelRate = 0.0;                               // pixels per second
    double maxFps = 0.0;
    double minFps = 1.0;
    bool available = true;                                // isFrameRateListAvailable
};

struct IntegerRangeSpec {
    std::int32_t min = 0, max = 0, def = 0, value = 0;
};
struct DoubleRangeSpec {
    double min = 0, max = 0, def = 0, value = 0;
};
struct StringListSpec {
    std::int32_t min = 0, def = 0, value = 0;
    std::vector<std::string> texts;
};
struct SwitchSpec {
    std::int16_t state = 0; // -1 on, 0 off; other values are kept as given
};
struct ButtonSpec {
    std::int32_t pushes = 0;
};

// What a write of a property does to the images (see pattern.h).
enum class PatternEffect { None, Brightness, Gain };

struct ElementSpec {
    std::string name;
    GUID id{};
    std::optional<IntegerRangeSpec> integerRange;
    std::optional<DoubleRangeSpec> doubleRange;
    std::optional<StringListSpec> stringList;
    std::optional<SwitchSpec> switchState;
    std::optional<ButtonSpec> button;
    PatternEffect effect = PatternEffect::None;
};

struct ItemSpec {
    std::string name;
    GUID id{};
    std::vector<ElementSpec> elements;
};

// Faults to inject into one property object.
enum class PropertyObject { Items, Item, Elements, Element, IntegerRange, DoubleRange, StringList, Switch, Button, Texts };

struct PropertyFault {
    PropertyObject object = PropertyObject::Items;
    std::string item;       // item name (objects below the items collection)
    std::string element;    // element name (objects below an item)
    int slot = 0;           // the slot that fails
    HRESULT status = E_FAIL;           // negative: failure; positive on slot 13 of an element or
                                       // slot 17 of the items collection: "found" answered as not found
    bool missingObject = false;        // the slot answers S_OK but delivers no object or text
};

enum class ListKind { Devices, Norms, Formats, Descriptions, Fps, FrameRates, Channels, Properties };
enum class ListFault { None, Empty, Missing };

struct DeviceFaults {
    bool refuseNorm = false;                 // setVideoNorm answers false
    bool refuseFormat = false;               // setVideoFormat answers false
    bool refuseLive = false;                 // startLive answers false
    std::optional<std::int32_t> liveThrows;  // startLive throws this status
    std::optional<std::int64_t> lostAfterFrames; // device lost after that many frames
    std::map<ListKind, ListFault> lists;
    std::vector<std::size_t> missingDescriptions; // positions whose handle is empty
    std::vector<PropertyFault> properties;
};

struct DeviceSpec {
    std::string name;
    std::optional<std::int64_t> serial;
    bool opens = true;
    bool hasNorms = false;           // true: `norms` are video norms; false: norms[0] is implicit
    std::vector<NormSpec> norms;
    std::vector<std::string> channels;
    FrameRateSpec frameRates;
    Size sensor;                     // full sensor; default: the largest format size
    std::vector<ItemSpec> properties;
    DeviceFaults faults;
};

// GenICam cameras found through Aravis, listed after the simulated devices.
// Only the named Aravis interfaces are searched ("Fake", "GigEVision",
// "USB3Vision"); every other interface stays disabled (docs/genicam.md).
struct GenicamSpec {
    std::vector<std::string> interfaces;
};

// A GStreamer pipeline as a device: `pipeline` is in gst-launch syntax and
// ends in the source's output, which the library connects to its own sink
// (docs/gstreamer.md).
struct GstreamerPipelineSpec {
    std::string name;     // empty: the pipeline text
    std::string pipeline;
};

// GStreamer devices, listed after the simulated and GenICam ones: the named
// pipelines and, with `monitor`, the video sources GStreamer's device
// monitor sees (webcams, libcamera cameras).
struct GstreamerSpec {
    std::vector<GstreamerPipelineSpec> pipelines;
    bool monitor = false;
};

struct Rig {
    std::vector<DeviceSpec> devices;
    ListFault deviceList = ListFault::None; // what the device list call answers
    std::optional<GenicamSpec> genicam = std::nullopt;
    std::optional<GstreamerSpec> gstreamer = std::nullopt;
};

} // namespace vexcam
