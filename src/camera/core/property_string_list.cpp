// A string list: a value in [min, min + texts - 1], each value naming the
// text at position value - min + 1 of its text collection.
#include "property_node_object.h"
#include "property_text_collection.h"
#include "property_typed_interface.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace vexcam {
namespace {

std::int64_t lastValue(const StringListSpec& list)
{
    return std::int64_t{list.min} + static_cast<std::int64_t>(list.texts.size()) - 1;
}

class StringList final : public PropertyNodeObject<Vexlib::StringListInterface> {
public:
    StringList(std::shared_ptr<PropertyStore> store, const PropertyNode& node)
        : PropertyNodeObject(Vexlib::StringListInterfaceId, std::move(store), node)
    {
    }

    HRESULT STDMETHODCALLTYPE get_Value(LONG* value) override
    {
        return answerValue(13, value, [](const ElementSpec& e) { return e.stringList->value; });
    }

    // A value that names no text is refused and the old one kept.
    HRESULT STDMETHODCALLTYPE put_Value(LONG value) override
    {
        return answerWrite(14, [value](ElementSpec& e) {
            StringListSpec& list = *e.stringList;
            if (value < list.min || value > lastValue(list)) return E_INVALIDARG;
            list.value = value;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE get_RangeMin(LONG* value) override
    {
        return answerValue(15, value, [](const ElementSpec& e) { return e.stringList->min; });
    }

    // Below the minimum for a list without texts.
    HRESULT STDMETHODCALLTYPE get_RangeMax(LONG* value) override
    {
        return answerValue(16, value, [](const ElementSpec& e) {
            return std::clamp<std::int64_t>(lastValue(*e.stringList), std::numeric_limits<LONG>::min(),
                                            std::numeric_limits<LONG>::max());
        });
    }

    HRESULT STDMETHODCALLTYPE get_Default(LONG* value) override
    {
        return answerValue(17, value, [](const ElementSpec& e) { return e.stringList->def; });
    }

    HRESULT STDMETHODCALLTYPE get_Strings(Vexlib::TextCollection** texts) override
    {
        return answerObject(19, texts, [this] { return createPropertyTextCollection(store_, node_.item, node_.element); });
    }
};

} // namespace

IUnknown* createStringListInterface(std::shared_ptr<PropertyStore> store, const PropertyNode& node)
{
    return new StringList(std::move(store), node);
}

} // namespace vexcam
