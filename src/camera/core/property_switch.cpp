// A switch keeps the 16-bit state exactly as written (-1 on, 0 off, or any
// other value a caller hands it).
#include "property_node_object.h"
#include "property_typed_interface.h"

namespace vexcam {
namespace {

class Switch final : public PropertyNodeObject<Vexlib::SwitchInterface> {
public:
    Switch(std::shared_ptr<PropertyStore> store, const PropertyNode& node)
        : PropertyNodeObject(Vexlib::SwitchInterfaceId, std::move(store), node)
    {
    }

    HRESULT STDMETHODCALLTYPE get_Switch(VARIANT_BOOL* state) override
    {
        return answerValue(13, state, [](const ElementSpec& e) { return e.switchState->state; });
    }

    HRESULT STDMETHODCALLTYPE put_Switch(VARIANT_BOOL state) override
    {
        return answerWrite(14, [state](ElementSpec& e) {
            e.switchState->state = state;
            return S_OK;
        });
    }
};

} // namespace

IUnknown* createSwitchInterface(std::shared_ptr<PropertyStore> store, const PropertyNode& node)
{
    return new Switch(std::move(store), node);
}

} // namespace vexcam
