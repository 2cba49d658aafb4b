// The commands about the session and its devices: listing, opening and
// closing inputs, the memory limit, the rig, the runtime's counters.
#include "gateway_commands.h"

#include "frame_copy.h"
#include "gateway_arguments.h"

#include "common/resource_counts.h"
#include "vexcam/vexcam.h"

#include <octave/ov-struct.h>

#include <cmath>

namespace orxoct {

octave_value_list devicesCommand(const Call& call)
{
    const auto& devices = sessionFor(call).discover();
    std::vector<const imaqhost::DeviceRecord*> added;
    for (const auto& device : devices)
        if (device.added)
            added.push_back(&device);
    const dim_vector dims(static_cast<octave_idx_type>(added.size()), 1);
    Cell ids(dims), names(dims), formats(dims), defaults(dims);
    for (std::size_t i = 0; i < added.size(); ++i) {
        const auto list = added[i]->addedFormats();
        Cell texts(dim_vector(1, static_cast<octave_idx_type>(list.size())));
        std::string defaultFormat = list.empty() ? "" : list.front().name;
        for (std::size_t k = 0; k < list.size(); ++k) {
            texts(static_cast<octave_idx_type>(k)) = list[k].name;
            if (list[k].isDefault)
                defaultFormat = list[k].name;
        }
        const auto at = static_cast<octave_idx_type>(i);
        ids(at) = static_cast<double>(added[i]->id);
        names(at) = added[i]->name;
        formats(at) = texts;
        defaults(at) = defaultFormat;
    }
    octave_map map(dims);
    map.assign("DeviceName", names);
    map.assign("DeviceID", ids);
    map.assign("SupportedFormats", formats);
    map.assign("DefaultFormat", defaults);
    return octave_value(map);
}

octave_value_list openCommand(const Call& call)
{
    if (call.args.length() < 2)
        fail("imaq:orximaq:invalidArgument", "A device ID or name is needed.");
    std::optional<imaqhost::FormatRef> format;
    if (call.args.length() > 2)
        format = orxoct::refArg(call.args, 2, "The format (its name or number)");
    const auto device = orxoct::refArg(call.args, 1, "The device (its ID or name)");
    sessionFor(call);
    const auto handle = registry().open(device, format);
    keepObjectClass(call.interp);
    return octave_value(static_cast<double>(handle));
}

octave_value_list closeCommand(const Call& call)
{
    registry().close(handleArg(call));
    return octave_value();
}

octave_value_list resetCommand(const Call& call)
{
    endSession(call.interp);
    return octave_value();
}

octave_value_list isOpenCommand(const Call& call)
{
    return octave_value(registry().isOpen(handleArg(call)));
}

octave_value_list infoCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    const auto shape = orxoct::shapeOf(input.frameType(), 1, 1);
    octave_scalar_map info;
    info.assign("AdaptorName", "orximaq");
    info.assign("DeviceName", input.device().name);
    info.assign("DeviceID", static_cast<double>(input.device().id));
    info.assign("VideoFormat", input.formatName());
    info.assign("MaxHeight", static_cast<double>(input.maxHeight()));
    info.assign("MaxWidth", static_cast<double>(input.maxWidth()));
    // The bands getdata returns (the adaptor answers 3 for grey formats too).
    info.assign("NumberOfBands", static_cast<double>(shape.bands));
    info.assign("NativeDataType", shape.sample == orxoct::SampleClass::Uint16 ? "uint16" : "uint8");
    info.assign("IsColour", shape.bands == 3);
    info.assign("TotalSources", static_cast<double>(input.sources().size()));
    info.assign("VendorDriverDescription", input.driverDescription());
    info.assign("VendorDriverVersion", input.driverVersion());
    return octave_value(info);
}

// memlimit([bytes]): the byte bound of every buffer.
octave_value_list memoryLimitCommand(const Call& call)
{
    auto& gateway = registry();
    if (call.args.length() > 1) {
        const double bytes = orxoct::numberArg(call.args, 1, "The memory limit");
        if (!(bytes >= 1 && bytes == std::floor(bytes) && bytes < 9.0e18))
            fail("imaq:imaqmem:invalidLimit", "The memory limit must be a whole number of bytes of at least 1.");
        gateway.setMemoryLimit(static_cast<std::size_t>(bytes));
    }
    return octave_value(static_cast<double>(gateway.memoryLimit()));
}

octave_value_list countersCommand(const Call&)
{
    octave_scalar_map map;
    for (const auto& counter : orx::apps::resourceCounts())
        map.assign(counter.key, static_cast<double>(counter.value));
    return octave_value(map);
}

octave_value_list adaptorCommand(const Call& call)
{
    registry().setAdaptorPath(orxoct::textArg(call.args, 1, "The adaptor path"));
    return octave_value();
}

octave_value_list rigCommand(const Call& call)
{
    vexcam::useRigFile(orxoct::textArg(call.args, 1, "The rig file"));
    return octave_value();
}

octave_value_list defaultRigCommand(const Call&)
{
    vexcam::clearInstalledRig();
    return octave_value();
}

octave_value_list lockedCommand(const Call& call)
{
    return octave_value(isGatewayLocked(call.interp));
}

} // namespace orxoct
