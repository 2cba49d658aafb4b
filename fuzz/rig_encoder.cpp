#include "rig_encoder.h"

#include "rig_alphabet.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace orx::fuzz {

namespace {

// Writes what the decoder's ByteReader reads, call for call.
class ByteWriter {
public:
    void byte(std::uint32_t value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }
    void flag(bool on) { byte(on ? 1 : 0); }
    void int32(std::int32_t value)
    {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 24; shift >= 0; shift -= 8) byte(bits >> shift);
    }
    void number(std::int64_t value)
    {
        if (value >= 0 && value <= 255) {
            byte(2);
            byte(static_cast<std::uint32_t>(value));
        } else if (value < 0 && value >= -255) {
            byte(1);
            byte(static_cast<std::uint32_t>(-value));
        } else {
            byte(0);
            int32(static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX)));
        }
    }
    void side(std::int32_t value) { byte(static_cast<std::uint32_t>(std::clamp(value, 1, kMaxSide) - 1)); }
    // A count of up to `most` items; returns how many the decoder will read.
    std::size_t count(std::size_t size, std::size_t most)
    {
        const std::size_t kept = std::min(size, most);
        byte(static_cast<std::uint32_t>(kept));
        return kept;
    }
    template <typename T, std::size_t N>
    void pick(const std::array<T, N>& choices, const T& value)
    {
        const auto found = std::find(choices.begin(), choices.end(), value);
        byte(found == choices.end() ? 0 : static_cast<std::uint32_t>(found - choices.begin()));
    }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

// A table entry, followed by the index when the name carries it.
void name(ByteWriter& out, const std::string& text, std::size_t index)
{
    const auto exact = std::find(kNames.begin(), kNames.end(), text);
    if (exact != kNames.end()) {
        out.byte(static_cast<std::uint32_t>(exact - kNames.begin()));
        out.flag(false);
        return;
    }
    const std::string suffix = std::to_string(index);
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (text == kNames[i] + suffix) {
            out.byte(static_cast<std::uint32_t>(i));
            out.flag(true);
            return;
        }
    out.byte(0);
    out.flag(true);
}

void rate(ByteWriter& out, double value)
{
    std::size_t nearest = 0;
    for (std::size_t i = 1; i < kRates.size(); ++i)
        if (std::fabs(kRates[i] - value) < std::fabs(kRates[nearest] - value)) nearest = i;
    out.byte(static_cast<std::uint32_t>(nearest));
}

void size(ByteWriter& out, const vexcam::Size& value)
{
    out.side(value.cx);
    out.side(value.cy);
}

void format(ByteWriter& out, const vexcam::FormatSpec& value)
{
    out.pick(kColorformats, value.colorformat);
    size(out, value.size);
}

void description(ByteWriter& out, const vexcam::DescriptionSpec& value)
{
    out.pick(kColorformats, value.colorformat);
    size(out, value.minSize);
    const auto grow = [](std::int32_t from, std::int32_t to) {
        return static_cast<std::uint32_t>(std::clamp(std::min(to, kMaxSide) - std::clamp(from, 1, kMaxSide), 0, 255));
    };
    out.byte(grow(value.minSize.cx, value.maxSize.cx));
    out.byte(grow(value.minSize.cy, value.maxSize.cy));
    out.byte(static_cast<std::uint32_t>(std::clamp(value.stepSize.cx, 0, 8)));
    out.byte(static_cast<std::uint32_t>(std::clamp(value.stepSize.cy, 0, 8)));
    out.flag(value.roi);
    const bool listed = value.acceptance == vexcam::SizeAcceptance::Listed;
    out.flag(listed);
    if (listed) {
        const std::size_t kept = out.count(value.acceptedSizes.size(), kMaxListedSizes);
        for (std::size_t i = 0; i < kept; ++i) size(out, value.acceptedSizes[i]);
    }
    out.flag(!value.rejectedSizes.empty());
}

void element(ByteWriter& out, const vexcam::ElementSpec& value, std::size_t index)
{
    name(out, value.name, index);
    const auto id = std::find(kElementIds.begin(), kElementIds.end(), value.id);
    out.byte(id == kElementIds.end() ? kElementIds.size() - 1 : static_cast<std::uint32_t>(id - kElementIds.begin()));
    out.byte((value.integerRange ? 1 : 0) | (value.doubleRange ? 2 : 0) | (value.stringList ? 4 : 0) |
             (value.switchState ? 8 : 0) | (value.button ? 16 : 0));
    if (value.integerRange) {
        out.number(value.integerRange->min);
        out.number(value.integerRange->max);
    }
    if (value.doubleRange) {
        out.number(std::llround(std::clamp(value.doubleRange->min * 16.0, -3e9, 3e9)));
        out.number(std::llround(std::clamp(value.doubleRange->max * 16.0, -3e9, 3e9)));
    }
    if (const auto& list = value.stringList) {
        out.number(list->min);
        const std::size_t kept = out.count(list->texts.size(), kMaxTexts);
        for (std::size_t i = 0; i < kept; ++i) out.pick(kNames, list->texts[i]);
        const std::int64_t offset = static_cast<std::int64_t>(list->def) - list->min;
        out.byte(static_cast<std::uint32_t>(std::clamp<std::int64_t>(offset, 0, static_cast<std::int64_t>(kept))));
    }
    if (value.switchState) out.number(value.switchState->state);
}

void item(ByteWriter& out, const vexcam::ItemSpec& value, std::size_t index)
{
    name(out, value.name, index);
    std::uint32_t id = 0;
    for (std::size_t i = 0; i < kItemIds.size(); ++i) {
        GUID candidate = kItemIds[i];
        if (i == 0 || i == kItemIds.size() - 1) candidate.Data1 += static_cast<std::uint32_t>(index);
        if (candidate == value.id) id = static_cast<std::uint32_t>(i);
    }
    out.byte(id);
    const std::size_t kept = out.count(value.elements.size(), kMaxElements);
    for (std::size_t i = 0; i < kept; ++i) element(out, value.elements[i], kept - i);
}

// Where `wanted` stands among the first `kept` specs; the first when absent.
template <typename Spec>
std::uint32_t positionOf(const std::vector<Spec>& specs, std::size_t kept, const std::string& wanted)
{
    for (std::size_t i = 0; i < kept; ++i)
        if (specs[i].name == wanted) return static_cast<std::uint32_t>(i);
    return 0;
}

bool holdsElement(const vexcam::ItemSpec& item, const std::string& element)
{
    const std::size_t kept = std::min(item.elements.size(), kMaxElements);
    if (kept == 0) return element.empty();
    return std::any_of(item.elements.begin(), item.elements.begin() + static_cast<std::ptrdiff_t>(kept),
                       [&](const vexcam::ElementSpec& spec) { return spec.name == element; });
}

// The fault's item among the first `kept`: of two items of one name, the one
// that holds the fault's element.
std::uint32_t faultItem(const std::vector<vexcam::ItemSpec>& items, std::size_t kept, const vexcam::PropertyFault& fault)
{
    for (std::size_t i = 0; i < kept; ++i)
        if (items[i].name == fault.item && holdsElement(items[i], fault.element)) return static_cast<std::uint32_t>(i);
    return positionOf(items, kept, fault.item);
}

void propertyFault(ByteWriter& out, const vexcam::PropertyFault& fault, const std::vector<vexcam::ItemSpec>& items)
{
    out.byte(static_cast<std::uint32_t>(fault.object));
    const auto slot = std::find(kFaultSlots.begin(), kFaultSlots.end(), fault.slot);
    out.byte(slot == kFaultSlots.end() ? 0 : static_cast<std::uint32_t>(slot - kFaultSlots.begin()));
    out.flag(slot == kFaultSlots.end());
    if (slot == kFaultSlots.end()) out.byte(static_cast<std::uint32_t>(std::clamp(fault.slot - 16, 0, 3)));
    out.pick(kStatuses, fault.status);
    out.flag(fault.missingObject);
    const std::size_t itemCount = std::min(items.size(), kMaxItems);
    if (itemCount == 0) return;
    const std::uint32_t chosen = faultItem(items, itemCount, fault);
    out.byte(chosen);
    const auto& elements = items[chosen].elements;
    const std::size_t elementCount = std::min(elements.size(), kMaxElements);
    if (elementCount != 0) out.byte(positionOf(elements, elementCount, fault.element));
}

bool anyFault(const vexcam::DeviceFaults& faults)
{
    return faults.refuseNorm || faults.refuseFormat || faults.refuseLive || faults.liveThrows ||
           faults.lostAfterFrames || !faults.lists.empty() || !faults.missingDescriptions.empty() ||
           !faults.properties.empty();
}

void faults(ByteWriter& out, const vexcam::DeviceFaults& value, const std::vector<vexcam::ItemSpec>& items)
{
    out.byte((value.refuseNorm ? 1 : 0) | (value.refuseFormat ? 2 : 0) | (value.refuseLive ? 4 : 0) |
             (value.liveThrows ? 8 : 0) | (value.lostAfterFrames ? 16 : 0) | (value.lists.empty() ? 0 : 32) |
             (value.missingDescriptions.empty() ? 0 : 64) | (value.properties.empty() ? 0 : 128));
    if (value.liveThrows) out.pick(kStatuses, static_cast<HRESULT>(*value.liveThrows));
    if (value.lostAfterFrames) out.byte(static_cast<std::uint32_t>(std::clamp<std::int64_t>(*value.lostAfterFrames, 0, 3)));
    if (!value.lists.empty())
        for (int kind = 1; kind <= 7; ++kind) {
            const auto found = value.lists.find(static_cast<vexcam::ListKind>(kind));
            out.byte(found == value.lists.end() ? 0 : static_cast<std::uint32_t>(found->second));
        }
    if (!value.missingDescriptions.empty())
        out.byte(static_cast<std::uint32_t>(std::min<std::size_t>(value.missingDescriptions.front(), 2)));
    if (!value.properties.empty()) {
        const std::size_t kept = std::min(value.properties.size(), kMaxPropertyFaults);
        out.byte(static_cast<std::uint32_t>(kept - 1));
        for (std::size_t i = 0; i < kept; ++i) propertyFault(out, value.properties[i], items);
    }
}

void normFormats(ByteWriter& out, const vexcam::NormSpec& norm, std::size_t most)
{
    const std::size_t kept = out.count(norm.formats.size(), most);
    for (std::size_t i = 0; i < kept; ++i) format(out, norm.formats[i]);
}

void device(ByteWriter& out, const vexcam::DeviceSpec& value, std::size_t index)
{
    const std::string mark = "#" + std::to_string(index);
    const bool marked = value.name.size() >= mark.size() && value.name.ends_with(mark);
    name(out, marked ? value.name.substr(0, value.name.size() - mark.size()) : value.name, index);
    out.flag(value.serial.has_value());
    if (value.serial) out.int32(static_cast<std::int32_t>(*value.serial));
    out.byte(value.opens ? 1 : 0);
    out.byte(value.hasNorms ? 0 : 1);
    if (value.hasNorms) {
        const std::size_t kept = out.count(value.norms.size(), kMaxNorms);
        for (std::size_t n = 0; n < kept; ++n) {
            name(out, value.norms[n].name, kept - n);
            normFormats(out, value.norms[n], kMaxNormFormats);
        }
    } else {
        const vexcam::NormSpec implicit = value.norms.empty() ? vexcam::NormSpec{} : value.norms.front();
        normFormats(out, implicit, kMaxFormats);
        const std::size_t kept = out.count(implicit.descriptions.size(), kMaxDescriptions);
        for (std::size_t i = 0; i < kept; ++i) description(out, implicit.descriptions[i]);
    }
    const std::size_t channels = out.count(value.channels.size(), kMaxChannels);
    for (std::size_t i = 0; i < channels; ++i) out.pick(kNames, value.channels[i]);
    const std::size_t rates = out.count(value.frameRates.defaults.size(), kMaxRates);
    for (std::size_t i = 0; i < rates; ++i) rate(out, value.frameRates.defaults[i]);
    out.byte(value.frameRates.available ? 1 : 0);
    const std::size_t items = out.count(value.properties.size(), kMaxItems);
    for (std::size_t i = 0; i < items; ++i) item(out, value.properties[i], items - i);
    out.flag(anyFault(value.faults));
    if (anyFault(value.faults)) faults(out, value.faults, value.properties);
}

} // namespace

std::vector<std::uint8_t> encodeRig(const vexcam::Rig& rig)
{
    ByteWriter out;
    out.byte(rig.deviceList == vexcam::ListFault::None ? 1 : 0);
    if (rig.deviceList != vexcam::ListFault::None) out.byte(static_cast<std::uint32_t>(rig.deviceList));
    const std::size_t kept = std::min(std::max<std::size_t>(rig.devices.size(), 1), kMaxDevices);
    out.byte(static_cast<std::uint32_t>(kept - 1));
    for (std::size_t i = 0; i < std::min(kept, rig.devices.size()); ++i) device(out, rig.devices[i], kept - i);
    return out.take();
}

} // namespace orx::fuzz
