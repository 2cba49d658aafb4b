#include "property_typed_interface.h"

namespace vexcam {

std::optional<PropertyObject> typedInterfaceKind(const GUID& interfaceId)
{
    if (interfaceId == Vexlib::IntegerRangeInterfaceId) return PropertyObject::IntegerRange;
    if (interfaceId == Vexlib::DoubleRangeInterfaceId) return PropertyObject::DoubleRange;
    if (interfaceId == Vexlib::StringListInterfaceId) return PropertyObject::StringList;
    if (interfaceId == Vexlib::SwitchInterfaceId) return PropertyObject::Switch;
    if (interfaceId == Vexlib::ButtonInterfaceId) return PropertyObject::Button;
    return std::nullopt;
}

IUnknown* createTypedInterface(std::shared_ptr<PropertyStore> store, const PropertyNode& node)
{
    switch (node.object) {
    case PropertyObject::IntegerRange: return createIntegerRangeInterface(std::move(store), node);
    case PropertyObject::DoubleRange: return createDoubleRangeInterface(std::move(store), node);
    case PropertyObject::StringList: return createStringListInterface(std::move(store), node);
    case PropertyObject::Switch: return createSwitchInterface(std::move(store), node);
    case PropertyObject::Button: return createButtonInterface(std::move(store), node);
    default: return nullptr;
    }
}

} // namespace vexcam
