// Shared pieces of the property tree tests: a small camera tree built in
// code, and short ways to walk it through the COM objects.
#pragma once

#include "../../src/camera/core/property_store.h"

#include "common/bstr.h"
#include "common/com_ptr.h"
#include "common/task_mem.h"
#include "platform/vexlib_properties.h"
#include "support/leak_check.h"
#include "vexcam/com_objects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vexcam::test {

using WideString = std::basic_string<OLECHAR>;

inline GUID guid(std::uint32_t n)
{
    return GUID{n, 0x1111, 0x2222, {0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA}};
}

inline const GUID kBrightnessId = guid(1);
inline const GUID kGainId = guid(2);
inline const GUID kExposureId = guid(3);
inline const GUID kWhiteBalanceId = guid(4);
inline const GUID kStrobeId = guid(5);
inline const GUID kZeroNameId = guid(6);
inline const GUID kRedElementId = guid(0x100);
inline const GUID kOnePushElementId = guid(0x101);
inline const GUID kModeElementId = guid(0x102);

inline ElementSpec namedElement(std::string name, GUID id)
{
    ElementSpec element;
    element.name = std::move(name);
    element.id = id;
    return element;
}

inline ElementSpec integerElement(std::string name, GUID id, IntegerRangeSpec range)
{
    ElementSpec element = namedElement(std::move(name), id);
    element.integerRange = range;
    return element;
}

inline ElementSpec switchElement(std::string name, GUID id, std::int16_t state)
{
    ElementSpec element = namedElement(std::move(name), id);
    element.switchState = SwitchSpec{state};
    return element;
}

// Items in this order: Brightness, Gain, Exposure, White Balance, Strobe Mode,
// a name with a zero character inside, and the partial-scan offset.
inline std::vector<ItemSpec> sampleItems()
{
    std::vector<ItemSpec> items;

    ElementSpec brightness = integerElement("Value", Vexlib::ValueElementId, {0, 255, 128, 128});
    brightness.effect = PatternEffect::Brightness;
    items.push_back({"Brightness", kBrightnessId, {brightness}});

    ElementSpec gain = integerElement("Value", Vexlib::ValueElementId, {0, 400, 100, 100});
    gain.effect = PatternEffect::Gain;
    items.push_back({"Gain", kGainId, {gain, switchElement("Auto", Vexlib::AutoElementId, 0)}});

    ElementSpec exposure = integerElement("Value", Vexlib::ValueElementId, {1, 10000, 100, 100});
    exposure.doubleRange = DoubleRangeSpec{0.0001, 10.0, 0.01, 0.01};
    items.push_back({"Exposure", kExposureId, {exposure, switchElement("Auto", Vexlib::AutoElementId, VARIANT_TRUE)}});

    ElementSpec onePush = namedElement("One Push", kOnePushElementId);
    onePush.button = ButtonSpec{};
    items.push_back({"White Balance", kWhiteBalanceId,
                     {integerElement("White Balance Red", kRedElementId, {0, 255, 64, 64}), onePush}});

    ElementSpec mode = namedElement("Mode", kModeElementId);
    mode.stringList = StringListSpec{5, 7, 7, {"Off", "Exposure", "Fixed"}};
    items.push_back({"Strobe Mode", kStrobeId, {mode}});

    items.push_back({std::string("Hue\0Extra", 9), kZeroNameId,
                     {integerElement(std::string("Tint\0Shade", 10), Vexlib::ValueElementId, {-180, 180, 0, 0})}});

    items.push_back({"Partial Scan Offset",
                     Vexlib::PartialScanOffsetItemId,
                     {switchElement("Auto-center", Vexlib::AutoCenterElementId, VARIANT_TRUE),
                      integerElement("X Offset", Vexlib::OffsetXElementId, {0, 1264, 0, 0}),
                      integerElement("Y Offset", Vexlib::OffsetYElementId, {0, 956, 0, 0})}});
    return items;
}

inline std::shared_ptr<PropertyStore> makeStore(std::vector<PropertyFault> faults = {},
                                                ListFault itemsFault = ListFault::None)
{
    return std::make_shared<PropertyStore>(sampleItems(), std::move(faults), itemsFault);
}

inline orx::ComPtr<Vexlib::IVCDPropertyItems> itemsOf(PropertyStore& store)
{
    return orx::ComPtr<Vexlib::IVCDPropertyItems>::attach(store.createItemsCollection());
}

inline orx::ComPtr<Vexlib::PropertyItem> itemAt(const orx::ComPtr<Vexlib::IVCDPropertyItems>& items, LONG position)
{
    orx::ComPtr<Vexlib::PropertyItem> item;
    EXPECT_EQ(items->get_Item(position, item.put()), S_OK);
    return item;
}

inline orx::ComPtr<Vexlib::PropertyElement> elementAt(const orx::ComPtr<Vexlib::PropertyItem>& item, LONG position)
{
    orx::ComPtr<Vexlib::ElementCollection> elements;
    EXPECT_EQ(item->get_Elements(elements.put()), S_OK);
    orx::ComPtr<Vexlib::PropertyElement> element;
    if (elements) {
        EXPECT_EQ(elements->get_Item(position, element.put()), S_OK);
    }
    return element;
}

// The element at `elementPosition` of the item at `itemPosition`.
inline orx::ComPtr<Vexlib::PropertyElement> elementAt(PropertyStore& store, LONG itemPosition, LONG elementPosition)
{
    auto items = itemsOf(store);
    auto item = itemAt(items, itemPosition);
    return item ? elementAt(item, elementPosition) : orx::ComPtr<Vexlib::PropertyElement>{};
}

// An identifier in registry form, as StringFromCLSID writes it.
inline orx::Bstr registryText(const GUID& id)
{
    orx::TaskMem<OLECHAR> text;
    EXPECT_EQ(StringFromCLSID(id, text.put()), S_OK);
    return orx::Bstr(text.get());
}

inline orx::Bstr bstrOf(std::string_view ascii)
{
    const WideString wide(ascii.begin(), ascii.end());
    return orx::Bstr::attach(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
}

inline WideString wideOf(std::string_view ascii) { return WideString(ascii.begin(), ascii.end()); }

// A BSTR's characters by its stored length.
inline WideString textOf(BSTR text) { return text ? WideString(text, SysStringLen(text)) : WideString{}; }

// The typed interface `T` of an element, found by registry text and asked for
// by QueryInterface, as the adaptor does it.
template <class T>
orx::ComPtr<T> typedInterface(const orx::ComPtr<Vexlib::PropertyElement>& element, const GUID& iid)
{
    orx::ComPtr<IUnknown> found;
    const auto text = registryText(iid);
    if (element->findInterface(text.get(), found.put()) != S_OK || !found) return {};
    orx::ComPtr<T> typed;
    EXPECT_EQ(found->QueryInterface(iid, typed.putVoid()), S_OK);
    return typed;
}

// The reference count of `object` as its own AddRef and Release tell it.
inline ULONG referenceCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

template <class T>
ULONG referenceCount(const orx::ComPtr<T>& object)
{
    return referenceCount(object.get());
}

} // namespace vexcam::test
