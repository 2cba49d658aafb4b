// Faults injected into single slots of single objects: failures, positive
// statuses on the finds, and slots that answer S_OK but deliver nothing.
#include "property_test_support.h"

#include "win32seam/testing/win32_seam.h"

namespace vexcam::test {
namespace {

constexpr HRESULT kAccessDenied = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT kUnexpected = static_cast<HRESULT>(0x8000FFFFu);

PropertyFault fault(PropertyObject object, std::string item, std::string element, int slot, HRESULT status,
                    bool missingObject = false)
{
    return PropertyFault{object, std::move(item), std::move(element), slot, status, missingObject};
}

class PropertyFaults : public orx::test::LeakCheckedTest {
protected:
    void inject(std::vector<PropertyFault> faults) { store_->setFaults(std::move(faults)); }

    std::shared_ptr<PropertyStore> store_ = makeStore();
};

// A failing count or position of the items collection answers its status
// and nothing else.
TEST_F(PropertyFaults, ItemsCollectionSlotsFail)
{
    inject({fault(PropertyObject::Items, "", "", 9, E_FAIL), fault(PropertyObject::Items, "", "", 8, kAccessDenied)});
    auto items = itemsOf(*store_);
    LONG count = 42;
    EXPECT_EQ(items->get_Count(&count), E_FAIL);
    EXPECT_EQ(count, 42);
    orx::ComPtr<Vexlib::PropertyItem> item;
    EXPECT_EQ(items->get_Item(1, item.put()), kAccessDenied);
    EXPECT_FALSE(item);
}

// A fault hits only the object it names: the item and element by name.
TEST_F(PropertyFaults, FaultsHitOnlyTheNamedObject)
{
    inject({fault(PropertyObject::Item, "Gain", "", 7, E_FAIL),
            fault(PropertyObject::Element, "Gain", "Auto", 10, kUnexpected)});
    auto items = itemsOf(*store_);
    orx::Bstr name;
    EXPECT_EQ(itemAt(items, 1)->get_Name(name.put()), S_OK);
    EXPECT_EQ(itemAt(items, 2)->get_Name(name.put()), E_FAIL);
    EXPECT_FALSE(name);

    auto gain = itemAt(items, 2);
    EXPECT_EQ(elementAt(gain, 1)->get_Name(name.put()), S_OK);
    EXPECT_EQ(elementAt(gain, 2)->get_Name(name.put()), kUnexpected);
    // Another item's element of the same name is untouched.
    EXPECT_EQ(elementAt(itemAt(items, 3), 2)->get_Name(name.put()), S_OK);
}

// Each level of the tree fails on the slot named.
TEST_F(PropertyFaults, EachObjectKindFailsOnItsSlot)
{
    inject({fault(PropertyObject::Item, std::string("Hue\0Extra", 9), "", 8, E_FAIL),
            fault(PropertyObject::Elements, "Gain", "", 9, E_FAIL),
            fault(PropertyObject::Element, "Exposure", "Value", 13, E_FAIL),
            fault(PropertyObject::IntegerRange, "Brightness", "Value", 15, E_FAIL),
            fault(PropertyObject::IntegerRange, "Brightness", "Value", 14, E_FAIL),
            fault(PropertyObject::StringList, "White Balance", "One Push", 17, E_FAIL),
            fault(PropertyObject::Button, "White Balance", "One Push", 13, E_FAIL),
            fault(PropertyObject::Texts, "Strobe Mode", "Mode", 8, E_FAIL)});
    auto items = itemsOf(*store_);

    orx::ComPtr<Vexlib::ElementCollection> elements;
    EXPECT_EQ(itemAt(items, 6)->get_Elements(elements.put()), E_FAIL);
    EXPECT_FALSE(elements);

    ASSERT_EQ(itemAt(items, 2)->get_Elements(elements.put()), S_OK);
    LONG count = 0;
    EXPECT_EQ(elements->get_Count(&count), E_FAIL);

    orx::ComPtr<IUnknown> found;
    auto exposure = elementAt(itemAt(items, 3), 1);
    EXPECT_EQ(exposure->findInterface(registryText(Vexlib::DoubleRangeInterfaceId).get(), found.put()), E_FAIL);
    EXPECT_FALSE(found);

    auto brightness = typedInterface<Vexlib::IntegerRangeInterface>(elementAt(itemAt(items, 1), 1),
                                                                    Vexlib::IntegerRangeInterfaceId);
    ASSERT_TRUE(brightness);
    LONG value = 0;
    EXPECT_EQ(brightness->get_RangeMin(&value), E_FAIL);
    EXPECT_EQ(brightness->get_RangeMax(&value), S_OK);
    EXPECT_EQ(brightness->put_Value(10), E_FAIL);
    EXPECT_EQ(store_->integerValue(kBrightnessId, Vexlib::ValueElementId), 128);

    auto button = typedInterface<Vexlib::ButtonInterface>(elementAt(itemAt(items, 4), 2), Vexlib::ButtonInterfaceId);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->Push(), E_FAIL);
    EXPECT_EQ(store_->element(kWhiteBalanceId, kOnePushElementId)->button->pushes, 0);

    auto list = typedInterface<Vexlib::StringListInterface>(elementAt(itemAt(items, 5), 1),
                                                            Vexlib::StringListInterfaceId);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->get_Default(&value), S_OK);
    orx::ComPtr<Vexlib::TextCollection> texts;
    ASSERT_EQ(list->get_Strings(texts.put()), S_OK);
    orx::Bstr text;
    EXPECT_EQ(texts->get_Item(1, text.put()), E_FAIL);
    EXPECT_FALSE(text);
    EXPECT_EQ(texts->get_Count(&count), S_OK);
}

// A failing identifier slot leaves the caller's GUID as it was.
TEST_F(PropertyFaults, FailedIdentifierLeavesTheOutUntouched)
{
    inject({fault(PropertyObject::Item, "Gain", "", 10, E_FAIL),
            fault(PropertyObject::Element, "Gain", "Value", 12, E_FAIL)});
    auto items = itemsOf(*store_);
    auto gain = itemAt(items, 2);
    GUID id = guid(99);
    EXPECT_EQ(gain->get_ItemID(&id), E_FAIL);
    EXPECT_EQ(id, guid(99));
    EXPECT_EQ(elementAt(gain, 1)->get_ElementID(&id), E_FAIL);
    EXPECT_EQ(id, guid(99));
}

// A positive status on findInterface comes with the object, which the
// caller owns and must release; the same on findInterfaceByPath.
TEST_F(PropertyFaults, PositiveStatusOnFindsComesWithAnObject)
{
    inject({fault(PropertyObject::Element, "Brightness", "Value", 13, S_FALSE),
            fault(PropertyObject::Items, "", "", 17, 2)});
    const auto start = liveComObjects();
    {
        auto element = elementAt(*store_, 1, 1);
        orx::ComPtr<IUnknown> found;
        EXPECT_EQ(element->findInterface(registryText(Vexlib::IntegerRangeInterfaceId).get(), found.put()), S_FALSE);
        ASSERT_TRUE(found);
        EXPECT_EQ(referenceCount(found), 1u);
        // Not offered: still no object, whatever the injected status.
        EXPECT_EQ(element->findInterface(registryText(Vexlib::SwitchInterfaceId).get(), found.put()), E_NOINTERFACE);
        EXPECT_FALSE(found);

        auto items = itemsOf(*store_);
        const WideString path = textOf(registryText(Vexlib::PartialScanOffsetItemId).get()) + OLESTR(':') +
                                textOf(registryText(Vexlib::OffsetXElementId).get());
        EXPECT_EQ(items->findInterfaceByPath(orx::Bstr(path.c_str()).get(), found.put()), 2);
        EXPECT_TRUE(found);
    }
    EXPECT_EQ(liveComObjects(), start);
}

// A missing object: positions, elements, finds and text collections answer
// S_OK and deliver nothing.
TEST_F(PropertyFaults, MissingObjectsAreAnsweredWithSOkAndNull)
{
    inject({fault(PropertyObject::Items, "", "", 8, E_FAIL, true),
            fault(PropertyObject::Items, "", "", 17, E_FAIL, true),
            fault(PropertyObject::Item, "Brightness", "", 8, S_OK, true),
            fault(PropertyObject::Elements, "Gain", "", 8, S_OK, true),
            fault(PropertyObject::Element, "Exposure", "Value", 13, S_OK, true),
            fault(PropertyObject::StringList, "Strobe Mode", "Mode", 19, S_OK, true)});
    auto items = itemsOf(*store_);
    auto* item = reinterpret_cast<Vexlib::PropertyItem*>(0x1);
    EXPECT_EQ(items->get_Item(1, &item), S_OK);
    EXPECT_EQ(item, nullptr);
    // A position outside the collection is still a bad index.
    EXPECT_EQ(items->get_Item(8, &item), DISP_E_BADINDEX);

    auto* found = reinterpret_cast<IUnknown*>(0x1);
    const WideString path = textOf(registryText(Vexlib::PartialScanOffsetItemId).get()) + OLESTR(':') +
                            textOf(registryText(Vexlib::OffsetXElementId).get());
    EXPECT_EQ(items->findInterfaceByPath(orx::Bstr(path.c_str()).get(), &found), S_OK);
    EXPECT_EQ(found, nullptr);

    store_->setFaults({fault(PropertyObject::Item, "Brightness", "", 8, S_OK, true),
                       fault(PropertyObject::Elements, "Gain", "", 8, S_OK, true),
                       fault(PropertyObject::Element, "Exposure", "Value", 13, S_OK, true),
                       fault(PropertyObject::StringList, "Strobe Mode", "Mode", 19, S_OK, true)});
    orx::ComPtr<Vexlib::ElementCollection> elements;
    EXPECT_EQ(itemAt(items, 1)->get_Elements(elements.put()), S_OK);
    EXPECT_FALSE(elements);

    ASSERT_EQ(itemAt(items, 2)->get_Elements(elements.put()), S_OK);
    orx::ComPtr<Vexlib::PropertyElement> element;
    EXPECT_EQ(elements->get_Item(1, element.put()), S_OK);
    EXPECT_FALSE(element);

    EXPECT_EQ(elementAt(itemAt(items, 3), 1)->findInterface(registryText(Vexlib::IntegerRangeInterfaceId).get(),
                                                              &found),
              S_OK);
    EXPECT_EQ(found, nullptr);

    auto list = typedInterface<Vexlib::StringListInterface>(elementAt(itemAt(items, 5), 1),
                                                            Vexlib::StringListInterfaceId);
    ASSERT_TRUE(list);
    orx::ComPtr<Vexlib::TextCollection> texts;
    EXPECT_EQ(list->get_Strings(texts.put()), S_OK);
    EXPECT_FALSE(texts);
}

// Missing texts: names and list texts answer S_OK with a null BSTR.
TEST_F(PropertyFaults, MissingTextsAreNullBstrs)
{
    inject({fault(PropertyObject::Item, "Gain", "", 7, S_OK, true),
            fault(PropertyObject::Element, "Gain", "Auto", 10, S_OK, true),
            fault(PropertyObject::Texts, "Strobe Mode", "Mode", 8, S_OK, true)});
    const auto bstrs = win32seam::outstandingBstrs();
    auto items = itemsOf(*store_);
    auto gain = itemAt(items, 2);
    orx::Bstr name;
    EXPECT_EQ(gain->get_Name(name.put()), S_OK);
    EXPECT_FALSE(name);
    EXPECT_EQ(elementAt(gain, 2)->get_Name(name.put()), S_OK);
    EXPECT_FALSE(name);

    auto list = typedInterface<Vexlib::StringListInterface>(elementAt(itemAt(items, 5), 1),
                                                            Vexlib::StringListInterfaceId);
    ASSERT_TRUE(list);
    orx::ComPtr<Vexlib::TextCollection> texts;
    ASSERT_EQ(list->get_Strings(texts.put()), S_OK);
    EXPECT_EQ(texts->get_Item(2, name.put()), S_OK);
    EXPECT_FALSE(name);
    EXPECT_EQ(win32seam::outstandingBstrs(), bstrs);
}

// A failing QueryInterface gives no interface and adds no reference.
TEST_F(PropertyFaults, QueryInterfaceCanFail)
{
    inject({fault(PropertyObject::Switch, "Gain", "Auto", 0, E_NOINTERFACE)});
    auto element = elementAt(*store_, 2, 2);
    orx::ComPtr<IUnknown> found;
    ASSERT_EQ(element->findInterface(registryText(Vexlib::SwitchInterfaceId).get(), found.put()), S_OK);
    orx::ComPtr<Vexlib::SwitchInterface> typed;
    EXPECT_EQ(found->QueryInterface(Vexlib::SwitchInterfaceId, typed.putVoid()), E_NOINTERFACE);
    EXPECT_FALSE(typed);
    EXPECT_EQ(referenceCount(found), 1u);
}

// Faults can change while objects live: the next call sees the new set.
TEST_F(PropertyFaults, FaultsChangeAtRunTime)
{
    auto range = typedInterface<Vexlib::IntegerRangeInterface>(elementAt(*store_, 1, 1),
                                                               Vexlib::IntegerRangeInterfaceId);
    ASSERT_TRUE(range);
    LONG value = 0;
    EXPECT_EQ(range->get_Value(&value), S_OK);
    inject({fault(PropertyObject::IntegerRange, "Brightness", "Value", 13, E_FAIL)});
    EXPECT_EQ(range->get_Value(&value), E_FAIL);
    inject({});
    EXPECT_EQ(range->get_Value(&value), S_OK);
}

// A positive status on a write still writes; a refused write keeps its own
// refusal.
TEST_F(PropertyFaults, PositiveStatusOnWrites)
{
    inject({fault(PropertyObject::IntegerRange, "Brightness", "Value", 14, S_FALSE)});
    auto range = typedInterface<Vexlib::IntegerRangeInterface>(elementAt(*store_, 1, 1),
                                                               Vexlib::IntegerRangeInterfaceId);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->put_Value(7), S_FALSE);
    EXPECT_EQ(store_->integerValue(kBrightnessId, Vexlib::ValueElementId), 7);
    EXPECT_EQ(range->put_Value(700), E_INVALIDARG);
}

// Faults are matched on names with a zero character inside, whole.
TEST_F(PropertyFaults, NamesWithZeroCharactersMatchWhole)
{
    inject({fault(PropertyObject::Item, "Hue", "", 7, E_FAIL),
            fault(PropertyObject::Element, std::string("Hue\0Extra", 9), std::string("Tint\0Shade", 10), 10, E_FAIL)});
    auto items = itemsOf(*store_);
    auto hue = itemAt(items, 6);
    orx::Bstr name;
    EXPECT_EQ(hue->get_Name(name.put()), S_OK);
    EXPECT_EQ(elementAt(hue, 1)->get_Name(name.put()), E_FAIL);
}

} // namespace
} // namespace vexcam::test
