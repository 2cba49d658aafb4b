#include "engine_request.h"

#include "cli_error.h"
#include "failure_text.h"
#include "text_parsing.h"

#include "imaqhost/host_error.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

namespace orximaq {
namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A whole number in [least, most]; CliError naming the option otherwise.
std::int64_t parseCount(const std::string& option, const std::string& text, std::int64_t least, std::int64_t most)
{
    const std::string value = trimmed(text);
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || error == std::errc::invalid_argument || end != value.data() + value.size())
        throw CliError(option + " " + text + ": expected a whole number", "argument");
    if (error == std::errc::result_out_of_range || number < least || number > most)
        throw CliError(option + " " + text + ": must be from " + std::to_string(least) + " to " +
                           std::to_string(most), "argument");
    return number;
}

// A count that may be "inf".
std::int64_t parseOpenCount(const std::string& option, const std::string& text, std::int64_t least)
{
    const std::string value = lower(trimmed(text));
    if (value == "inf" || value == "infinite")
        return imaqhost::kInfinite;
    return parseCount(option, text, least, kMostFrames);
}

imaqhost::TriggerType parseTrigger(const std::string& text)
{
    const std::string value = lower(trimmed(text));
    if (value == "immediate")
        return imaqhost::TriggerType::Immediate;
    if (value == "manual")
        return imaqhost::TriggerType::Manual;
    throw CliError("--trigger " + text + ": choose immediate or manual", "argument");
}

ColorRequest parseColor(const std::string& text)
{
    const std::string value = lower(trimmed(text));
    const auto colon = value.find(':');
    ColorRequest request{imaqhost::ColorSpace::Native, imaqhost::BayerAlignment::Grbg, text};
    try {
        request.space = imaqhost::parseColorSpace(value.substr(0, colon));
        if (request.space == imaqhost::ColorSpace::Bayer) {
            if (colon == std::string::npos)
                throw CliError("--color-space " + text + ": give the sensor alignment, e.g. bayer:grbg "
                               "(gbrg, grbg, bggr or rggb)", "argument");
            request.alignment = imaqhost::parseBayerAlignment(value.substr(colon + 1));
        } else if (colon != std::string::npos) {
            throw CliError("--color-space " + text + ": only bayer takes an alignment after ':'", "argument");
        }
    } catch (const imaqhost::HostError& error) {
        throw CliError("--color-space " + text + ": choose rgb, grayscale, ycbcr or bayer:ALIGNMENT "
                       "(gbrg, grbg, bggr or rggb)", "argument");
    }
    return request;
}

std::size_t parseBytes(const std::string& text)
{
    std::string value = lower(trimmed(text));
    std::int64_t unit = 1;
    if (!value.empty() && (value.back() == 'k' || value.back() == 'm' || value.back() == 'g')) {
        unit = value.back() == 'k' ? 1024 : value.back() == 'm' ? 1024 * 1024 : 1024 * 1024 * 1024;
        value.pop_back();
    }
    const std::int64_t most = std::numeric_limits<std::int64_t>::max() / unit;
    const std::int64_t number = parseCount("--memory-limit", value, 1, most);
    return static_cast<std::size_t>(number * unit);
}

LogRequest parseLog(const std::vector<std::string>& texts)
{
    if (texts.size() != 2)
        throw CliError("--log takes a file format and a file, e.g. --log tiff-stack run.tif", "argument");
    LogRequest request;
    const std::string format = lower(trimmed(texts[0]));
    if (format == "tiff-stack")
        request.format = imaqhost::DiskFileFormat::TiffStack;
    else if (format == "avi")
        request.format = imaqhost::DiskFileFormat::Avi;
    else
        throw CliError("--log " + texts[0] + ": choose tiff-stack or avi", "argument");
    if (texts[1].empty())
        throw CliError("--log " + texts[0] + ": the file name is empty", "argument");
    request.path = texts[1];
    return request;
}

} // namespace

std::optional<std::int64_t> EngineRequest::totalFrames() const
{
    if (trigger.framesPerTrigger == imaqhost::kInfinite || trigger.triggerRepeat == imaqhost::kInfinite)
        return std::nullopt;
    return trigger.framesPerTrigger * (trigger.triggerRepeat + 1);
}

EngineRequest parseEngineRequest(const EngineOptions& options, std::int64_t frames, bool timed)
{
    EngineRequest request;
    auto& trigger = request.trigger;
    if (options.trigger)
        trigger.type = parseTrigger(*options.trigger);
    trigger.framesPerTrigger = options.framesPerTrigger
                                   ? parseOpenCount("--frames-per-trigger", *options.framesPerTrigger, 1)
                                   : (timed ? imaqhost::kInfinite : frames);
    if (options.triggerRepeat)
        trigger.triggerRepeat = parseOpenCount("--trigger-repeat", *options.triggerRepeat, 0);
    if (options.frameDelay)
        trigger.frameDelay = parseCount("--frame-delay", *options.frameDelay, 0, kMostFrames);
    if (options.grabInterval)
        trigger.grabInterval = parseCount("--grab-interval", *options.grabInterval, 1, kMostFrames);
    if (const auto total = request.totalFrames(); total && *total > kMostFrames)
        throw CliError("--frames-per-trigger times (--trigger-repeat + 1) is " + std::to_string(*total) +
                           " frames; at most " + std::to_string(kMostFrames) + " in one run",
                       "argument");
    if (options.colorSpace)
        request.color = parseColor(*options.colorSpace);
    if (options.memoryLimit)
        request.memoryLimit = parseBytes(*options.memoryLimit);
    if (!options.log.empty())
        request.log = parseLog(options.log);
    if (options.push && request.manual())
        throw CliError("--push " + *options.push + ": Enter and SIGUSR1 fire the manual trigger; a camera's own "
                       "trigger goes with --trigger immediate", "argument");
    request.push = options.push;
    return request;
}

std::string countText(std::int64_t count)
{
    return count == imaqhost::kInfinite ? std::string("inf") : std::to_string(count);
}

} // namespace orximaq
