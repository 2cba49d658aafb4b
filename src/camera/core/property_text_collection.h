// The texts of a string list, by position.
#pragma once

#include "property_store.h"

#include <memory>

namespace vexcam {

// A new collection of the texts of the string list at `item`, `element` (one reference).
Vexlib::TextCollection* createPropertyTextCollection(std::shared_ptr<PropertyStore> store, std::size_t item,
                                                     std::size_t element);

} // namespace vexcam
