// The colour space frames come out in, converted by the host runtime.
#include "gateway_commands.h"

#include "gateway_arguments.h"

#include <octave/ov-struct.h>

#include <cctype>

namespace orxoct {
namespace {

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

// colorspace(handle[, space, alignment]): sets the returned colour space
// ('rgb', 'grayscale', 'ycbcr', 'bayer') and Bayer alignment, then reports
// Space (as the toolbox spells it), Alignment and Bands.
octave_value_list colorSpaceCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    if (call.args.length() > 2) {
        const std::string space = lowered(textArg(call.args, 2, "ReturnedColorSpace"));
        const std::string alignment = lowered(textArg(call.args, 3, "BayerSensorAlignment"));
        if (space != "rgb" && space != "grayscale" && space != "ycbcr" && space != "bayer")
            fail("imaq:orximaq:invalidValue", "ReturnedColorSpace takes 'rgb', 'grayscale', 'YCbCr' or 'bayer'.");
        if (alignment != "gbrg" && alignment != "grbg" && alignment != "bggr" && alignment != "rggb")
            fail("imaq:orximaq:invalidValue", "BayerSensorAlignment takes 'gbrg', 'grbg', 'bggr' or 'rggb'.");
        input.setColorSpace(imaqhost::parseColorSpace(space), imaqhost::parseBayerAlignment(alignment));
    }
    const imaqhost::ColorSpace space = input.colorSpace();
    octave_scalar_map out;
    out.assign("Space", std::string(imaqhost::toString(space)));
    out.assign("Alignment", std::string(imaqhost::toString(input.bayerAlignment())));
    out.assign("Bands", static_cast<double>(input.returnedBands()));
    return octave_value(out);
}

} // namespace orxoct
