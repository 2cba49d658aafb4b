#include "property_items_collection.h"

#include "com_guid.h"
#include "property_element.h"
#include "property_item.h"
#include "property_node_object.h"
#include "property_typed_interface.h"

#include "vexcam/com_objects.h"

namespace vexcam {
namespace {

class ItemsCollection final : public PropertyNodeObject<Vexlib::IVCDPropertyItems> {
public:
    ItemsCollection(std::shared_ptr<PropertyStore> store, bool empty)
        : PropertyNodeObject(kItemsCollectionIid, std::move(store), PropertyNode{PropertyObject::Items}),
          empty_(empty)
    {
    }

    HRESULT STDMETHODCALLTYPE get_Item(LONG position, Vexlib::PropertyItem** item) override
    {
        HRESULT status;
        if (!admitPosition(8, position, count(), item, status)) return status;
        *item = createPropertyItem(store_, static_cast<std::size_t>(position - 1));
        return status;
    }

    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override
    {
        return answerFixed(9, count, static_cast<LONG>(this->count()));
    }

    HRESULT STDMETHODCALLTYPE findInterfaceByPath(BSTR path, IUnknown** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        const com::SlotFault fault = faultAt(17);
        if (fault.fails()) return fault.status;
        const auto parsed = com::parseInterfacePath(com::bstrView(path));
        if (!parsed) return E_INVALIDARG;
        const auto node = locate(*parsed);
        if (!node) return E_NOINTERFACE;
        if (fault.missingObject) return S_OK;
        *object = node->object == PropertyObject::Element
                      ? static_cast<IUnknown*>(createPropertyElement(store_, node->item, node->element))
                      : createTypedInterface(store_, *node);
        return fault.successStatus();
    }

private:
    std::size_t count() const { return empty_ ? 0 : store_->itemCount(); }

    std::optional<PropertyNode> locate(const com::InterfacePath& path) const
    {
        const auto item = empty_ ? std::nullopt : store_->findItem(path.item);
        const auto element = item ? store_->findElement(*item, path.element) : std::nullopt;
        if (!element) return std::nullopt;
        if (!path.interfaceId) return PropertyNode{PropertyObject::Element, *item, *element};
        const auto kind = typedInterfaceKind(*path.interfaceId);
        if (!kind || !store_->offers(*item, *element, *kind)) return std::nullopt;
        return PropertyNode{*kind, *item, *element};
    }

    const bool empty_;
};

} // namespace

Vexlib::IVCDPropertyItems* createPropertyItemsCollection(std::shared_ptr<PropertyStore> store, bool empty)
{
    return new ItemsCollection(std::move(store), empty);
}

} // namespace vexcam
