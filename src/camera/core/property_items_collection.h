// The items collection of one camera: its property items by position, and
// any element or typed interface by a path of identifiers.
#pragma once

#include "property_store.h"

#include <memory>

namespace vexcam {

// A new collection (one reference); `empty` makes it show no items.
Vexlib::IVCDPropertyItems* createPropertyItemsCollection(std::shared_ptr<PropertyStore> store, bool empty);

} // namespace vexcam
