// The library's state between InitLibrary and ExitLibrary: the rig in force
// and its devices. Thread-safe.
#pragma once

#include "item_data.h"

#include "vexcam/rig.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexcam {

using DevicePtr = std::shared_ptr<const Vexlib::detail::DeviceData>;

class Library {
public:
    static Library& instance();

    bool init();
    void exit();
    bool initialised() const;
    std::string lastInitError() const;

    void install(Rig rig);
    void clearInstalled();

    // The devices in force (none when not initialised), in rig order.
    std::vector<DevicePtr> devices() const;
    DevicePtr findDevice(std::string_view name) const;
    bool setFaults(std::string_view name, const DeviceFaults& faults);
    ListFault deviceListFault() const;
    void setDeviceListFault(ListFault fault);

private:
    Library() = default;
    // Which rig InitLibrary uses; none (and the reason) when ORX_SIM_RIG is bad.
    std::optional<Rig> rigInForce();
    // False (and lastInitError_ set) when the rig's GenICam cameras cannot be searched for.
    bool build(const Rig& rig);
    template <class Found>
    bool take(Found found);

    mutable std::mutex mutex_;
    int initCount_ = 0;
    std::optional<Rig> installed_;
    std::vector<std::shared_ptr<Vexlib::detail::DeviceData>> devices_;
    ListFault deviceList_ = ListFault::None;
    std::string lastInitError_;
};

} // namespace vexcam
