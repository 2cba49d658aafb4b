// Publication of the camera's own properties: names, types, bounds, values.
#include "properties/property_publication.h"

#include "properties/property_model.h"
#include "property_fakes.h"
#include "property_rig.h"
#include "support/box_recorder.h"
#include "support/leak_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace orx::test {
namespace {

using vexcam::ElementSpec;
using vexcam::ItemSpec;
using vexcam::PropertyFault;
using vexcam::PropertyObject;

using EnumValues = std::vector<std::pair<std::string, std::int32_t>>;

ElementSpec rangeElement(const std::string& name, const GUID& id, std::int32_t min, std::int32_t max,
                         std::int32_t def = 0)
{
    return integerElement(name, id, {min, max, def, def});
}

ElementSpec stringListElement(const std::string& name, std::int32_t min, std::int32_t def,
                              std::vector<std::string> texts)
{
    return listElement(name, Vexlib::ValueElementId, {min, def, def, std::move(texts)});
}

ElementSpec doubleValue(vexcam::DoubleRangeSpec range)
{
    return doubleElement("Value", Vexlib::ValueElementId, range);
}

class PropertyPublicationTest : public LeakCheckedTest {
protected:
    RecordingFactory publish(const std::vector<ItemSpec>& items)
    {
        OpenCamera camera(cameraDevice(items));
        RecordingFactory factory;
        publishCameraProperties(camera.grabber(), factory);
        return factory;
    }
};

// The naming rule: blanks and dashes go, Auto and Value elements take the item's
// name, self-named elements their own, all others item and element name joined.
TEST_F(PropertyPublicationTest, NamesFollowTheElementIdentifier)
{
    const std::vector<ItemSpec> items{
        {"Auto-Exposure Reference", testGuid(1), {rangeElement("Value", Vexlib::ValueElementId, 0, 9)}},
        {"White-Balance", testGuid(2), {rangeElement("Auto", Vexlib::AutoElementId, 0, 9)}},
        {"Trigger", testGuid(3),
         {rangeElement("Soft - Trigger", Vexlib::SelfNamedElementIdA, 0, 9),
          rangeElement("Burst Count", Vexlib::SelfNamedElementIdB, 0, 9),
          rangeElement("De-bounce", Vexlib::SelfNamedElementIdC, 0, 9)}},
        {"White Balance", testGuid(4), {rangeElement("Blue - Gain", testGuid(40), 0, 9)}},
    };
    BoxRecorder recorder;
    const auto factory = publish(items);
    EXPECT_EQ(factory.publishedNames(),
              (std::vector<std::string>{"AutoExposureReference", "WhiteBalanceAuto", "SoftTrigger",
                                        "BurstCount", "Debounce", "WhiteBalanceBlueGain"}));
    const auto lines = recorder.debugLines();
    const std::vector<std::string> expected{"Property : Auto-ExposureReference\n", "AutoExposureReference\n",
                                            "Property : White-Balance\n", "WhiteBalanceAuto\n",
                                            "Property : Trigger\n", "SoftTrigger\n", "BurstCount\n",
                                            "Debounce\n", "Property : WhiteBalance\n",
                                            "WhiteBalanceBlueGain\n"};
    EXPECT_EQ(lines, expected);
}

// The name depends on names and element identifier only, not on the item's identifier.
TEST_F(PropertyPublicationTest, PublishedNameIgnoresItemIdentifierAndInterfaces)
{
    OpenCamera camera(cameraDevice({{"Gain", testGuid(1), {switchElement("Mode Select", testGuid(9))}},
                                    {"Gain", testGuid(2), {plainElement("Mode Select", testGuid(9))}}}));
    const auto items = camera.grabber().getAvailableVCDProperties();
    const auto list = listItems(items.get());
    ASSERT_EQ(list.size(), 2u);
    for (const auto& item : list) {
        const auto elements = listElements(*item.get());
        EXPECT_EQ(publishedPropertyName(itemPartOf(*item.get()), *elements.at(0).get()), "GainModeSelect");
    }
}

// The excluded and the partial-scan items are never published, whatever they hold.
TEST_F(PropertyPublicationTest, ExcludedAndPartialScanItemsAreSkipped)
{
    const std::vector<ItemSpec> items{
        {"Partial Scan", Vexlib::PartialScanOffsetItemId, {rangeElement("X", Vexlib::OffsetXElementId, 0, 9)}},
        {"Hidden", Vexlib::ExcludedItemId, {rangeElement("Value", Vexlib::ValueElementId, 0, 9)}},
        {"Gain", testGuid(1), {rangeElement("Value", Vexlib::ValueElementId, 0, 9)}},
    };
    BoxRecorder recorder;
    const auto factory = publish(items);
    EXPECT_EQ(factory.publishedNames(), std::vector<std::string>{"Gain"});
    EXPECT_EQ(recorder.debugLines(),
              (std::vector<std::string>{"Property : PartialScan\n", "Skip!\n", "Property : Hidden\n",
                                        "Skip!\n", "Property : Gain\n", "Gain\n"}));
}

// An integer range is declared with its bounds, its default, the flag 1, writable at all times.
TEST_F(PropertyPublicationTest, IntegerRangeCarriesBoundsAndDefault)
{
    const auto factory = publish({{"Brightness", testGuid(1), {rangeElement("Value", Vexlib::ValueElementId, -10, 255, 128)}}});
    const auto& property = factory.only("Brightness");
    EXPECT_EQ(property.kind, "intRange");
    EXPECT_EQ(property.lower, -10);
    EXPECT_EQ(property.upper, 255);
    EXPECT_EQ(property.defaultValue, 128);
    EXPECT_EQ(property.flags, 1);
    EXPECT_EQ(factory.calls, (std::vector<std::string>{"new Brightness", "mode Brightness never",
                                                        "publish Brightness"}));
}

// A range whose maximum is not above its minimum gives no property, an unordered pair neither.
TEST_F(PropertyPublicationTest, RangesWithMaximumNotAboveMinimumAreLeftOut)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<ItemSpec> items{
        {"Equal", testGuid(1), {rangeElement("Value", Vexlib::ValueElementId, 5, 5, 5)}},
        {"Below", testGuid(2), {rangeElement("Value", Vexlib::ValueElementId, 6, 5, 5)}},
        {"NotANumber", testGuid(3),
         {doubleValue({nan, 1.0, 0.5, 0.5})}},
        {"DoubleEqual", testGuid(4),
         {doubleValue({1.0, 1.0, 1.0, 1.0})}},
    };
    const auto factory = publish(items);
    EXPECT_TRUE(factory.calls.empty());
}

// An element with both range interfaces gives an integer and then a double property of one name.
TEST_F(PropertyPublicationTest, BothRangeInterfacesGiveTwoPropertiesOfOneName)
{
    ItemSpec exposure{"Exposure", testGuid(1), {}};
    exposure.elements.push_back(integerElement("Value", Vexlib::ValueElementId, {1, 1000, 100, 100}));
    exposure.elements.back().doubleRange = vexcam::DoubleRangeSpec{0.001, 1.0, 0.1, 0.1};
    const auto factory = publish({exposure});
    const auto published = factory.published("Exposure");
    ASSERT_EQ(published.size(), 2u);
    EXPECT_EQ(published[0]->kind, "intRange");
    EXPECT_EQ(published[1]->kind, "doubleRange");
    EXPECT_DOUBLE_EQ(published[1]->lower, 0.001);
    EXPECT_DOUBLE_EQ(published[1]->upper, 1.0);
    EXPECT_DOUBLE_EQ(published[1]->defaultValue, 0.1);
    EXPECT_EQ(published[1]->readOnlyMode, "never");
}

// A string list starts at its default's text; values are numbered by position from 0,
// the start text given twice; minimum 0 / default 2 and minimum 5 / default 7 alike.
TEST_F(PropertyPublicationTest, StringListsNumberTextsFromZero)
{
    const std::vector<std::string> texts{"Off", "Low", "Mid", "High"};
    const auto factory = publish({{"Strobe", testGuid(1), {stringListElement("Value", 0, 2, texts)}},
                                  {"Mode", testGuid(2), {stringListElement("Value", 5, 7, texts)}}});
    const EnumValues expected{{"Mid", 2}, {"Off", 0}, {"Low", 1}, {"Mid", 2}, {"High", 3}};
    EXPECT_EQ(factory.only("Strobe").values, expected);
    EXPECT_EQ(factory.only("Mode").values, expected);
    EXPECT_EQ(factory.only("Mode").readOnlyMode, "never");
}

// A default outside the texts, or no texts at all, leaves the property out; the pass goes on.
TEST_F(PropertyPublicationTest, StringListWithoutStartTextIsLeftOut)
{
    const std::vector<std::string> texts{"Off", "On"};
    const auto factory = publish({{"Before", testGuid(1), {stringListElement("Value", 3, 2, texts)}},
                                  {"After", testGuid(2), {stringListElement("Value", 0, 2, texts)}},
                                  {"Empty", testGuid(3), {stringListElement("Value", 0, 0, {})}},
                                  {"Good", testGuid(4), {stringListElement("Value", 0, 1, texts)}}});
    EXPECT_EQ(factory.publishedNames(), std::vector<std::string>{"Good"});
    EXPECT_EQ(factory.calls.size(), 5u); // new, two appends, mode, publish of "Good" only
}

// Switch names are compared whole and case-sensitively.
TEST_F(PropertyPublicationTest, SwitchValuesFollowTheElementName)
{
    const auto factory = publish({{"Gain", testGuid(1), {switchElement("Auto", Vexlib::AutoElementId)}},
                                  {"Trigger", testGuid(2),
                                   {switchElement("Polarity", testGuid(20)), switchElement("Enable", testGuid(21)),
                                    switchElement("auto", testGuid(22)), switchElement("Auto ", testGuid(23))}}});
    EXPECT_EQ(factory.only("GainAuto").values, (EnumValues{{"On", 1}, {"Off", 0}}));
    EXPECT_EQ(factory.only("TriggerPolarity").values, (EnumValues{{"High", 1}, {"Low", 0}}));
    EXPECT_EQ(factory.only("TriggerEnable").values, (EnumValues{{"Disable", 0}, {"Enable", 1}}));
    EXPECT_EQ(factory.only("Triggerauto").values, (EnumValues{{"Disable", 0}, {"Enable", 1}}));
    // "Auto " keeps its blank for the comparison, loses it in the name.
    EXPECT_EQ(factory.only("TriggerAuto").values, (EnumValues{{"Disable", 0}, {"Enable", 1}}));
}

// A button is an enumeration "Ready" = 0, "Push" = 1, writable at all times.
TEST_F(PropertyPublicationTest, ButtonIsReadyOrPush)
{
    const auto factory = publish(
        {{"White Balance", testGuid(1), {buttonElement("One Push", testGuid(10))}}});
    const auto& property = factory.only("WhiteBalanceOnePush");
    EXPECT_EQ(property.values, (EnumValues{{"Ready", 0}, {"Push", 1}}));
    EXPECT_EQ(property.readOnlyMode, "never");
}

// An element offering nothing is named but not published.
TEST_F(PropertyPublicationTest, ElementWithoutInterfacesIsNotPublished)
{
    BoxRecorder recorder;
    const auto factory = publish({{"Info", testGuid(1), {plainElement("Version", testGuid(10))}}});
    EXPECT_TRUE(factory.calls.empty());
    EXPECT_TRUE(recorder.anyDebugLineContains("InfoVersion\n"));
}

// Without a handle nothing more is done for that interface, and the pass goes on.
TEST_F(PropertyPublicationTest, NoHandleMeansNothingMoreForThatProperty)
{
    RecordingFactory factory;
    factory.refused = {"Gain", "TriggerPolarity", "Strobe", "WhiteBalanceOnePush", "Exposure"};
    OpenCamera camera(cameraDevice(
        {{"Gain", testGuid(1), {rangeElement("Value", Vexlib::ValueElementId, 0, 9)}},
         {"Trigger", testGuid(2), {switchElement("Polarity", testGuid(20))}},
         {"Strobe", testGuid(3), {stringListElement("Value", 0, 0, {"A", "B"})}},
         {"White Balance", testGuid(4), {buttonElement("One Push", testGuid(10))}},
         {"Exposure", testGuid(5),
          {doubleValue({0, 1, 0, 0})}},
         {"Zoom", testGuid(6), {rangeElement("Value", Vexlib::ValueElementId, 0, 9)}}}));
    publishCameraProperties(camera.grabber(), factory);
    EXPECT_EQ(factory.calls,
              (std::vector<std::string>{"new Gain", "new TriggerPolarity", "new Strobe", "new WhiteBalanceOnePush",
                                        "new Exposure", "new Zoom", "mode Zoom never", "publish Zoom"}));
}

// Each publishAs... answers whether it published.
TEST_F(PropertyPublicationTest, PublishFunctionsTellWhetherTheyPublished)
{
    OpenCamera camera(cameraDevice({{"Gain", testGuid(1), {rangeElement("Value", Vexlib::ValueElementId, 0, 9)}}}));
    const auto items = camera.grabber().getAvailableVCDProperties();
    const auto list = listItems(items.get());
    const auto elements = listElements(*list.at(0).get());
    auto& element = *elements.at(0).get();
    RecordingFactory factory;
    EXPECT_TRUE(publishAsIntegerRange("Gain", element, factory));
    EXPECT_FALSE(publishAsDoubleRange("Gain", element, factory));
    EXPECT_FALSE(publishAsButton("Gain", element, factory));
    EXPECT_FALSE(publishAsSwitch("Gain", element, factory));
    EXPECT_FALSE(publishAsStringList("Gain", element, factory));
    factory.refused = {"Gain"};
    EXPECT_FALSE(publishAsIntegerRange("Gain", element, factory));
}

struct FailingRead {
    const char* name;
    PropertyObject object;
    int slot;
};

class PropertyPublicationFailureTest : public LeakCheckedTest,
                                       public ::testing::WithParamInterface<FailingRead> {};

// A failing bound, default or text ends the pass with the status; what was
// published before stays published, and nothing leaks.
TEST_P(PropertyPublicationFailureTest, NegativeStatusEndsThePass)
{
    const HRESULT status = static_cast<HRESULT>(0x80070015u);
    ItemSpec target{"Target", testGuid(2), {}};
    target.elements.push_back(integerElement("Value", Vexlib::ValueElementId, {0, 9, 1, 1}));
    target.elements.back().doubleRange = vexcam::DoubleRangeSpec{0, 1, 0, 0};
    target.elements.back().stringList = vexcam::StringListSpec{0, 0, 0, {"A"}};
    auto device = cameraDevice({{"First", testGuid(1), {rangeElement("Value", Vexlib::ValueElementId, 0, 9)}},
                                target,
                                {"Last", testGuid(3), {rangeElement("Value", Vexlib::ValueElementId, 0, 9)}}});
    device.faults.properties.push_back({GetParam().object, "Target", "Value", GetParam().slot, status});
    OpenCamera camera(std::move(device));
    RecordingFactory factory;
    std::optional<std::int32_t> thrown;
    try {
        publishCameraProperties(camera.grabber(), factory);
    } catch (std::int32_t caught) {
        thrown = caught;
    }
    ASSERT_TRUE(thrown.has_value());
    EXPECT_EQ(*thrown, status);
    EXPECT_EQ(factory.published("First").size(), 1u);
    EXPECT_TRUE(factory.published("Last").empty());
}

INSTANTIATE_TEST_SUITE_P(Slots, PropertyPublicationFailureTest,
                         ::testing::Values(FailingRead{"IntegerMinimum", PropertyObject::IntegerRange, 15},
                                           FailingRead{"IntegerMaximum", PropertyObject::IntegerRange, 16},
                                           FailingRead{"IntegerDefault", PropertyObject::IntegerRange, 17},
                                           FailingRead{"DoubleMinimum", PropertyObject::DoubleRange, 15},
                                           FailingRead{"DoubleMaximum", PropertyObject::DoubleRange, 16},
                                           FailingRead{"DoubleDefault", PropertyObject::DoubleRange, 17},
                                           FailingRead{"ListMinimum", PropertyObject::StringList, 15},
                                           FailingRead{"ListDefault", PropertyObject::StringList, 17},
                                           FailingRead{"ListTexts", PropertyObject::StringList, 19},
                                           FailingRead{"Text", PropertyObject::Texts, 8},
                                           FailingRead{"ItemName", PropertyObject::Item, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace orx::test
