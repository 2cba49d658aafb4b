// The access layer over the camera's property objects, against the simulated
// camera library's COM objects.
#include "properties/property_model.h"

#include "property_rig.h"
#include "support/leak_check.h"

#include "win32seam/testing/win32_seam.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace orx::test {
namespace {

using vexcam::ElementSpec;
using vexcam::ItemSpec;
using vexcam::PropertyFault;
using vexcam::PropertyObject;

const GUID kFocusId = testGuid(1);
const GUID kModeId = testGuid(2);
const GUID kEmptyId = testGuid(3);

// Focus: Value (integer + double range), Auto (switch), Push (button).
// Mode: a string list. Empty: no elements.
std::vector<ItemSpec> modelItems()
{
    ItemSpec focus{"Focus - Near", kFocusId, {}};
    auto value = integerElement("Value", Vexlib::ValueElementId, {0, 100, 50, 40});
    value.doubleRange = vexcam::DoubleRangeSpec{0.0, 1.0, 0.5, 0.4};
    focus.elements.push_back(value);
    focus.elements.push_back(switchElement("Auto", Vexlib::AutoElementId, -1));
    focus.elements.push_back(buttonElement("One Push", testGuid(10)));
    ItemSpec mode{"Mode", kModeId, {}};
    mode.elements.push_back(listElement("Value", Vexlib::ValueElementId, {2, 3, 3, {"Off", "Fast", "Slow"}}));
    return {focus, mode, ItemSpec{"Empty", kEmptyId, {}}};
}

vexcam::DeviceSpec modelCamera(std::vector<PropertyFault> faults = {})
{
    auto device = cameraDevice(modelItems());
    device.faults.properties = std::move(faults);
    return device;
}

class PropertyModelTest : public LeakCheckedTest {};

// Items and elements come in collection order with their names and identifiers as given.
TEST_F(PropertyModelTest, ListsItemsAndElementsInCollectionOrder)
{
    OpenCamera camera(modelCamera());
    const auto items = camera.grabber().getAvailableVCDProperties();
    const auto list = listItems(items.get());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(itemName(*list[0].get()), "Focus - Near");
    EXPECT_EQ(itemName(*list[1].get()), "Mode");
    EXPECT_EQ(itemId(*list[1].get()), kModeId);

    const auto elements = listElements(*list[0].get());
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elementName(*elements[2].get()), "One Push");
    EXPECT_EQ(elementId(*elements[0].get()), Vexlib::ValueElementId);
    EXPECT_EQ(elementId(*elements[1].get()), Vexlib::AutoElementId);
    EXPECT_TRUE(listElements(*list[2].get()).empty());
}

// A device without property items: an empty holder or a collection of count 0.
TEST_F(PropertyModelTest, NoItemsFromEmptyHolderOrEmptyCollection)
{
    EXPECT_TRUE(listItems(nullptr).empty());
    for (const auto fault : {vexcam::ListFault::Empty, vexcam::ListFault::Missing}) {
        auto device = modelCamera();
        device.faults.lists[vexcam::ListKind::Properties] = fault;
        OpenCamera camera(std::move(device));
        const auto items = camera.grabber().getAvailableVCDProperties();
        EXPECT_EQ(static_cast<bool>(items), fault == vexcam::ListFault::Empty);
        EXPECT_TRUE(listItems(items.get()).empty());
    }
}

// Names are cut at a zero character inside the BSTR and otherwise kept as they are.
TEST_F(PropertyModelTest, NamesEndAtZeroCharacterAndKeepBlanksDashesAndCase)
{
    ItemSpec cut{std::string("Gain\0Hidden", 11), testGuid(20), {}};
    ItemSpec kept{"White-Balance Red ÄÖ", testGuid(21), {}};
    OpenCamera camera(cameraDevice({cut, kept}));
    const auto items = camera.grabber().getAvailableVCDProperties();
    const auto list = listItems(items.get());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(itemName(*list[0].get()), "Gain");
    EXPECT_EQ(itemName(*list[1].get()), "White-Balance Red ÄÖ");
}

// An element with both range interfaces yields each; one with neither yields none.
TEST_F(PropertyModelTest, LooksUpEveryOfferedInterfaceAndNoOther)
{
    OpenCamera camera(modelCamera());
    const auto items = camera.grabber().getAvailableVCDProperties();
    const auto list = listItems(items.get());
    const auto elements = listElements(*list[0].get());
    auto& value = *elements[0].get();
    auto& autoElement = *elements[1].get();

    ComPtr<Vexlib::IntegerRangeInterface> integerRange;
    ComPtr<Vexlib::DoubleRangeInterface> doubleRange;
    lookUpInterface(value, integerRange);
    lookUpInterface(value, doubleRange);
    ASSERT_TRUE(integerRange);
    ASSERT_TRUE(doubleRange);
    LONG current = 0;
    double currentDouble = 0;
    EXPECT_EQ(integerRange->get_Value(&current), S_OK);
    EXPECT_EQ(doubleRange->get_Value(&currentDouble), S_OK);
    EXPECT_EQ(current, 40);
    EXPECT_DOUBLE_EQ(currentDouble, 0.4);

    // A variable that held a reference is emptied first (the leak check proves the release).
    lookUpInterface(autoElement, integerRange);
    lookUpInterface(autoElement, doubleRange);
    EXPECT_FALSE(integerRange);
    EXPECT_FALSE(doubleRange);
    ComPtr<Vexlib::SwitchInterface> switchInterface;
    lookUpInterface(autoElement, switchInterface);
    EXPECT_TRUE(switchInterface);
    switchInterface.reset();
    EXPECT_FALSE(switchInterface);
}

// Only a find-interface status of exactly zero counts; the object of any other is released.
TEST_F(PropertyModelTest, FindInterfaceOtherThanZeroMeansNotFound)
{
    for (const HRESULT status : {S_FALSE, E_FAIL}) {
        OpenCamera camera(modelCamera({PropertyFault{PropertyObject::Element, "Focus - Near", "Value", 13, status}}));
        const auto items = camera.grabber().getAvailableVCDProperties();
        const auto list = listItems(items.get());
        const auto elements = listElements(*list[0].get());
        ComPtr<Vexlib::IntegerRangeInterface> range;
        lookUpInterface(*elements[0].get(), range);
        EXPECT_FALSE(range) << "status " << status;
    }
}

// Without memory for the identifier text (task memory or BSTR) nothing is found and nothing leaks.
TEST_F(PropertyModelTest, LookUpWithoutMemoryFindsNothing)
{
    OpenCamera camera(modelCamera());
    const auto items = camera.grabber().getAvailableVCDProperties();
    const auto list = listItems(items.get());
    const auto elements = listElements(*list[0].get());
    ComPtr<Vexlib::IntegerRangeInterface> range;
    win32seam::failNextTaskMemAllocs(1);
    lookUpInterface(*elements[0].get(), range);
    EXPECT_FALSE(range);
    win32seam::failNextBstrAllocs(1);
    lookUpInterface(*elements[0].get(), range);
    EXPECT_FALSE(range);
    lookUpInterface(*elements[0].get(), range);
    EXPECT_TRUE(range);
}

// Texts come in position order, as UTF-8.
TEST_F(PropertyModelTest, ListsStringListTextsInOrder)
{
    OpenCamera camera(modelCamera());
    const auto items = camera.grabber().getAvailableVCDProperties();
    const auto list = listItems(items.get());
    const auto elements = listElements(*list[1].get());
    ComPtr<Vexlib::StringListInterface> strings;
    lookUpInterface(*elements[0].get(), strings);
    ASSERT_TRUE(strings);
    EXPECT_EQ(listTexts(*strings.get()), (TextList{"Off", "Fast", "Slow"}));
}

// Undelivered entries are left out of lists; undelivered names and texts read as empty.
TEST_F(PropertyModelTest, UndeliveredEntriesAndTextsDoNotBreakTheWalk)
{
    auto missing = [](PropertyObject object, const char* item, const char* element, int slot) {
        PropertyFault fault{object, item, element, slot, S_OK};
        fault.missingObject = true;
        return fault;
    };
    {
        OpenCamera camera(modelCamera({missing(PropertyObject::Items, "", "", 8)}));
        const auto items = camera.grabber().getAvailableVCDProperties();
        EXPECT_TRUE(listItems(items.get()).empty());
    }
    OpenCamera camera(modelCamera({missing(PropertyObject::Elements, "Focus - Near", "", 8),
                                   missing(PropertyObject::Item, "Mode", "", 7),
                                   missing(PropertyObject::Texts, "Mode", "Value", 8)}));
    const auto items = camera.grabber().getAvailableVCDProperties();
    const auto list = listItems(items.get());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(listElements(*list[0].get()).empty());
    EXPECT_EQ(itemName(*list[1].get()), "");
    const auto elements = listElements(*list[1].get());
    ComPtr<Vexlib::StringListInterface> strings;
    lookUpInterface(*elements[0].get(), strings);
    ASSERT_TRUE(strings);
    EXPECT_EQ(listTexts(*strings.get()), (TextList{"", "", ""}));
}

struct FailingSlot {
    const char* name;
    PropertyFault fault;
};

class PropertyModelFailureTest : public LeakCheckedTest,
                                 public ::testing::WithParamInterface<FailingSlot> {};

// Walks the whole tree, names, ids, interfaces and texts included.
void walkEverything(Vexlib::IVCDPropertyItems* items)
{
    for (const auto& item : listItems(items)) {
        static_cast<void>(itemName(*item.get()));
        static_cast<void>(itemId(*item.get()));
        for (const auto& element : listElements(*item.get())) {
            static_cast<void>(elementName(*element.get()));
            static_cast<void>(elementId(*element.get()));
            ComPtr<Vexlib::StringListInterface> strings;
            lookUpInterface(*element.get(), strings);
            if (strings) static_cast<void>(listTexts(*strings.get()));
        }
    }
}

// A negative status of a slot that must succeed leaves as the status itself, nothing leaked.
TEST_P(PropertyModelFailureTest, NegativeStatusIsThrownAsItself)
{
    const HRESULT status = static_cast<HRESULT>(0x8007001Fu);
    auto fault = GetParam().fault;
    fault.status = status;
    OpenCamera camera(modelCamera({fault}));
    const auto items = camera.grabber().getAvailableVCDProperties();
    std::optional<std::int32_t> thrown;
    try {
        walkEverything(items.get());
    } catch (std::int32_t caught) {
        thrown = caught;
    }
    ASSERT_TRUE(thrown.has_value());
    EXPECT_EQ(*thrown, status);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, PropertyModelFailureTest,
    ::testing::Values(FailingSlot{"ItemCount", {PropertyObject::Items, "", "", 9}},
                      FailingSlot{"ItemName", {PropertyObject::Item, "Mode", "", 7}},
                      FailingSlot{"ItemElements", {PropertyObject::Item, "Mode", "", 8}},
                      FailingSlot{"ElementCount", {PropertyObject::Elements, "Focus - Near", "", 9}},
                      FailingSlot{"ElementName", {PropertyObject::Element, "Focus - Near", "Auto", 10}},
                      FailingSlot{"TextCollection", {PropertyObject::StringList, "Mode", "Value", 19}},
                      FailingSlot{"TextCount", {PropertyObject::Texts, "Mode", "Value", 9}},
                      FailingSlot{"Text", {PropertyObject::Texts, "Mode", "Value", 8}}),
    [](const auto& info) { return std::string(info.param.name); });

// A failed fetch at a position is not a failure: the entry is left out.
TEST_F(PropertyModelTest, FailedFetchAtPositionIsLeftOut)
{
    OpenCamera camera(modelCamera({PropertyFault{PropertyObject::Elements, "Focus - Near", "", 8, E_FAIL}}));
    const auto items = camera.grabber().getAvailableVCDProperties();
    const auto list = listItems(items.get());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(listElements(*list[0].get()).empty());
}

// Zero and positive statuses pass; a negative one is thrown as itself.
TEST_F(PropertyModelTest, OnlyNegativeStatusesThrow)
{
    EXPECT_NO_THROW(checkStatus(S_OK));
    EXPECT_NO_THROW(checkStatus(S_FALSE));
    try {
        checkStatus(E_NOINTERFACE);
        FAIL() << "no exception";
    } catch (std::int32_t status) {
        EXPECT_EQ(status, E_NOINTERFACE);
    }
}

// Identifiers are equal only when all 16 bytes are.
TEST_F(PropertyModelTest, CompareAllSixteenBytes)
{
    EXPECT_NE(Vexlib::ValueElementId, Vexlib::AutoElementId);
    GUID lastByte = Vexlib::IntegerRangeInterfaceId;
    lastByte.Data4[7] = 0x04;
    EXPECT_EQ(lastByte, Vexlib::SwitchInterfaceId);
}

// Leading, inner, doubled and trailing occurrences all go; a subject without them stays.
TEST_F(PropertyModelTest, ReplaceAllDeletesEveryOccurrence)
{
    EXPECT_EQ(replaceAll("-Auto--Exposure-Ref-", "-", ""), "AutoExposureRef");
    EXPECT_EQ(replaceAll(" White  Balance ", " ", ""), "WhiteBalance");
    EXPECT_EQ(replaceAll("Gain", "-", ""), "Gain");
    EXPECT_EQ(replaceAll("", "-", ""), "");
}

// Text that a replacement brings in is not searched again; an empty search text changes nothing.
TEST_F(PropertyModelTest, ReplaceAllNeverSearchesReplacementText)
{
    EXPECT_EQ(replaceAll("a-b", "-", "--"), "a--b");
    EXPECT_EQ(replaceAll("aaa", "a", "ba"), "bababa");
    EXPECT_EQ(replaceAll("abc", "", "x"), "abc");
}

} // namespace
} // namespace orx::test
