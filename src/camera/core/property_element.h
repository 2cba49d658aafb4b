// One element of a property item: its name, identifier and typed interfaces.
#pragma once

#include "property_store.h"

#include <memory>

namespace vexcam {

// A new object for element `element` of the item at `item` (one reference).
Vexlib::PropertyElement* createPropertyElement(std::shared_ptr<PropertyStore> store, std::size_t item,
                                               std::size_t element);

} // namespace vexcam
