// Integer and double ranges: a value that stays within [min, max].
#include "property_node_object.h"
#include "property_typed_interface.h"

#include <algorithm>

namespace vexcam {
namespace {

bool clampsWrites(const ElementSpec& element)
{
    return element.id == Vexlib::OffsetXElementId || element.id == Vexlib::OffsetYElementId;
}

template <class Interface, class Value, class Spec, std::optional<Spec> ElementSpec::*kRange>
class RangeInterface final : public PropertyNodeObject<Interface> {
public:
    RangeInterface(const IID& iid, std::shared_ptr<PropertyStore> store, const PropertyNode& node)
        : PropertyNodeObject<Interface>(iid, std::move(store), node)
    {
    }

    HRESULT STDMETHODCALLTYPE get_Value(Value* value) override
    {
        return this->answerValue(13, value, [](const ElementSpec& e) { return (e.*kRange)->value; });
    }

    // A real camera refuses a value outside its range and keeps the old one,
    // except for a partial-scan offset: that one it clamps into the sensor, so
    // that the window always lies on it.
    HRESULT STDMETHODCALLTYPE put_Value(Value value) override
    {
        return this->answerWrite(14, [value](ElementSpec& e) {
            Spec& range = *(e.*kRange);
            if (clampsWrites(e) && value == value) {
                range.value = std::clamp<Value>(value, range.min, range.max);
                return S_OK;
            }
            if (!(value >= range.min && value <= range.max)) return E_INVALIDARG;
            range.value = value;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE get_RangeMin(Value* value) override
    {
        return this->answerValue(15, value, [](const ElementSpec& e) { return (e.*kRange)->min; });
    }

    HRESULT STDMETHODCALLTYPE get_RangeMax(Value* value) override
    {
        return this->answerValue(16, value, [](const ElementSpec& e) { return (e.*kRange)->max; });
    }

    HRESULT STDMETHODCALLTYPE get_Default(Value* value) override
    {
        return this->answerValue(17, value, [](const ElementSpec& e) { return (e.*kRange)->def; });
    }
};

using IntegerRange = RangeInterface<Vexlib::IntegerRangeInterface, LONG, IntegerRangeSpec, &ElementSpec::integerRange>;
using DoubleRange = RangeInterface<Vexlib::DoubleRangeInterface, double, DoubleRangeSpec, &ElementSpec::doubleRange>;

} // namespace

IUnknown* createIntegerRangeInterface(std::shared_ptr<PropertyStore> store, const PropertyNode& node)
{
    return new IntegerRange(Vexlib::IntegerRangeInterfaceId, std::move(store), node);
}

IUnknown* createDoubleRangeInterface(std::shared_ptr<PropertyStore> store, const PropertyNode& node)
{
    return new DoubleRange(Vexlib::DoubleRangeInterfaceId, std::move(store), node);
}

} // namespace vexcam
