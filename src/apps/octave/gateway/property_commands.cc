// The commands about a video input's properties: its source's device
// properties, the region of interest and the sources.
#include "gateway_commands.h"

#include "gateway_arguments.h"
#include "property_values.h"

#include "imaqhost/host_error.h"

#include <octave/ov-struct.h>

#include <cmath>

namespace orxoct {

octave_value_list namesCommand(const Call& call)
{
    const auto names = inputArg(call).propertyNames();
    Cell list(dim_vector(static_cast<octave_idx_type>(names.size()), 1));
    for (std::size_t i = 0; i < names.size(); ++i)
        list(static_cast<octave_idx_type>(i)) = names[i];
    return octave_value(list);
}

void requireProperty(imaqhost::VideoInput& input, const std::string& name)
{
    if (!input.hasProperty(name))
        fail("imaq:orximaq:unknownProperty", "There is no property '" + name + "' on this source.");
}

octave_value_list getCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    const std::string name = orxoct::textArg(call.args, 2, "The property name");
    requireProperty(input, name);
    try {
        return orxoct::toOctave(input.get(name));
    } catch (const imaqhost::HostError& error) {
        fail("imaq:orximaq:getFailed", "Reading '" + name + "' failed: " + error.what());
    }
}

octave_value_list setCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    const std::string name = orxoct::textArg(call.args, 2, "The property name");
    if (call.args.length() < 4)
        fail("imaq:orximaq:invalidArgument", "A value for '" + name + "' is needed.");
    requireProperty(input, name);
    const auto description = input.describe(name);
    const auto value = orxoct::fromOctave(description, call.args(3));
    if (!value)
        fail("imaq:orximaq:invalidType",
             "'" + name + "' takes " +
                 (description.type == imaqhost::PropertyType::Enumeration ? "a text" : "a real scalar") + ".");
    try {
        input.set(name, *value);
    } catch (const imaqhost::HostError& error) {
        fail(orxoct::refusalId(description, *value, input.isAcquisitionActive()), error.what());
    }
    return octave_value();
}

octave_value_list describeCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    const std::string name = orxoct::textArg(call.args, 2, "The property name");
    requireProperty(input, name);
    const auto description = input.describe(name);
    return call.args.length() > 3 ? orxoct::allowedValuesOf(description)
                                  : octave_value(orxoct::propinfoOf(description, true));
}

RowVector regionVector(const imaqhost::Region& region)
{
    RowVector out(4);
    out(0) = region.x;
    out(1) = region.y;
    out(2) = region.width;
    out(3) = region.height;
    return out;
}

imaqhost::Region regionArg(const octave_value& value)
{
    const char* shape = "ROIPosition must be a real row [x y width height] of whole numbers of at least 0.";
    if (!value.isnumeric() || value.iscomplex() || value.islogical() || value.rows() != 1 || value.columns() != 4)
        fail("imaq:orximaq:invalidROI", shape);
    const NDArray roi = value.array_value();
    for (octave_idx_type i = 0; i < 4; ++i)
        if (!std::isfinite(roi(i)) || roi(i) != std::floor(roi(i)) || roi(i) < 0 || roi(i) > 1e9)
            fail("imaq:orximaq:invalidROI", shape);
    return {static_cast<std::int32_t>(roi(0)), static_cast<std::int32_t>(roi(1)), static_cast<std::int32_t>(roi(2)),
            static_cast<std::int32_t>(roi(3))};
}

octave_value_list roiCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    if (call.args.length() > 2) {
        const imaqhost::Region region = regionArg(call.args(2));
        if (input.isAcquisitionActive())
            fail("imaq:orximaq:readOnlyWhileRunning", "ROIPosition cannot change while the object is running.");
        try {
            input.setRegion(region);
        } catch (const imaqhost::HostError& error) {
            fail("imaq:orximaq:invalidROI", error.what());
        }
        const auto applied = input.region();
        if (!(applied == region))
            warning_with_id("imaq:orximaq:roiAdjusted", "The device adjusted ROIPosition to [%d %d %d %d].",
                            applied.x, applied.y, applied.width, applied.height);
    }
    return octave_value(regionVector(input.region()));
}

octave_value_list sourcesCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    const auto& sources = input.sources();
    Cell names(dim_vector(1, static_cast<octave_idx_type>(sources.size())));
    for (std::size_t i = 0; i < sources.size(); ++i)
        names(static_cast<octave_idx_type>(i)) = sources[i].name;
    octave_scalar_map out;
    out.assign("Names", names);
    out.assign("Selected", input.selectedSource());
    return octave_value(out);
}

} // namespace orxoct
