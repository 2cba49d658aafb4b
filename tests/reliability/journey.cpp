#include "journey.h"

#include "imaqhost/host_error.h"

#include <algorithm>
#include <exception>
#include <optional>

namespace orx::test {

namespace {

std::string describeFailure()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return std::string("error: ") + error.what();
    } catch (...) {
        return "error: unknown exception";
    }
}

// Runs `step`; the line is `what` followed by the step's own text or the failure.
template <typename Step>
void record(std::vector<std::string>& transcript, const std::string& what, Step&& step)
{
    try {
        transcript.push_back(what + ": " + step());
    } catch (...) {
        transcript.push_back(what + ": " + describeFailure());
    }
}

void arm(const JourneyOptions& options, JourneyStage stage)
{
    if (options.beforeStage) options.beforeStage(stage);
}

const imaqhost::DeviceRecord* addedDevice(imaqhost::Session& session, const std::string& name)
{
    for (const auto& device : session.devices())
        if (device.added && device.name == name) return &device;
    return nullptr;
}

void readAndWriteEveryProperty(imaqhost::VideoInput& input, std::vector<std::string>& transcript)
{
    for (const auto& name : input.propertyNames()) {
        std::optional<imaqhost::PropertyValue> value;
        record(transcript, "get " + name, [&] {
            value = input.get(name);
            return imaqhost::formatValue(*value);
        });
        record(transcript, "set " + name, [&] {
            input.set(name, value ? *value : imaqhost::defaultValueOf(input.describe(name)));
            return std::string("ok");
        });
    }
}

std::string regionText(const imaqhost::Region& region)
{
    return std::to_string(region.x) + "," + std::to_string(region.y) + "," + std::to_string(region.width) + "," +
           std::to_string(region.height);
}

void applyHalfRegion(imaqhost::VideoInput& input, std::vector<std::string>& transcript)
{
    const std::int32_t width = input.maxWidth();
    const std::int32_t height = input.maxHeight();
    const imaqhost::Region wanted{width / 4, height / 4, std::max(1, width / 2), std::max(1, height / 2)};
    record(transcript, "region " + regionText(wanted), [&] {
        input.setRegion(wanted);
        return "now " + regionText(input.region());
    });
}

void acquire(imaqhost::VideoInput& input, const JourneyOptions& options, std::vector<std::string>& transcript)
{
    record(transcript, "acquire " + std::to_string(options.frames), [&] {
        const auto stats = input.acquire(options.frames, {}, options.timeout);
        return std::string(imaqhost::toString(stats.end)) + ", received " + std::to_string(stats.received) +
               ", refused " + std::to_string(stats.refused);
    });
}

} // namespace

std::vector<std::string> discoveryLines(imaqhost::Session& session)
{
    std::vector<std::string> lines;
    try {
        for (const auto& device : session.discover())
            lines.push_back("device " + std::to_string(device.id) + " " + device.name + ": " +
                            (device.added ? "added, " : "left out, ") + std::to_string(device.addedFormats().size()) +
                            " formats");
        if (lines.empty()) lines.push_back("no devices");
    } catch (...) {
        lines.push_back("discovery: " + describeFailure());
    }
    return lines;
}

Journey runJourney(imaqhost::Session& session, const std::string& deviceName, const JourneyOptions& options)
{
    Journey journey;
    auto& transcript = journey.transcript;
    transcript = discoveryLines(session);
    const imaqhost::DeviceRecord* device = addedDevice(session, deviceName);
    if (!device || device->addedFormats().empty()) {
        transcript.push_back("journey ends: no format of " + deviceName + " to choose");
        return journey;
    }
    const auto formats = device->addedFormats();
    const std::size_t attributeFormats = options.everyFormat ? formats.size() : 1;

    arm(options, JourneyStage::Attributes);
    for (std::size_t i = 0; i < attributeFormats; ++i)
        record(transcript, "attributes " + formats[i].name, [&] {
            const auto attributes = session.attributes(device->id, formats[i].id);
            return std::to_string(attributes.properties.size()) + " properties, " +
                   std::to_string(attributes.sources.size()) + " source";
        });

    arm(options, JourneyStage::Open);
    // The last format: on a camera without norms the largest, so a region fits.
    record(transcript, "open " + formats.back().name, [&] {
        journey.input = session.open(device->id, formats.back().id);
        return std::string("ok");
    });
    if (!journey.input) return journey;

    arm(options, JourneyStage::Properties);
    readAndWriteEveryProperty(*journey.input, transcript);
    arm(options, JourneyStage::Region);
    applyHalfRegion(*journey.input, transcript);
    arm(options, JourneyStage::Acquisition);
    acquire(*journey.input, options, transcript);
    return journey;
}

bool contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

} // namespace orx::test
