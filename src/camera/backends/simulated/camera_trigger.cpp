#include "camera_trigger.h"

#include "platform/vexlib.h"

namespace vexcam {
namespace {

constexpr const char* kTriggerItem = "Trigger";
constexpr const char* kSoftwareTrigger = "Software Trigger";

} // namespace

CameraTrigger::CameraTrigger(std::shared_ptr<PropertyStore> store) : store_(std::move(store))
{
    if (!store_) return;
    for (std::size_t item = 0; item < store_->itemCount(); ++item) {
        if (store_->itemName(item) != kTriggerItem) continue;
        for (std::size_t element = 0; element < store_->elementCount(item); ++element) {
            if (store_->elementId(item, element) == Vexlib::ValueElementId &&
                store_->offers(item, element, PropertyObject::Switch))
                enable_ = element;
            else if (store_->elementName(item, element) == kSoftwareTrigger &&
                     store_->offers(item, element, PropertyObject::Button))
                button_ = element;
        }
        if (!enable_) button_.reset();
        item_ = item;
        break;
    }
    taken_ = pushes();
}

// The pushes are read before the switch: a push that comes between the two
// reads is counted at the next poll rather than lost.
CameraTrigger::Gate CameraTrigger::poll()
{
    if (!enable_) return Gate::Free;
    const std::int32_t seen = pushes();
    if (!enabled()) {
        taken_ = seen;
        return Gate::Free;
    }
    if (seen > taken_) {
        ++taken_;
        return Gate::Fire;
    }
    return Gate::Wait;
}

std::int32_t CameraTrigger::pushes() const
{
    if (!button_) return 0;
    return store_->withElement(item_, *button_, [](const ElementSpec& e) { return e.button ? e.button->pushes : 0; });
}

bool CameraTrigger::enabled() const
{
    return store_->withElement(item_, *enable_,
                               [](const ElementSpec& e) { return e.switchState && e.switchState->state != 0; });
}

} // namespace vexcam
