// Logging to disk: where the runtime's disk logger writes an acquisition's
// frames, and the writer object's own files written from Octave arrays.
#include "gateway_commands.h"

#include "gateway_arguments.h"

#include "imaqhost/frame_log.h"
#include "imaqhost/host_error.h"
#include "platform/imaqkit.h"

#include <vector>

namespace orxoct {
namespace {

imaqhost::DiskLogSettings diskSettingsArgs(const octave_value_list& args, int first)
{
    imaqhost::DiskLogSettings settings;
    const std::string format = textArg(args, first, "The file format");
    if (format != "tiff-stack" && format != "avi")
        fail("imaq:orximaq:invalidArgument", "The file format must be 'tiff-stack' or 'avi'.");
    settings.format = imaqhost::parseDiskFileFormat(format);
    settings.path = textArg(args, first + 1, "The file name");
    if (settings.path.empty())
        fail("imaq:orximaq:invalidArgument", "The file name must not be empty.");
    return settings;
}

// Frame `index` of an H x W x B x N array as the host's top-down packed
// rows (colour as blue, green, red).
template <typename Sample>
std::vector<std::uint8_t> packedFrame(const Sample* data, const dim_vector& dims, octave_idx_type index)
{
    const octave_idx_type height = dims(0), width = dims(1), bands = dims.ndims() > 2 ? dims(2) : 1;
    const octave_idx_type plane = height * width;
    const Sample* frame = data + index * plane * bands;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(plane * bands) * sizeof(Sample));
    auto* samples = reinterpret_cast<Sample*>(out.data());
    for (octave_idx_type y = 0; y < height; ++y)
        for (octave_idx_type x = 0; x < width; ++x)
            for (octave_idx_type b = 0; b < bands; ++b)
                samples[(y * width + x) * bands + (bands - 1 - b)] = frame[b * plane + x * height + y];
    return out;
}

} // namespace

// logging(handle, mode[, format, path]): where the next acquisitions log.
octave_value_list loggingCommand(const Call& call)
{
    imaqhost::VideoInput& input = inputArg(call);
    const imaqhost::LoggingMode mode = imaqhost::parseLoggingMode(textArg(call.args, 2, "LoggingMode"));
    if (mode == imaqhost::LoggingMode::Memory)
        input.setLogging(mode);
    else
        input.setLogging(mode, diskSettingsArgs(call.args, 3));
    return octave_value();
}

// writelog(format, path, frames): a new file of the frames, H x W x B x N of
// uint8 (B 1 or 3) or uint16 (B 1).
octave_value_list writeLogCommand(const Call& call)
{
    const imaqhost::DiskLogSettings settings = diskSettingsArgs(call.args, 1);
    if (call.args.length() < 4)
        fail("imaq:orximaq:invalidArgument", "No frames to write.");
    const octave_value& frames = call.args(3);
    const dim_vector dims = frames.dims();
    const octave_idx_type bands = dims.ndims() > 2 ? dims(2) : 1;
    const octave_idx_type count = dims.ndims() > 3 ? dims(3) : 1;
    const bool bytes = frames.is_uint8_type();
    if (!(bytes || frames.is_uint16_type()) || dims.ndims() > 4 || !(bands == 1 || (bands == 3 && bytes)) ||
        dims(0) < 1 || dims(1) < 1 || count < 1 || dims(0) > 65535 || dims(1) > 65535)
        fail("imaq:orximaq:invalidArgument",
             "The frames must be an H x W x B x N array of uint8 (B 1 or 3) or uint16 (B 1).");
    const std::uint32_t type = bands == 3 ? imaqkit::kRgb24Packed : bytes ? imaqkit::kMono8 : imaqkit::kMono16;
    imaqhost::FrameLog log(settings, type);
    const uint8NDArray bytesArray = bytes ? frames.uint8_array_value() : uint8NDArray();
    const uint16NDArray wordsArray = bytes ? uint16NDArray() : frames.uint16_array_value();
    for (octave_idx_type i = 0; i < count; ++i) {
        const std::vector<std::uint8_t> pixels =
            bytes ? packedFrame(reinterpret_cast<const std::uint8_t*>(bytesArray.data()), dims, i)
                  : packedFrame(reinterpret_cast<const std::uint16_t*>(wordsArray.data()), dims, i);
        imaqhost::FrameView view;
        view.index = i;
        view.frameType = type;
        view.width = static_cast<std::int32_t>(dims(1));
        view.height = static_cast<std::int32_t>(dims(0));
        view.bytesPerPixel = static_cast<std::int32_t>(bands * (bytes ? 1 : 2));
        view.pixels = pixels.data();
        view.bytes = pixels.size();
        view.bands = static_cast<std::int32_t>(bands);
        view.meta.wallTime = imaqhost::wallSecondsNow();
        view.meta.frameNumber = i + 1;
        view.meta.relativeFrame = i + 1;
        view.meta.triggerIndex = 1;
        log.write(view);
    }
    log.finish();
    return octave_value(static_cast<double>(count));
}

} // namespace orxoct
