// The typed interfaces of an element (integer range, double range, string
// list, switch, button): which identifier names which kind, and new objects.
#pragma once

#include "property_store.h"

#include <memory>
#include <optional>

namespace vexcam {

// The kind that an interface identifier names, if it is one of the five.
std::optional<PropertyObject> typedInterfaceKind(const GUID& interfaceId);

// A new typed interface of kind `node.object` (one reference).
IUnknown* createTypedInterface(std::shared_ptr<PropertyStore> store, const PropertyNode& node);

// One per kind, beside each interface's implementation.
IUnknown* createIntegerRangeInterface(std::shared_ptr<PropertyStore> store, const PropertyNode& node);
IUnknown* createDoubleRangeInterface(std::shared_ptr<PropertyStore> store, const PropertyNode& node);
IUnknown* createStringListInterface(std::shared_ptr<PropertyStore> store, const PropertyNode& node);
IUnknown* createSwitchInterface(std::shared_ptr<PropertyStore> store, const PropertyNode& node);
IUnknown* createButtonInterface(std::shared_ptr<PropertyStore> store, const PropertyNode& node);

} // namespace vexcam
