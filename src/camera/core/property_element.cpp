#include "property_element.h"

#include "com_guid.h"
#include "property_node_object.h"
#include "property_typed_interface.h"

#include "vexcam/com_objects.h"

namespace vexcam {
namespace {

class Element final : public PropertyNodeObject<Vexlib::PropertyElement> {
public:
    Element(std::shared_ptr<PropertyStore> store, std::size_t item, std::size_t element)
        : PropertyNodeObject(kPropertyElementIid, std::move(store), PropertyNode{PropertyObject::Element, item, element})
    {
    }

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override
    {
        return answerText(10, store_->elementName(node_.item, node_.element), name);
    }

    HRESULT STDMETHODCALLTYPE get_ElementID(GUID* id) override
    {
        return answerFixed(12, id, store_->elementId(node_.item, node_.element));
    }

    HRESULT STDMETHODCALLTYPE findInterface(BSTR interfaceId, IUnknown** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        const com::SlotFault fault = faultAt(13);
        if (fault.fails()) return fault.status;
        const auto iid = com::parseRegistryGuid(com::bstrView(interfaceId));
        if (!iid) return E_INVALIDARG;
        const auto kind = typedInterfaceKind(*iid);
        if (!kind || !store_->offers(node_.item, node_.element, *kind)) return E_NOINTERFACE;
        if (fault.missingObject) return S_OK;
        *object = createTypedInterface(store_, PropertyNode{*kind, node_.item, node_.element});
        return fault.successStatus();
    }
};

} // namespace

Vexlib::PropertyElement* createPropertyElement(std::shared_ptr<PropertyStore> store, std::size_t item,
                                               std::size_t element)
{
    return new Element(std::move(store), item, element);
}

} // namespace vexcam
