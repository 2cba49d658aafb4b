// The GenICam cameras as library devices: interface selection, discovery,
// and each camera's formats, frame rates and property tree.
#include "device_description.h"
#include "genicam_backend.h"
#include "genicam_source.h"
#include "interface_selection.h"

#include <cstdio>

namespace vexcam {

bool genicamBuilt() { return true; }

GenicamDiscovery discoverGenicam(const GenicamSpec& spec)
{
    GenicamDiscovery found;
    found.error = genicam::selectInterfaces(spec.interfaces);
    if (!found.error.empty()) return found;
    arv_update_device_list();
    const unsigned count = arv_get_n_devices();
    for (unsigned i = 0; i < count; ++i) {
        const char* id = arv_get_device_id(i);
        if (!id) continue;
        const std::string name = genicam::deviceName(arv_get_device_vendor(i), arv_get_device_model(i),
                                                     arv_get_device_serial_nbr(i), id);
        std::string why;
        auto camera = genicam::Camera::open(id, why);
        if (!camera) {
            std::fprintf(stderr, "vexlib: %s does not open: %s\n", name.c_str(), why.c_str());
            DeviceSpec closed;
            closed.name = name;
            closed.opens = false;
            found.devices.push_back(std::make_shared<Vexlib::detail::DeviceData>(closed, Size{}));
            continue;
        }
        auto description = genicam::describe(camera, name);
        auto backend = std::make_shared<genicam::GenicamBackend>(camera, name, nullptr, description.pixelFormats);
        auto device = std::make_shared<Vexlib::detail::DeviceData>(description.spec, description.sensor, backend);
        device->properties->bind(
            std::make_shared<genicam::FeatureBinding>(camera, std::move(description.tree.features)));
        backend->attach(device->properties);
        found.devices.push_back(std::move(device));
    }
    return found;
}

} // namespace vexcam
