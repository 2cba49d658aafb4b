// The access layer over the camera's property objects: items, their elements
// and the elements' typed interfaces. Nothing is kept between calls; every
// list and every interface handed out owns its references.
#pragma once

#include "common/com_ptr.h"
#include "platform/vexlib_properties.h"
#include "platform/win32.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orx {

using PropertyItemList = std::vector<ComPtr<Vexlib::PropertyItem>>;
using PropertyElementList = std::vector<ComPtr<Vexlib::PropertyElement>>;
using TextList = std::vector<std::string>;

// Throws the status itself (a std::int32_t) when it is negative.
void checkStatus(HRESULT status);

// The items of a collection in position order; a null collection has none.
// Positions at which the camera library delivers no object are left out.
PropertyItemList listItems(Vexlib::IVCDPropertyItems* items);
// The elements of an item in position order, undelivered positions left out.
PropertyElementList listElements(Vexlib::PropertyItem& item);

// Names as UTF-8, cut at the first zero character; a name the camera library
// does not deliver reads as empty.
std::string itemName(Vexlib::PropertyItem& item);
std::string elementName(Vexlib::PropertyElement& element);

GUID itemId(Vexlib::PropertyItem& item);
GUID elementId(Vexlib::PropertyElement& element);

// The identifier each typed interface is looked up by.
template <class Interface>
struct InterfaceIdOf;
template <>
struct InterfaceIdOf<Vexlib::IntegerRangeInterface> {
    static constexpr const GUID& kId = Vexlib::IntegerRangeInterfaceId;
};
template <>
struct InterfaceIdOf<Vexlib::SwitchInterface> {
    static constexpr const GUID& kId = Vexlib::SwitchInterfaceId;
};
template <>
struct InterfaceIdOf<Vexlib::ButtonInterface> {
    static constexpr const GUID& kId = Vexlib::ButtonInterfaceId;
};
template <>
struct InterfaceIdOf<Vexlib::StringListInterface> {
    static constexpr const GUID& kId = Vexlib::StringListInterfaceId;
};
template <>
struct InterfaceIdOf<Vexlib::DoubleRangeInterface> {
    static constexpr const GUID& kId = Vexlib::DoubleRangeInterfaceId;
};

// The object the element hands out for `interfaceId` when its find-interface
// answers exactly zero; empty otherwise.
ComPtr<IUnknown> findInterfaceObject(Vexlib::PropertyElement& element, const GUID& interfaceId);

// Fills `result` with one reference to the element's `Interface`, or leaves it
// empty when the element does not offer it. A reference held before is released.
template <class Interface>
void lookUpInterface(Vexlib::PropertyElement& element, ComPtr<Interface>& result)
{
    result.reset();
    const ComPtr<IUnknown> object = findInterfaceObject(element, InterfaceIdOf<Interface>::kId);
    if (!object) return;
    if (FAILED(object->QueryInterface(InterfaceIdOf<Interface>::kId, result.putVoid())))
        result.reset();
}

// The texts of a string list in position order; an undelivered text is empty,
// so that each text keeps its position.
TextList listTexts(Vexlib::StringListInterface& list);

// Replaces every occurrence of `search`; text brought in by a replacement is
// not searched again. An empty search text changes nothing.
std::string replaceAll(std::string subject, std::string_view search, std::string_view replacement);

} // namespace orx
