// Values through the typed interfaces: round trips, refusals outside the
// range, switches, buttons, string lists and their texts, and what the
// camera reads back from the store directly.
#include "property_test_support.h"

#include <array>
#include <cmath>
#include <limits>

namespace vexcam::test {
namespace {

class PropertyValues : public orx::test::LeakCheckedTest {
protected:
    template <class T>
    orx::ComPtr<T> typedAt(LONG item, LONG element, const GUID& iid)
    {
        auto found = elementAt(*store_, item, element);
        return found ? typedInterface<T>(found, iid) : orx::ComPtr<T>{};
    }

    std::shared_ptr<PropertyStore> store_ = makeStore();
};

// An integer range reports its bounds and default, keeps what is written
// inside them (bounds included) and refuses anything outside, unchanged.
TEST_F(PropertyValues, IntegerRangeRoundTripAndRefusals)
{
    auto range = typedAt<Vexlib::IntegerRangeInterface>(1, 1, Vexlib::IntegerRangeInterfaceId);
    ASSERT_TRUE(range);
    LONG min = -1, max = -1, def = -1, value = -1;
    EXPECT_EQ(range->get_RangeMin(&min), S_OK);
    EXPECT_EQ(range->get_RangeMax(&max), S_OK);
    EXPECT_EQ(range->get_Default(&def), S_OK);
    EXPECT_EQ((std::array{min, max, def}), (std::array<LONG, 3>{0, 255, 128}));

    for (LONG accepted : {0, 255, 17}) {
        EXPECT_EQ(range->put_Value(accepted), S_OK);
        EXPECT_EQ(range->get_Value(&value), S_OK);
        EXPECT_EQ(value, accepted);
    }
    for (LONG refused : std::initializer_list<LONG>{-1, 256, std::numeric_limits<LONG>::min(),
                                                   std::numeric_limits<LONG>::max()}) {
        EXPECT_EQ(range->put_Value(refused), E_INVALIDARG) << refused;
        EXPECT_EQ(range->get_Value(&value), S_OK);
        EXPECT_EQ(value, 17);
    }
    EXPECT_EQ(range->get_Value(nullptr), E_POINTER);
}

// A double range does the same, and refuses a value that is not a number.
TEST_F(PropertyValues, DoubleRangeRoundTripAndRefusals)
{
    auto range = typedAt<Vexlib::DoubleRangeInterface>(3, 1, Vexlib::DoubleRangeInterfaceId);
    ASSERT_TRUE(range);
    double min = 0, max = 0, value = 0;
    EXPECT_EQ(range->get_RangeMin(&min), S_OK);
    EXPECT_EQ(range->get_RangeMax(&max), S_OK);
    EXPECT_DOUBLE_EQ(min, 0.0001);
    EXPECT_DOUBLE_EQ(max, 10.0);
    EXPECT_EQ(range->put_Value(2.5), S_OK);
    EXPECT_EQ(range->put_Value(std::nan("")), E_INVALIDARG);
    EXPECT_EQ(range->put_Value(10.000001), E_INVALIDARG);
    EXPECT_EQ(range->put_Value(0.0), E_INVALIDARG);
    EXPECT_EQ(range->put_Value(std::numeric_limits<double>::infinity()), E_INVALIDARG);
    EXPECT_EQ(range->get_Value(&value), S_OK);
    EXPECT_DOUBLE_EQ(value, 2.5);
}

// An element's two ranges hold separate values.
TEST_F(PropertyValues, TwoRangesOfOneElementAreIndependent)
{
    auto integer = typedAt<Vexlib::IntegerRangeInterface>(3, 1, Vexlib::IntegerRangeInterfaceId);
    auto real = typedAt<Vexlib::DoubleRangeInterface>(3, 1, Vexlib::DoubleRangeInterfaceId);
    ASSERT_TRUE(integer && real);
    EXPECT_EQ(integer->put_Value(500), S_OK);
    double value = 0;
    EXPECT_EQ(real->get_Value(&value), S_OK);
    EXPECT_DOUBLE_EQ(value, 0.01);
}

// A written value is seen through every other object of the same element,
// including ones made by a new items collection.
TEST_F(PropertyValues, ValuesAreSharedByAllObjectsOfTheStore)
{
    auto first = typedAt<Vexlib::IntegerRangeInterface>(4, 1, Vexlib::IntegerRangeInterfaceId);
    auto second = typedAt<Vexlib::IntegerRangeInterface>(4, 1, Vexlib::IntegerRangeInterfaceId);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(first->put_Value(200), S_OK);
    LONG value = 0;
    EXPECT_EQ(second->get_Value(&value), S_OK);
    EXPECT_EQ(value, 200);
    EXPECT_EQ(store_->integerValue(kWhiteBalanceId, kRedElementId), 200);
}

// A switch keeps the 16-bit state exactly as written.
TEST_F(PropertyValues, SwitchStoresTheStateAsGiven)
{
    auto autoGain = typedAt<Vexlib::SwitchInterface>(2, 2, Vexlib::SwitchInterfaceId);
    ASSERT_TRUE(autoGain);
    VARIANT_BOOL state = 5;
    EXPECT_EQ(autoGain->get_Switch(&state), S_OK);
    EXPECT_EQ(state, VARIANT_FALSE);
    for (VARIANT_BOOL written : {VARIANT_TRUE, VARIANT_FALSE, VARIANT_BOOL{1}, VARIANT_BOOL{-32768}}) {
        EXPECT_EQ(autoGain->put_Switch(written), S_OK);
        EXPECT_EQ(autoGain->get_Switch(&state), S_OK);
        EXPECT_EQ(state, written);
    }
}

// Every push is counted.
TEST_F(PropertyValues, ButtonCountsPushes)
{
    auto button = typedAt<Vexlib::ButtonInterface>(4, 2, Vexlib::ButtonInterfaceId);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->Push(), S_OK);
    EXPECT_EQ(button->Push(), S_OK);
    const auto element = store_->element(kWhiteBalanceId, kOnePushElementId);
    ASSERT_TRUE(element && element->button);
    EXPECT_EQ(element->button->pushes, 2);
}

// A string list's values run from its minimum over its texts; the text at
// position k of its collection belongs to the value minimum + k - 1.
TEST_F(PropertyValues, StringListValuesAndTexts)
{
    auto list = typedAt<Vexlib::StringListInterface>(5, 1, Vexlib::StringListInterfaceId);
    ASSERT_TRUE(list);
    LONG min = 0, max = 0, def = 0, value = 0;
    EXPECT_EQ(list->get_RangeMin(&min), S_OK);
    EXPECT_EQ(list->get_RangeMax(&max), S_OK);
    EXPECT_EQ(list->get_Default(&def), S_OK);
    EXPECT_EQ((std::array{min, max, def}), (std::array<LONG, 3>{5, 7, 7}));

    EXPECT_EQ(list->put_Value(5), S_OK);
    EXPECT_EQ(list->put_Value(4), E_INVALIDARG);
    EXPECT_EQ(list->put_Value(8), E_INVALIDARG);
    EXPECT_EQ(list->get_Value(&value), S_OK);
    EXPECT_EQ(value, 5);

    orx::ComPtr<Vexlib::TextCollection> texts;
    ASSERT_EQ(list->get_Strings(texts.put()), S_OK);
    LONG count = 0;
    EXPECT_EQ(texts->get_Count(&count), S_OK);
    ASSERT_EQ(count, 3);
    const char* expected[] = {"Off", "Exposure", "Fixed"};
    for (LONG k = 1; k <= count; ++k) {
        orx::Bstr text;
        EXPECT_EQ(texts->get_Item(k, text.put()), S_OK);
        EXPECT_EQ(textOf(text.get()), wideOf(expected[k - 1]));
    }
    orx::Bstr none;
    EXPECT_EQ(texts->get_Item(4, none.put()), DISP_E_BADINDEX);
    EXPECT_EQ(texts->get_Item(0, none.put()), DISP_E_BADINDEX);
    EXPECT_FALSE(none);
}

// A string list without texts refuses every value; its maximum lies below
// its minimum.
TEST_F(PropertyValues, StringListWithoutTextsRefusesEverything)
{
    ElementSpec empty = namedElement("Mode", kModeElementId);
    empty.stringList = StringListSpec{std::numeric_limits<LONG>::min(), 0, 0, {}};
    auto store = std::make_shared<PropertyStore>(std::vector<ItemSpec>{{"Strobe", kStrobeId, {empty}}},
                                                 std::vector<PropertyFault>{}, ListFault::None);
    auto element = elementAt(*store, 1, 1);
    auto list = typedInterface<Vexlib::StringListInterface>(element, Vexlib::StringListInterfaceId);
    ASSERT_TRUE(list);
    LONG max = 0;
    EXPECT_EQ(list->get_RangeMax(&max), S_OK);
    EXPECT_EQ(max, std::numeric_limits<LONG>::min());
    EXPECT_EQ(list->put_Value(std::numeric_limits<LONG>::min()), E_INVALIDARG);
    EXPECT_EQ(list->put_Value(0), E_INVALIDARG);
}

// The camera reads the partial-scan offsets and the auto-centre switch, and
// writes an offset only within its range.
TEST_F(PropertyValues, PartialScanOffsetForTheCamera)
{
    EXPECT_EQ(store_->partialScanOffset(), (Size{0, 0}));
    EXPECT_TRUE(store_->autoCenter());

    auto offsetX = typedAt<Vexlib::IntegerRangeInterface>(7, 2, Vexlib::IntegerRangeInterfaceId);
    auto autoCenter = typedAt<Vexlib::SwitchInterface>(7, 1, Vexlib::SwitchInterfaceId);
    ASSERT_TRUE(offsetX && autoCenter);
    EXPECT_EQ(offsetX->put_Value(64), S_OK);
    EXPECT_EQ(autoCenter->put_Switch(VARIANT_FALSE), S_OK);
    EXPECT_TRUE(store_->setIntegerValue(Vexlib::PartialScanOffsetItemId, Vexlib::OffsetYElementId, 32));
    EXPECT_FALSE(store_->setIntegerValue(Vexlib::PartialScanOffsetItemId, Vexlib::OffsetYElementId, 957));
    EXPECT_FALSE(store_->setIntegerValue(Vexlib::PartialScanOffsetItemId, Vexlib::AutoCenterElementId, 0));
    EXPECT_FALSE(store_->setIntegerValue(guid(77), Vexlib::OffsetYElementId, 0));
    EXPECT_EQ(store_->partialScanOffset(), (Size{64, 32}));
    EXPECT_FALSE(store_->autoCenter());
    EXPECT_EQ(store_->integerValue(Vexlib::PartialScanOffsetItemId, Vexlib::AutoCenterElementId), std::nullopt);
}

// Without the partial-scan item there is no offset and no auto-centre; an
// item without offset elements reports 0, 0.
TEST_F(PropertyValues, PartialScanOffsetAbsent)
{
    PropertyStore without({{"Gain", kGainId, {}}}, {}, ListFault::None);
    EXPECT_EQ(without.partialScanOffset(), std::nullopt);
    EXPECT_FALSE(without.autoCenter());
    PropertyStore bare({{"Partial", Vexlib::PartialScanOffsetItemId, {}}}, {}, ListFault::None);
    EXPECT_EQ(bare.partialScanOffset(), (Size{0, 0}));
}

// Brightness shifts by its distance from the default; gain is 1 at the
// default and moves by 1 over the whole range, never below 0.
TEST_F(PropertyValues, PatternAdjustFollowsTheEffectElements)
{
    EXPECT_EQ(store_->patternAdjust().brightness, 0);
    EXPECT_DOUBLE_EQ(store_->patternAdjust().gain, 1.0);
    EXPECT_TRUE(store_->setIntegerValue(kBrightnessId, Vexlib::ValueElementId, 100));
    EXPECT_TRUE(store_->setIntegerValue(kGainId, Vexlib::ValueElementId, 300));
    EXPECT_EQ(store_->patternAdjust().brightness, -28);
    EXPECT_DOUBLE_EQ(store_->patternAdjust().gain, 1.5);

    ElementSpec gain = namedElement("Value", Vexlib::ValueElementId);
    gain.doubleRange = DoubleRangeSpec{0.0, 1.0, 1.0, 0.0};
    gain.effect = PatternEffect::Gain;
    PropertyStore doubleGain({{"Gain", kGainId, {gain}}}, {}, ListFault::None);
    EXPECT_DOUBLE_EQ(doubleGain.patternAdjust().gain, 0.0);
    EXPECT_EQ(doubleGain.patternAdjust().brightness, 0);
}

} // namespace
} // namespace vexcam::test
