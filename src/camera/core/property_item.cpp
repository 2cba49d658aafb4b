#include "property_item.h"

#include "property_element_collection.h"
#include "property_node_object.h"

#include "vexcam/com_objects.h"

namespace vexcam {
namespace {

class Item final : public PropertyNodeObject<Vexlib::PropertyItem> {
public:
    Item(std::shared_ptr<PropertyStore> store, std::size_t item)
        : PropertyNodeObject(kPropertyItemIid, std::move(store), PropertyNode{PropertyObject::Item, item})
    {
    }

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override
    {
        return answerText(7, store_->itemName(node_.item), name);
    }

    HRESULT STDMETHODCALLTYPE get_Elements(Vexlib::ElementCollection** elements) override
    {
        return answerObject(8, elements, [this] { return createPropertyElementCollection(store_, node_.item); });
    }

    HRESULT STDMETHODCALLTYPE get_ItemID(GUID* id) override { return answerFixed(10, id, store_->itemId(node_.item)); }
};

} // namespace

Vexlib::PropertyItem* createPropertyItem(std::shared_ptr<PropertyStore> store, std::size_t item)
{
    return new Item(std::move(store), item);
}

} // namespace vexcam
