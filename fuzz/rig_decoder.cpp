#include "rig_decoder.h"

#include "rig_alphabet.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace orx::fuzz {

namespace {

// Reads bytes front to back; past the end every read gives zero.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
    bool flag() { return byte() & 1; }
    std::size_t below(std::size_t count) { return count ? byte() % count : 0; }
    std::int32_t int32()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = (value << 8) | byte();
        return static_cast<std::int32_t>(value);
    }
    // Small values most of the time, the extremes now and then.
    std::int32_t number()
    {
        switch (below(8)) {
        case 0: return int32();
        case 1: return -static_cast<std::int32_t>(byte());
        default: return byte();
        }
    }
    std::int32_t side() { return 1 + static_cast<std::int32_t>(below(kMaxSide)); }
    template <typename T, std::size_t N>
    const T& pick(const std::array<T, N>& choices)
    {
        return choices[below(N)];
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

std::string name(ByteReader& in, std::size_t index)
{
    // An index keeps device, item and element names apart where they must be.
    // Two statements: the operands of + are read in no fixed order.
    const std::string& base = in.pick(kNames);
    const bool numbered = in.flag();
    return numbered ? base + std::to_string(index) : base;
}

vexcam::Size size(ByteReader& in)
{
    return {in.side(), in.side()};
}

vexcam::FormatSpec format(ByteReader& in)
{
    return {in.pick(kColorformats), size(in)};
}

vexcam::DescriptionSpec description(ByteReader& in)
{
    vexcam::DescriptionSpec description;
    description.colorformat = in.pick(kColorformats);
    description.minSize = size(in);
    description.maxSize = {std::min(kMaxSide, description.minSize.cx + static_cast<std::int32_t>(in.byte())),
                           std::min(kMaxSide, description.minSize.cy + static_cast<std::int32_t>(in.byte()))};
    description.stepSize = {static_cast<std::int32_t>(in.below(9)), static_cast<std::int32_t>(in.below(9))};
    description.roi = in.flag();
    if (in.flag()) {
        description.acceptance = vexcam::SizeAcceptance::Listed;
        for (std::size_t i = in.below(kMaxListedSizes + 1); i > 0; --i) description.acceptedSizes.push_back(size(in));
    }
    if (in.flag()) description.rejectedSizes.push_back(description.maxSize);
    return description;
}

vexcam::ElementSpec element(ByteReader& in, std::size_t index)
{
    vexcam::ElementSpec element;
    element.name = name(in, index);
    element.id = in.pick(kElementIds);
    const std::uint8_t interfaces = in.byte();
    if (interfaces & 1) {
        const std::int32_t low = in.number(), high = in.number();
        element.integerRange = vexcam::IntegerRangeSpec{low, high, low, low};
    }
    if (interfaces & 2) {
        const double low = in.number() / 16.0, high = in.number() / 16.0;
        element.doubleRange = vexcam::DoubleRangeSpec{low, high, low, low};
    }
    if (interfaces & 4) {
        vexcam::StringListSpec list;
        list.min = in.number();
        for (std::size_t i = in.below(kMaxTexts + 1); i > 0; --i) list.texts.push_back(in.pick(kNames));
        const auto offset = static_cast<std::int64_t>(in.below(list.texts.size() + 1));
        list.def = list.value = static_cast<std::int32_t>(std::min<std::int64_t>(INT32_MAX, list.min + offset));
        element.stringList = list;
    }
    if (interfaces & 8) element.switchState = vexcam::SwitchSpec{static_cast<std::int16_t>(in.number())};
    if (interfaces & 16) element.button = vexcam::ButtonSpec{};
    return element;
}

vexcam::ItemSpec item(ByteReader& in, std::size_t index)
{
    vexcam::ItemSpec item;
    item.name = name(in, index);
    item.id = in.pick(kItemIds);
    if (item.id == kItemIds[0] || item.id == kItemIds[3]) item.id.Data1 += static_cast<std::uint32_t>(index);
    for (std::size_t i = in.below(kMaxElements + 1); i > 0; --i) item.elements.push_back(element(in, i));
    return item;
}

vexcam::PropertyFault propertyFault(ByteReader& in, const std::vector<vexcam::ItemSpec>& items)
{
    vexcam::PropertyFault fault;
    fault.object = static_cast<vexcam::PropertyObject>(in.below(10));
    fault.slot = in.pick(kFaultSlots);
    if (in.flag()) fault.slot = 16 + static_cast<int>(in.below(4));
    fault.status = in.pick(kStatuses);
    fault.missingObject = in.flag();
    if (!items.empty()) {
        const auto& chosen = items[in.below(items.size())];
        fault.item = chosen.name;
        if (!chosen.elements.empty()) fault.element = chosen.elements[in.below(chosen.elements.size())].name;
    }
    return fault;
}

vexcam::DeviceFaults faults(ByteReader& in, const vexcam::DeviceSpec& device)
{
    vexcam::DeviceFaults faults;
    const std::uint8_t switches = in.byte();
    faults.refuseNorm = switches & 1;
    faults.refuseFormat = switches & 2;
    faults.refuseLive = switches & 4;
    if (switches & 8) faults.liveThrows = in.pick(kStatuses);
    if (switches & 16) faults.lostAfterFrames = in.below(4);
    if (switches & 32)
        for (int kind = 1; kind <= 7; ++kind)
            faults.lists[static_cast<vexcam::ListKind>(kind)] = static_cast<vexcam::ListFault>(in.below(3));
    if (switches & 64) faults.missingDescriptions.push_back(in.below(3));
    if (switches & 128)
        for (std::size_t i = 1 + in.below(kMaxPropertyFaults); i > 0; --i) faults.properties.push_back(propertyFault(in, device.properties));
    return faults;
}

vexcam::DeviceSpec device(ByteReader& in, std::size_t index)
{
    vexcam::DeviceSpec device;
    device.name = name(in, index) + "#" + std::to_string(index); // device names must differ
    if (in.flag()) device.serial = in.int32();
    device.opens = in.below(8) != 0;
    device.hasNorms = in.below(3) == 0;
    if (device.hasNorms) {
        for (std::size_t n = in.below(kMaxNorms + 1); n > 0; --n) {
            vexcam::NormSpec norm{name(in, n), {}, {}};
            for (std::size_t i = in.below(kMaxNormFormats + 1); i > 0; --i) norm.formats.push_back(format(in));
            device.norms.push_back(std::move(norm));
        }
    } else {
        vexcam::NormSpec norm;
        for (std::size_t i = in.below(kMaxFormats + 1); i > 0; --i) norm.formats.push_back(format(in));
        for (std::size_t i = in.below(kMaxDescriptions + 1); i > 0; --i) norm.descriptions.push_back(description(in));
        device.norms.push_back(std::move(norm));
    }
    for (std::size_t i = in.below(kMaxChannels + 1); i > 0; --i) device.channels.push_back(in.pick(kNames));
    for (std::size_t i = in.below(kMaxRates + 1); i > 0; --i) device.frameRates.defaults.push_back(in.pick(kRates));
    device.frameRates.available = in.below(4) != 0;
    for (std::size_t i = in.below(kMaxItems + 1); i > 0; --i) device.properties.push_back(item(in, i));
    if (in.flag()) device.faults = faults(in, device);
    return device;
}

} // namespace

vexcam::Rig decodeRig(const std::uint8_t* data, std::size_t size)
{
    ByteReader in(data, size);
    vexcam::Rig rig;
    rig.deviceList = static_cast<vexcam::ListFault>(in.below(4) == 0 ? in.below(3) : 0);
    for (std::size_t i = 1 + in.below(kMaxDevices); i > 0; --i) rig.devices.push_back(device(in, i));
    return rig;
}

} // namespace orx::fuzz
