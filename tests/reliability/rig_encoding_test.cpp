// The fuzzer's rig encoding: the encoder must mirror the decoder call for
// call, or the seeds made from the default rig decode to something else and
// the fuzzer starts from rigs nobody meant.
#include "reference_rig.h"
#include "rig_decoder.h"
#include "rig_encoder.h"

#include "vexcam/vexcam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace orx::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

vexcam::Rig roundTrip(const vexcam::Rig& rig)
{
    const Bytes bytes = fuzz::encodeRig(rig);
    return fuzz::decodeRig(bytes.data(), bytes.size());
}

vexcam::Size capped(vexcam::Size size)
{
    return {std::clamp(size.cx, 1, fuzz::kMaxSide), std::clamp(size.cy, 1, fuzz::kMaxSide)};
}

// What the encoding keeps of a device: its shape, formats, descriptions and
// the kinds of its properties.
void expectSameShape(const vexcam::DeviceSpec& original, const vexcam::DeviceSpec& decoded)
{
    SCOPED_TRACE(original.name);
    EXPECT_EQ(decoded.opens, original.opens);
    EXPECT_EQ(decoded.hasNorms, original.hasNorms);
    EXPECT_EQ(decoded.serial.has_value(), original.serial.has_value());
    ASSERT_EQ(decoded.norms.size(), std::min(original.norms.size(), original.hasNorms ? fuzz::kMaxNorms : 1));
    for (std::size_t n = 0; n < decoded.norms.size(); ++n) {
        const auto& formats = original.norms[n].formats;
        ASSERT_EQ(decoded.norms[n].formats.size(), std::min(formats.size(), original.hasNorms ? fuzz::kMaxNormFormats : fuzz::kMaxFormats));
        for (std::size_t f = 0; f < decoded.norms[n].formats.size(); ++f) {
            EXPECT_EQ(decoded.norms[n].formats[f].colorformat, formats[f].colorformat);
            EXPECT_EQ(decoded.norms[n].formats[f].size, capped(formats[f].size));
        }
        // Only the implicit norm of a device without norms has descriptions.
        const auto& descriptions = original.norms[n].descriptions;
        const std::size_t kept = original.hasNorms ? 0 : std::min(descriptions.size(), fuzz::kMaxDescriptions);
        ASSERT_EQ(decoded.norms[n].descriptions.size(), kept);
        for (std::size_t d = 0; d < decoded.norms[n].descriptions.size(); ++d) {
            EXPECT_EQ(decoded.norms[n].descriptions[d].colorformat, descriptions[d].colorformat);
            EXPECT_EQ(decoded.norms[n].descriptions[d].minSize, capped(descriptions[d].minSize));
            EXPECT_EQ(decoded.norms[n].descriptions[d].roi, descriptions[d].roi);
        }
    }
    EXPECT_EQ(decoded.channels.size(), std::min(original.channels.size(), fuzz::kMaxChannels));
    ASSERT_EQ(decoded.properties.size(), std::min(original.properties.size(), fuzz::kMaxItems));
    for (std::size_t i = 0; i < decoded.properties.size(); ++i) {
        const auto& item = original.properties[i];
        if (item.id == Vexlib::PartialScanOffsetItemId) {
            EXPECT_EQ(decoded.properties[i].id, item.id);
        }
        ASSERT_EQ(decoded.properties[i].elements.size(), std::min(item.elements.size(), fuzz::kMaxElements));
        for (std::size_t e = 0; e < decoded.properties[i].elements.size(); ++e) {
            const auto& element = item.elements[e];
            const auto& copy = decoded.properties[i].elements[e];
            EXPECT_EQ(copy.integerRange.has_value(), element.integerRange.has_value());
            if (copy.integerRange && element.integerRange) {
                EXPECT_EQ(copy.integerRange->min, element.integerRange->min);
                EXPECT_EQ(copy.integerRange->max, element.integerRange->max);
            }
            EXPECT_EQ(copy.doubleRange.has_value(), element.doubleRange.has_value());
            EXPECT_EQ(copy.stringList.has_value(), element.stringList.has_value());
            EXPECT_EQ(copy.switchState.has_value(), element.switchState.has_value());
            EXPECT_EQ(copy.button.has_value(), element.button.has_value());
        }
    }
}

void expectSameShape(const vexcam::Rig& original, const vexcam::Rig& decoded)
{
    ASSERT_EQ(decoded.devices.size(), std::min(original.devices.size(), fuzz::kMaxDevices));
    for (std::size_t i = 0; i < decoded.devices.size(); ++i) expectSameShape(original.devices[i], decoded.devices[i]);
}

TEST(RigEncoding, DefaultRigKeepsItsShape)
{
    const vexcam::Rig rig = vexcam::defaultRig();
    expectSameShape(rig, roundTrip(rig));
    // The encoding carries three devices at most: the fourth is seeded alone.
    vexcam::Rig last;
    last.devices.push_back(rig.devices.back());
    expectSameShape(last, roundTrip(last));
}

TEST(RigEncoding, ReferenceRigKeepsItsShape)
{
    const vexcam::Rig rig = referenceRig();
    expectSameShape(rig, roundTrip(rig));
}

TEST(RigEncoding, FaultsAndDeviceListSurvive)
{
    vexcam::Rig rig = referenceRig();
    rig.deviceList = vexcam::ListFault::Missing;
    auto& faults = rig.devices.front().faults;
    faults.refuseFormat = true;
    faults.liveThrows = E_NOTIMPL;
    faults.lostAfterFrames = 2;
    faults.lists[vexcam::ListKind::Channels] = vexcam::ListFault::Empty;
    faults.properties.push_back({vexcam::PropertyObject::Element, "Exposure", "Auto", 13, 1, false});
    const vexcam::Rig decoded = roundTrip(rig);

    EXPECT_EQ(decoded.deviceList, vexcam::ListFault::Missing);
    const auto& copy = decoded.devices.front().faults;
    EXPECT_TRUE(copy.refuseFormat);
    EXPECT_FALSE(copy.refuseLive);
    EXPECT_EQ(copy.liveThrows, E_NOTIMPL);
    EXPECT_EQ(copy.lostAfterFrames, 2);
    EXPECT_EQ(copy.lists.at(vexcam::ListKind::Channels), vexcam::ListFault::Empty);
    ASSERT_EQ(copy.properties.size(), 1u);
    EXPECT_EQ(copy.properties[0].object, vexcam::PropertyObject::Element);
    EXPECT_EQ(copy.properties[0].slot, 13);
    EXPECT_EQ(copy.properties[0].status, 1);
    // The decoded names are the encoding's own; the fault names the decoded
    // item and element at the original's places.
    const auto& items = decoded.devices.front().properties;
    EXPECT_EQ(copy.properties[0].item, items[1].name);
    EXPECT_EQ(copy.properties[0].element, items[1].elements[1].name);
}

// Any rig the decoder makes encodes to bytes that decode to the same rig: so
// the two agree on every call, field and count.
TEST(RigEncoding, DecodedRigsAreFixedPoints)
{
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, 600);
    for (int round = 0; round < 2000; ++round) {
        Bytes input(length(random));
        std::generate(input.begin(), input.end(), [&] { return static_cast<std::uint8_t>(byte(random)); });
        const Bytes once = fuzz::encodeRig(fuzz::decodeRig(input.data(), input.size()));
        const Bytes twice = fuzz::encodeRig(fuzz::decodeRig(once.data(), once.size()));
        const auto differ = std::mismatch(once.begin(), once.end(), twice.begin(), twice.end());
        ASSERT_EQ(once, twice) << "round " << round << ", first difference at byte " << (differ.first - once.begin());
    }
}

} // namespace
} // namespace orx::test
