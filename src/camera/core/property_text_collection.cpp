#include "property_text_collection.h"

#include "property_node_object.h"

#include "vexcam/com_objects.h"

namespace vexcam {
namespace {

class TextCollection final : public PropertyNodeObject<Vexlib::TextCollection> {
public:
    TextCollection(std::shared_ptr<PropertyStore> store, std::size_t item, std::size_t element)
        : PropertyNodeObject(kTextCollectionIid, std::move(store), PropertyNode{PropertyObject::Texts, item, element})
    {
    }

    HRESULT STDMETHODCALLTYPE get_Item(LONG position, BSTR* text) override
    {
        HRESULT status;
        if (!admitPosition(8, position, count(), text, status)) return status;
        const std::string copy = store_->withElement(node_.item, node_.element, [position](const ElementSpec& e) {
            return e.stringList->texts[static_cast<std::size_t>(position - 1)];
        });
        const HRESULT allocated = com::putBstr(copy, text);
        return FAILED(allocated) ? allocated : status;
    }

    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override
    {
        return answerFixed(9, count, static_cast<LONG>(this->count()));
    }

private:
    // The texts of a string list never change.
    std::size_t count() const
    {
        return store_->withElement(node_.item, node_.element,
                                   [](const ElementSpec& e) { return e.stringList->texts.size(); });
    }
};

} // namespace

Vexlib::TextCollection* createPropertyTextCollection(std::shared_ptr<PropertyStore> store, std::size_t item,
                                                     std::size_t element)
{
    return new TextCollection(std::move(store), item, element);
}

} // namespace vexcam
