#include "item_data.h"

#include <utility>

namespace vexsim {

ListFault listFault(const DeviceFaults& faults, ListKind kind)
{
    const auto found = faults.lists.find(kind);
    return found == faults.lists.end() ? ListFault::None : found->second;
}

} // namespace vexsim

namespace Vexlib::detail {

DeviceData::DeviceData(vexsim::DeviceSpec deviceSpec, vexsim::Size sensorSize,
                       std::shared_ptr<vexsim::CameraBackend> cameraBackend)
    : spec(std::move(deviceSpec)), sensor(sensorSize),
      properties(std::make_shared<vexsim::PropertyStore>(
          spec.properties, spec.faults.properties, vexsim::listFault(spec.faults, vexsim::ListKind::Properties))),
      backend(std::move(cameraBackend)), faults_(spec.faults)
{
}

vexsim::DeviceFaults DeviceData::faults() const
{
    std::lock_guard lock(faultsMutex_);
    return faults_;
}

void DeviceData::setFaults(vexsim::DeviceFaults faults)
{
    properties->setItemsFault(vexsim::listFault(faults, vexsim::ListKind::Properties));
    properties->setFaults(faults.properties);
    std::lock_guard lock(faultsMutex_);
    faults_ = std::move(faults);
}

} // namespace Vexlib::detail
