// The property tree as COM objects: walking it, reference counts,
// QueryInterface, names and identifiers, collection positions.
#include "property_test_support.h"

#include "win32seam/testing/win32_seam.h"

namespace vexcam::test {
namespace {

class PropertyTree : public orx::test::LeakCheckedTest {
protected:
    std::shared_ptr<PropertyStore> store_ = makeStore();
};

// Walking every item and element, and every typed interface of each, creates
// objects that all go away with their last reference.
TEST_F(PropertyTree, WalkingTheWholeTreeLeavesNoObjectBehind)
{
    const auto start = liveComObjects();
    {
        auto items = itemsOf(*store_);
        LONG itemCount = 0;
        ASSERT_EQ(items->get_Count(&itemCount), S_OK);
        ASSERT_EQ(itemCount, 7);
        int typedFound = 0;
        for (LONG i = 1; i <= itemCount; ++i) {
            auto item = itemAt(items, i);
            orx::ComPtr<Vexlib::ElementCollection> elements;
            ASSERT_EQ(item->get_Elements(elements.put()), S_OK);
            LONG elementCount = 0;
            ASSERT_EQ(elements->get_Count(&elementCount), S_OK);
            for (LONG e = 1; e <= elementCount; ++e) {
                orx::ComPtr<Vexlib::PropertyElement> element;
                ASSERT_EQ(elements->get_Item(e, element.put()), S_OK);
                for (const GUID& iid : {Vexlib::IntegerRangeInterfaceId, Vexlib::DoubleRangeInterfaceId,
                                        Vexlib::StringListInterfaceId, Vexlib::SwitchInterfaceId,
                                        Vexlib::ButtonInterfaceId})
                    typedFound += typedInterface<IUnknown>(element, iid) ? 1 : 0;
            }
        }
        EXPECT_EQ(typedFound, 13);
        EXPECT_GT(liveComObjects(), start);
    }
    EXPECT_EQ(liveComObjects(), start);
}

// AddRef and Release count exactly; an object lives until the last Release.
TEST_F(PropertyTree, ReferenceCountsAreExact)
{
    const auto start = liveComObjects();
    Vexlib::IVCDPropertyItems* raw = store_->createItemsCollection();
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(liveComObjects(), start + 1);
    EXPECT_EQ(raw->AddRef(), 2u);
    EXPECT_EQ(raw->AddRef(), 3u);
    EXPECT_EQ(raw->Release(), 2u);
    EXPECT_EQ(raw->Release(), 1u);
    EXPECT_EQ(liveComObjects(), start + 1);
    EXPECT_EQ(raw->Release(), 0u);
    EXPECT_EQ(liveComObjects(), start);
}

// A child keeps the tree's state alive after its parent objects and the
// store's owner are gone.
TEST_F(PropertyTree, ChildOutlivesItsParentsAndTheStoreOwner)
{
    auto element = elementAt(*store_, 1, 1);
    store_.reset();
    auto range = typedInterface<Vexlib::IntegerRangeInterface>(element, Vexlib::IntegerRangeInterfaceId);
    ASSERT_TRUE(range);
    LONG value = 0;
    EXPECT_EQ(range->get_Value(&value), S_OK);
    EXPECT_EQ(value, 128);
}

// QueryInterface answers IUnknown and the object's own interface with one
// more reference, and nothing else.
TEST_F(PropertyTree, QueryInterfaceAnswersOnlyIUnknownAndTheOwnInterface)
{
    auto items = itemsOf(*store_);
    auto item = itemAt(items, 1);
    auto element = elementAt(item, 1);
    auto range = typedInterface<Vexlib::IntegerRangeInterface>(element, Vexlib::IntegerRangeInterfaceId);
    ASSERT_TRUE(range);

    const GUID iUnknown{0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    const std::pair<IUnknown*, GUID> cases[] = {
        {items.get(), kItemsCollectionIid},
        {item.get(), kPropertyItemIid},
        {element.get(), kPropertyElementIid},
        {range.get(), Vexlib::IntegerRangeInterfaceId},
    };
    for (const auto& [object, own] : cases) {
        for (const GUID& iid : {iUnknown, own}) {
            void* answer = nullptr;
            ASSERT_EQ(object->QueryInterface(iid, &answer), S_OK);
            EXPECT_EQ(answer, object);
            EXPECT_EQ(referenceCount(object), 2u);
            static_cast<IUnknown*>(answer)->Release();
        }
        void* answer = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(object->QueryInterface(Vexlib::DoubleRangeInterfaceId, &answer), E_NOINTERFACE);
        EXPECT_EQ(answer, nullptr);
        EXPECT_EQ(object->QueryInterface(iUnknown, nullptr), E_POINTER);
        EXPECT_EQ(referenceCount(object), 1u);
    }
}

// Names come as BSTRs in UTF-16 and keep a zero character inside; the
// identifiers are the rig's.
TEST_F(PropertyTree, NamesAndIdentifiersAreTheRigs)
{
    auto items = itemsOf(*store_);
    auto item = itemAt(items, 6);
    orx::Bstr name;
    ASSERT_EQ(item->get_Name(name.put()), S_OK);
    EXPECT_EQ(textOf(name.get()), (WideString{u'H', u'u', u'e', 0, u'E', u'x', u't', u'r', u'a'}));
    EXPECT_EQ(std::char_traits<OLECHAR>::length(name.get()), 3u);
    GUID id{};
    EXPECT_EQ(item->get_ItemID(&id), S_OK);
    EXPECT_EQ(id, kZeroNameId);

    auto element = elementAt(item, 1);
    ASSERT_EQ(element->get_Name(name.put()), S_OK);
    EXPECT_EQ(textOf(name.get()), (WideString{u'T', u'i', u'n', u't', 0, u'S', u'h', u'a', u'd', u'e'}));
    EXPECT_EQ(element->get_ElementID(&id), S_OK);
    EXPECT_EQ(id, Vexlib::ValueElementId);
}

// UTF-8 names of the rig arrive as the same characters in UTF-16, those
// beyond the basic plane as surrogate pairs.
TEST_F(PropertyTree, NonAsciiNamesArriveAsUtf16)
{
    auto store = std::make_shared<PropertyStore>(
        std::vector<ItemSpec>{{"Gr\xC3\xBC\xC3\x9F \xF0\x9F\x93\xB7 \xFF", guid(9), {}}}, std::vector<PropertyFault>{},
        ListFault::None);
    auto items = itemsOf(*store);
    auto item = itemAt(items, 1);
    orx::Bstr name;
    ASSERT_EQ(item->get_Name(name.put()), S_OK);
    EXPECT_EQ(textOf(name.get()),
              (WideString{u'G', u'r', 0x00FC, 0x00DF, u' ', 0xD83D, 0xDCF7, u' ', 0xFFFD}));
}

// Positions count from 1; anything outside 1..count is a bad index with no
// object delivered.
TEST_F(PropertyTree, PositionsOutsideTheCollectionAreBadIndexes)
{
    auto items = itemsOf(*store_);
    for (LONG position : {0, -1, 8, 1000}) {
        auto* item = reinterpret_cast<Vexlib::PropertyItem*>(0x1);
        EXPECT_EQ(items->get_Item(position, &item), DISP_E_BADINDEX) << position;
        EXPECT_EQ(item, nullptr);
    }
    auto item = itemAt(items, 2);
    orx::ComPtr<Vexlib::ElementCollection> elements;
    ASSERT_EQ(item->get_Elements(elements.put()), S_OK);
    for (LONG position : {0, 3}) {
        orx::ComPtr<Vexlib::PropertyElement> element;
        EXPECT_EQ(elements->get_Item(position, element.put()), DISP_E_BADINDEX);
        EXPECT_FALSE(element);
    }
    EXPECT_EQ(items->get_Item(1, nullptr), E_POINTER);
    EXPECT_EQ(items->get_Count(nullptr), E_POINTER);
}

// An item without elements has an empty element collection.
TEST_F(PropertyTree, ItemWithoutElementsHasAnEmptyCollection)
{
    auto store = std::make_shared<PropertyStore>(std::vector<ItemSpec>{{"Empty", guid(9), {}}},
                                                 std::vector<PropertyFault>{}, ListFault::None);
    auto items = itemsOf(*store);
    auto item = itemAt(items, 1);
    orx::ComPtr<Vexlib::ElementCollection> elements;
    ASSERT_EQ(item->get_Elements(elements.put()), S_OK);
    LONG count = -1;
    EXPECT_EQ(elements->get_Count(&count), S_OK);
    EXPECT_EQ(count, 0);
}

// A Missing items list gives no collection; an Empty one a collection that
// shows no items and finds nothing by path.
TEST_F(PropertyTree, ItemsListFaults)
{
    EXPECT_EQ(makeStore({}, ListFault::Missing)->createItemsCollection(), nullptr);

    auto store = makeStore({}, ListFault::Empty);
    auto items = itemsOf(*store);
    ASSERT_TRUE(items);
    LONG count = -1;
    EXPECT_EQ(items->get_Count(&count), S_OK);
    EXPECT_EQ(count, 0);
    orx::ComPtr<Vexlib::PropertyItem> item;
    EXPECT_EQ(items->get_Item(1, item.put()), DISP_E_BADINDEX);

    store->setItemsFault(ListFault::None);
    auto refreshed = itemsOf(*store);
    EXPECT_EQ(refreshed->get_Count(&count), S_OK);
    EXPECT_EQ(count, 7);
}

// An empty tree gives a collection with no items.
TEST_F(PropertyTree, EmptyTreeHasNoItems)
{
    auto store = std::make_shared<PropertyStore>(std::vector<ItemSpec>{}, std::vector<PropertyFault>{},
                                                 ListFault::None);
    auto items = itemsOf(*store);
    LONG count = -1;
    EXPECT_EQ(items->get_Count(&count), S_OK);
    EXPECT_EQ(count, 0);
}

// A failing BSTR allocation answers E_OUTOFMEMORY with no text.
TEST_F(PropertyTree, NameAllocationFailureIsReported)
{
    auto items = itemsOf(*store_);
    auto item = itemAt(items, 1);
    win32seam::failNextBstrAllocs(1);
    orx::Bstr name;
    EXPECT_EQ(item->get_Name(name.put()), E_OUTOFMEMORY);
    EXPECT_FALSE(name);
    win32seam::failNextBstrAllocs(0);
}

} // namespace
} // namespace vexcam::test
