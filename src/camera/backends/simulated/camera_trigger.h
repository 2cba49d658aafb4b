// The simulated camera's own trigger: the item "Trigger" of its property
// tree, with the switch "Enable" (its Value element), the switch "Polarity"
// and the button "Software Trigger". While Enable is on the camera exposes a
// frame only per push of the button; while it is off it streams freely.
//
// Pushes count only while the camera streams with the trigger enabled: a
// push before the stream starts, or while Enable is off, is ignored, as a
// camera ignores a software trigger it is not waiting for. Polarity selects
// the edge of an electrical trigger line, which a simulated camera lacks: it
// is kept as written and changes nothing for the software trigger.
#pragma once

#include "property_store.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace vexcam {

class CameraTrigger {
public:
    enum class Gate {
        Free,  // the trigger is off: frames at the frame rate
        Fire,  // a push is waiting: one frame now
        Wait,  // the trigger is on and no push is waiting
    };

    // Pushes made so far are not counted.
    explicit CameraTrigger(std::shared_ptr<PropertyStore> store);

    // Reads the trigger's state; Fire takes one push.
    Gate poll();

private:
    std::int32_t pushes() const;
    bool enabled() const;

    std::shared_ptr<PropertyStore> store_;
    std::size_t item_ = 0;
    std::optional<std::size_t> enable_; // none: a camera without a trigger
    std::optional<std::size_t> button_; // none: only a line could fire it, which never comes
    std::int32_t taken_ = 0;            // pushes accounted for
};

} // namespace vexcam
