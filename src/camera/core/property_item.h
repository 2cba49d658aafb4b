// One property item of a camera: its name, identifier and elements.
#pragma once

#include "property_store.h"

#include <memory>

namespace vexcam {

// A new item object for the item at `item` (one reference).
Vexlib::PropertyItem* createPropertyItem(std::shared_ptr<PropertyStore> store, std::size_t item);

} // namespace vexcam
