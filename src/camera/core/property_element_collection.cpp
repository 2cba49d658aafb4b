#include "property_element_collection.h"

#include "property_element.h"
#include "property_node_object.h"

#include "vexcam/com_objects.h"

namespace vexcam {
namespace {

class ElementCollection final : public PropertyNodeObject<Vexlib::ElementCollection> {
public:
    ElementCollection(std::shared_ptr<PropertyStore> store, std::size_t item)
        : PropertyNodeObject(kElementCollectionIid, std::move(store), PropertyNode{PropertyObject::Elements, item})
    {
    }

    HRESULT STDMETHODCALLTYPE get_Item(LONG position, Vexlib::PropertyElement** element) override
    {
        HRESULT status;
        if (!admitPosition(8, position, store_->elementCount(node_.item), element, status)) return status;
        *element = createPropertyElement(store_, node_.item, static_cast<std::size_t>(position - 1));
        return status;
    }

    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override
    {
        return answerFixed(9, count, static_cast<LONG>(store_->elementCount(node_.item)));
    }
};

} // namespace

Vexlib::ElementCollection* createPropertyElementCollection(std::shared_ptr<PropertyStore> store, std::size_t item)
{
    return new ElementCollection(std::move(store), item);
}

} // namespace vexcam
