#include "item_data.h"
#include "list_fault.h"

#include <utility>

namespace Vexlib::detail {

DeviceData::DeviceData(vexcam::DeviceSpec deviceSpec, vexcam::Size sensorSize,
                       std::shared_ptr<vexcam::CameraBackend> cameraBackend)
    : spec(std::move(deviceSpec)), sensor(sensorSize),
      properties(std::make_shared<vexcam::PropertyStore>(
          spec.properties, spec.faults.properties, vexcam::listFault(spec.faults, vexcam::ListKind::Properties))),
      backend(std::move(cameraBackend)), faults_(spec.faults)
{
}

vexcam::DeviceFaults DeviceData::faults() const
{
    std::lock_guard lock(faultsMutex_);
    return faults_;
}

void DeviceData::setFaults(vexcam::DeviceFaults faults)
{
    properties->setItemsFault(vexcam::listFault(faults, vexcam::ListKind::Properties));
    properties->setFaults(faults.properties);
    std::lock_guard lock(faultsMutex_);
    faults_ = std::move(faults);
}

} // namespace Vexlib::detail
