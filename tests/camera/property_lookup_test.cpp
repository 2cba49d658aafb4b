// Finding typed interfaces by registry text on an element, and elements or
// interfaces by a path of identifiers on the items collection.
#include "property_test_support.h"

namespace vexcam::test {
namespace {

class PropertyLookup : public orx::test::LeakCheckedTest {
protected:
    std::shared_ptr<PropertyStore> store_ = makeStore();
};

orx::Bstr pathOf(const GUID& item, const GUID& element)
{
    return orx::Bstr((textOf(registryText(item).get()) + OLESTR(':') + textOf(registryText(element).get())).c_str());
}

orx::Bstr pathOf(const GUID& item, const GUID& element, const GUID& iid)
{
    const WideString text = textOf(pathOf(item, element).get()) + OLESTR(':') + textOf(registryText(iid).get());
    return orx::Bstr(text.c_str());
}

// An element offering both ranges answers each identifier with its own
// interface; identifiers it does not offer answer E_NOINTERFACE and null.
TEST_F(PropertyLookup, FindInterfaceAnswersExactlyTheOfferedKinds)
{
    auto exposure = elementAt(*store_, 3, 1);
    const GUID offered[] = {Vexlib::IntegerRangeInterfaceId, Vexlib::DoubleRangeInterfaceId};
    for (const GUID& iid : offered) {
        orx::ComPtr<IUnknown> found;
        ASSERT_EQ(exposure->findInterface(registryText(iid).get(), found.put()), S_OK);
        ASSERT_TRUE(found);
        EXPECT_EQ(referenceCount(found), 1u);
        void* typed = nullptr;
        EXPECT_EQ(found->QueryInterface(iid, &typed), S_OK);
        static_cast<IUnknown*>(typed)->Release();
    }
    for (const GUID& iid : {Vexlib::StringListInterfaceId, Vexlib::SwitchInterfaceId, Vexlib::ButtonInterfaceId,
                            kRedElementId}) {
        auto* found = reinterpret_cast<IUnknown*>(0x1);
        EXPECT_EQ(exposure->findInterface(registryText(iid).get(), &found), E_NOINTERFACE);
        EXPECT_EQ(found, nullptr);
    }
}

// The range interfaces answer their own identifiers and not each other's.
TEST_F(PropertyLookup, TypedObjectsAnswerOnlyTheirOwnInterface)
{
    auto exposure = elementAt(*store_, 3, 1);
    orx::ComPtr<IUnknown> found;
    ASSERT_EQ(exposure->findInterface(registryText(Vexlib::DoubleRangeInterfaceId).get(), found.put()), S_OK);
    orx::ComPtr<Vexlib::IntegerRangeInterface> wrong;
    EXPECT_EQ(found->QueryInterface(Vexlib::IntegerRangeInterfaceId, wrong.putVoid()), E_NOINTERFACE);
    auto typed = typedInterface<Vexlib::DoubleRangeInterface>(exposure, Vexlib::DoubleRangeInterfaceId);
    ASSERT_TRUE(typed);
    double value = 0;
    EXPECT_EQ(typed->get_Value(&value), S_OK);
    EXPECT_DOUBLE_EQ(value, 0.01);
}

// Registry text is read in either case; anything that is not exactly the
// 38-character form is refused as an invalid argument.
TEST_F(PropertyLookup, RegistryTextIsParsedStrictly)
{
    auto brightness = elementAt(*store_, 1, 1);
    const auto answer = [&](const orx::Bstr& text) {
        orx::ComPtr<IUnknown> found;
        const HRESULT status = brightness->findInterface(text.get(), found.put());
        EXPECT_EQ(status == S_OK, static_cast<bool>(found));
        return status;
    };
    EXPECT_EQ(answer(bstrOf("{99B44940-BFE1-4083-ADA1-BE703F4B8E03}")), S_OK);
    EXPECT_EQ(answer(bstrOf("{99b44940-bfe1-4083-ada1-be703f4b8e03}")), S_OK);
    EXPECT_EQ(answer(bstrOf("{99B44940-bFe1-4083-AdA1-BE703F4b8E03}")), S_OK);

    const char* malformed[] = {
        "",
        "99B44940-BFE1-4083-ADA1-BE703F4B8E03",    // no braces
        "{99B44940-BFE1-4083-ADA1-BE703F4B8E03",   // one brace
        "(99B44940-BFE1-4083-ADA1-BE703F4B8E03)",  // other brackets
        "{99B44940-BFE1-4083-ADA1-BE703F4B8E0}",   // one digit short
        "{99B44940-BFE1-4083-ADA1-BE703F4B8E033}", // one digit more
        "{99B44940BFE1-4083-ADA1-BE703F4B8E03F}",  // dash moved
        "{99B44940-BFE1-4083-ADA1+BE703F4B8E03}",  // not a dash
        "{99B44940-BFE1-4083-ADA1-BE703F4B8E0G}",  // not hexadecimal
        "{ 9B44940-BFE1-4083-ADA1-BE703F4B8E03}",  // blank
        "{99B44940-BFE1-4083-ADA1-BE703F4B8E03} ", // trailing blank
        "0x99B44940BFE14083ADA1BE703F4B8E03",
    };
    for (const char* text : malformed) EXPECT_EQ(answer(bstrOf(text)), E_INVALIDARG) << text;

    WideString zeroInside = wideOf("{99B44940-BFE1-4083-ADA1-BE703F4B8E03}");
    zeroInside[5] = 0;
    EXPECT_EQ(answer(orx::Bstr::attach(SysAllocStringLen(zeroInside.data(), static_cast<UINT>(zeroInside.size())))),
              E_INVALIDARG);
    EXPECT_EQ(answer(orx::Bstr()), E_INVALIDARG);
    EXPECT_EQ(brightness->findInterface(registryText(Vexlib::IntegerRangeInterfaceId).get(), nullptr), E_POINTER);
}

// A two-part path finds the element, a three-part path its typed interface.
TEST_F(PropertyLookup, PathFindsElementsAndInterfaces)
{
    auto items = itemsOf(*store_);
    orx::ComPtr<IUnknown> found;
    ASSERT_EQ(items->findInterfaceByPath(pathOf(Vexlib::PartialScanOffsetItemId, Vexlib::OffsetYElementId).get(),
                                         found.put()),
              S_OK);
    orx::ComPtr<Vexlib::PropertyElement> element;
    ASSERT_EQ(found->QueryInterface(kPropertyElementIid, element.putVoid()), S_OK);
    GUID id{};
    EXPECT_EQ(element->get_ElementID(&id), S_OK);
    EXPECT_EQ(id, Vexlib::OffsetYElementId);

    ASSERT_EQ(items->findInterfaceByPath(pathOf(Vexlib::PartialScanOffsetItemId, Vexlib::OffsetXElementId,
                                                Vexlib::IntegerRangeInterfaceId)
                                             .get(),
                                         found.put()),
              S_OK);
    orx::ComPtr<Vexlib::IntegerRangeInterface> offsetX;
    ASSERT_EQ(found->QueryInterface(Vexlib::IntegerRangeInterfaceId, offsetX.putVoid()), S_OK);
    LONG max = 0;
    EXPECT_EQ(offsetX->get_RangeMax(&max), S_OK);
    EXPECT_EQ(max, 1264);

    ASSERT_EQ(items->findInterfaceByPath(pathOf(Vexlib::PartialScanOffsetItemId, Vexlib::AutoCenterElementId,
                                                Vexlib::SwitchInterfaceId)
                                             .get(),
                                         found.put()),
              S_OK);
    orx::ComPtr<Vexlib::SwitchInterface> autoCenter;
    EXPECT_EQ(found->QueryInterface(Vexlib::SwitchInterfaceId, autoCenter.putVoid()), S_OK);
}

// Unknown items, elements and interfaces, interfaces the element does not
// offer, and malformed paths find nothing.
TEST_F(PropertyLookup, PathsThatLeadNowhere)
{
    auto items = itemsOf(*store_);
    const auto answer = [&](const orx::Bstr& path) {
        auto* found = reinterpret_cast<IUnknown*>(0x1);
        const HRESULT status = items->findInterfaceByPath(path.get(), &found);
        EXPECT_EQ(found, nullptr);
        return status;
    };
    const GUID scan = Vexlib::PartialScanOffsetItemId;
    EXPECT_EQ(answer(pathOf(guid(77), Vexlib::OffsetXElementId)), E_NOINTERFACE);
    EXPECT_EQ(answer(pathOf(scan, Vexlib::ValueElementId)), E_NOINTERFACE);
    EXPECT_EQ(answer(pathOf(scan, Vexlib::OffsetXElementId, Vexlib::SwitchInterfaceId)), E_NOINTERFACE);
    EXPECT_EQ(answer(pathOf(scan, Vexlib::OffsetXElementId, GUID{})), E_NOINTERFACE);
    EXPECT_EQ(answer(pathOf(scan, Vexlib::OffsetXElementId, kRedElementId)), E_NOINTERFACE);
    // Elements are searched only within their own item.
    EXPECT_EQ(answer(pathOf(kWhiteBalanceId, Vexlib::OffsetXElementId)), E_NOINTERFACE);

    const WideString good = textOf(pathOf(scan, Vexlib::OffsetXElementId).get());
    EXPECT_EQ(answer(orx::Bstr((good + OLESTR(':')).c_str())), E_INVALIDARG);
    EXPECT_EQ(answer(orx::Bstr(good.substr(0, 38).c_str())), E_INVALIDARG);
    WideString semicolon = good;
    semicolon[38] = u';';
    EXPECT_EQ(answer(orx::Bstr(semicolon.c_str())), E_INVALIDARG);
    EXPECT_EQ(answer(orx::Bstr()), E_INVALIDARG);
    EXPECT_EQ(items->findInterfaceByPath(pathOf(scan, Vexlib::OffsetXElementId).get(), nullptr), E_POINTER);
}

// Paths are read in either case, like a single identifier.
TEST_F(PropertyLookup, PathInLowerCaseIsFound)
{
    auto items = itemsOf(*store_);
    WideString lowered = textOf(pathOf(Vexlib::PartialScanOffsetItemId, Vexlib::OffsetXElementId).get());
    for (auto& c : lowered)
        if (c >= u'A' && c <= u'F') c = static_cast<OLECHAR>(c - u'A' + u'a');
    orx::ComPtr<IUnknown> found;
    EXPECT_EQ(items->findInterfaceByPath(orx::Bstr(lowered.c_str()).get(), found.put()), S_OK);
    EXPECT_TRUE(found);
}

} // namespace
} // namespace vexcam::test
