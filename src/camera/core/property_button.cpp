// A button counts how often it was pushed.
#include "property_node_object.h"
#include "property_typed_interface.h"

#include <limits>

namespace vexcam {
namespace {

class Button final : public PropertyNodeObject<Vexlib::ButtonInterface> {
public:
    Button(std::shared_ptr<PropertyStore> store, const PropertyNode& node)
        : PropertyNodeObject(Vexlib::ButtonInterfaceId, std::move(store), node)
    {
    }

    HRESULT STDMETHODCALLTYPE Push() override
    {
        return answerWrite(13, [](ElementSpec& e) {
            std::int32_t& pushes = e.button->pushes;
            if (pushes < std::numeric_limits<std::int32_t>::max()) ++pushes;
            return S_OK;
        });
    }
};

} // namespace

IUnknown* createButtonInterface(std::shared_ptr<PropertyStore> store, const PropertyNode& node)
{
    return new Button(std::move(store), node);
}

} // namespace vexcam
