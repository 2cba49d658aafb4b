// The elements of one property item, by position.
#pragma once

#include "property_store.h"

#include <memory>

namespace vexcam {

// A new collection of the elements of the item at `item` (one reference).
Vexlib::ElementCollection* createPropertyElementCollection(std::shared_ptr<PropertyStore> store, std::size_t item);

} // namespace vexcam
