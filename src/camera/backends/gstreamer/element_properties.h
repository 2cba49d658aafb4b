// A source element's own settings as the library's property tree: every
// property that can be read and written at any time, of integer, double,
// boolean or enumeration type, becomes an item of that name with a "Value"
// element. Reads and writes go to the element.
#pragma once

#include "gst_ref.h"
#include "property_store.h"

#include <string>
#include <vector>

namespace vexcam::gst {

// What an item stands for on the element.
struct ElementProperty {
    enum class Kind { Integer, Double, Boolean, Enumeration };
    Kind kind = Kind::Integer;
    std::string name;
    GType type = G_TYPE_INVALID;    // the property's value type
    std::vector<gint> enumValues;   // an enumeration's values, in the order of its texts
};

class PropertyBinding final : public ElementBinding {
public:
    PropertyBinding(Ref<GstElement> element, std::vector<ElementProperty> properties);
    void refresh(std::size_t item, std::size_t element, ElementSpec& spec) override;
    HRESULT commit(std::size_t item, std::size_t element, ElementSpec& spec) override;

private:
    const Ref<GstElement> element_;
    const std::vector<ElementProperty> properties_;
};

struct PropertyTree {
    std::vector<ItemSpec> items;
    std::vector<ElementProperty> properties; // by item
};

PropertyTree buildPropertyTree(GstElement* element);

} // namespace vexcam::gst
