// Rig files: the devices, their norms, formats, descriptions, frame rates and
// channels. Properties and faults: rig_property_parser.cpp.
#include "rig_parser.h"

#include "rig_json_document.h"

#include "colorformat.h"
#include "format_selection.h"
#include "rig_file.h"

#include "vexcam/vexcam.h"


namespace vexcam {
namespace {

// A known colour format, or another name of at most four characters (a FOURCC).
void checkColourFormat(const RigJsonNode& node, const std::string& colorformat)
{
    if (colorformat.size() > 4 && !subtypeOfColorformat(colorformat))
        node.fail("unknown colour format \"" + colorformat +
                  "\": give a known one (Y800, Y16, RGB24, RGB32, BY8, RGB565, RGB555, RGB8, UYVY, YGB0, YGB1) "
                  "or a name of at most four characters");
}

FormatSpec parseFormat(const RigJsonNode& node)
{
    const auto format = parseFormatText(node.asString());
    if (!format) node.fail("expected a format text like \"Y800 (640x480)\"");
    checkColourFormat(node, format->colorformat);
    return *format;
}

std::vector<FormatSpec> parseFormats(const RigJsonNode& node)
{
    return node.asArrayOf(parseFormat);
}

DescriptionSpec parseDescription(const RigJsonNode& node)
{
    RigJsonObject object(node);
    DescriptionSpec d;
    d.colorformat = object.required("colorformat").asNonEmptyString();
    if (auto subtype = object.optional("subtype")) d.subtype = subtype->asGuid();
    d.minSize = object.required("min").asSize();
    d.maxSize = object.required("max").asSize();
    if (auto step = object.optional("step")) d.stepSize = step->asSize();
    if (auto roi = object.optional("roi")) d.roi = roi->asBool();
    if (auto accept = object.optional("accept")) {
        if (accept->value().is_string()) {
            accept->asChoice({"grid"});
        } else {
            d.acceptance = SizeAcceptance::Listed;
            d.acceptedSizes = accept->asSizes();
        }
    }
    if (auto reject = object.optional("reject")) d.rejectedSizes = reject->asSizes();
    object.finish();

    if (d.minSize.cx > d.maxSize.cx || d.minSize.cy > d.maxSize.cy)
        node.fail("the minimum size is larger than the maximum size");
    checkColourFormat(node.child("colorformat"), d.colorformat);
    return d;
}

std::vector<DescriptionSpec> parseDescriptions(const RigJsonNode& node)
{
    return node.asArrayOf(parseDescription);
}

NormSpec parseNorm(const RigJsonNode& node)
{
    RigJsonObject object(node);
    NormSpec norm;
    norm.name = object.required("name").asNonEmptyString();
    if (norm.name.find(':') != std::string::npos) object.required("name").fail("a norm name cannot hold a colon");
    if (auto formats = object.optional("formats")) norm.formats = parseFormats(*formats);
    if (auto descriptions = object.optional("descriptions")) norm.descriptions = parseDescriptions(*descriptions);
    object.finish();
    return norm;
}

std::vector<double> parseRates(const RigJsonNode& node)
{
    std::vector<double> rates;
    for (const auto& element : node.asArray()) {
        const double rate = element.asRate();
        if (rate == 0.0) element.fail("a frame rate must be above 0");
        rates.push_back(rate);
    }
    return rates;
}

FrameRateSpec parseFrameRates(const RigJsonNode& node)
{
    RigJsonObject object(node);
    FrameRateSpec spec;
    if (auto byFormat = object.optional("byFormat")) {
        RigJsonObject formats(*byFormat);
        for (const auto& [text, rates] : byFormat->value().items()) {
            const RigJsonNode entry = formats.required(text);
            if (!parseFormatText(text)) entry.fail("the key is not a format text like \"Y800 (640x480)\"");
            spec.byFormat[text] = parseRates(entry);
        }
    }
    if (auto defaults = object.optional("default")) spec.defaults = parseRates(*defaults);
    if (auto pixelRate = object.optional("pixelRate")) spec.pixelRate = pixelRate->asRate();
    if (auto maxFps = object.optional("maxFps")) spec.maxFps = maxFps->asRate();
    if (auto minFps = object.optional("minFps")) spec.minFps = minFps->asRate();
    if (auto available = object.optional("available")) spec.available = available->asBool();
    object.finish();
    return spec;
}

std::int64_t parseSerial(const RigJsonNode& node)
{
    if (node.value().is_number()) return node.asInt64();
    const std::string text = node.asString();
    if (text.size() > 2 && text.size() <= 18 && (text.starts_with("0x") || text.starts_with("0X"))) {
        try {
            std::size_t used = 0;
            const unsigned long long value = std::stoull(text.substr(2), &used, 16);
            if (used == text.size() - 2) return std::int64_t(value);
        } catch (const std::exception&) {
        }
    }
    node.fail("expected a serial number: a number or a hexadecimal text like \"0x2A0F3C11\"");
}

DeviceSpec parseDevice(const RigJsonNode& node)
{
    RigJsonObject object(node);
    DeviceSpec device;
    device.name = object.required("name").asNonEmptyString();
    if (auto serial = object.optional("serial")) device.serial = parseSerial(*serial);
    if (auto opens = object.optional("opens")) device.opens = opens->asBool();
    if (auto sensor = object.optional("sensor")) device.sensor = sensor->asSize();
    if (auto norms = object.optional("norms")) {
        if (object.has("formats") || object.has("descriptions"))
            node.fail("a device has either \"norms\" or its own \"formats\" and \"descriptions\", not both");
        device.hasNorms = true;
        device.norms = norms->asArrayOf(parseNorm);
    } else {
        NormSpec implicit;
        if (auto formats = object.optional("formats")) implicit.formats = parseFormats(*formats);
        if (auto descriptions = object.optional("descriptions")) implicit.descriptions = parseDescriptions(*descriptions);
        device.norms.push_back(std::move(implicit));
    }
    if (auto channels = object.optional("channels")) device.channels = channels->asStrings();
    if (auto frameRates = object.optional("frameRates")) device.frameRates = parseFrameRates(*frameRates);
    if (auto properties = object.optional("properties")) device.properties = parseProperties(*properties);
    if (auto faults = object.optional("faults")) device.faults = parseDeviceFaults(*faults);
    object.finish();
    return device;
}

void parseRigFaults(const RigJsonNode& node, Rig& rig)
{
    RigJsonObject object(node);
    if (auto deviceList = object.optional("deviceList")) rig.deviceList = deviceList->asListFault();
    object.finish();
}

GenicamSpec parseGenicam(const RigJsonNode& node)
{
    RigJsonObject object(node);
    GenicamSpec genicam;
    genicam.interfaces = object.required("interfaces").asStrings();
    object.finish();
    return genicam;
}

GstreamerSpec parseGstreamer(const RigJsonNode& node)
{
    RigJsonObject object(node);
    GstreamerSpec gstreamer;
    if (auto pipelines = object.optional("pipelines"))
        for (const auto& element : pipelines->asArray()) {
            RigJsonObject entry(element);
            GstreamerPipelineSpec pipeline;
            pipeline.pipeline = entry.required("pipeline").asNonEmptyString();
            if (auto name = entry.optional("name")) pipeline.name = name->asString();
            entry.finish();
            gstreamer.pipelines.push_back(std::move(pipeline));
        }
    if (auto monitor = object.optional("monitor")) gstreamer.monitor = monitor->asBool();
    object.finish();
    return gstreamer;
}

Rig parseRigObject(const RigJsonNode& root)
{
    RigJsonObject object(root);
    Rig rig;
    if (auto genicam = object.optional("genicam")) rig.genicam = parseGenicam(*genicam);
    if (auto gstreamer = object.optional("gstreamer")) rig.gstreamer = parseGstreamer(*gstreamer);
    // A rig of GStreamer pipelines alone needs no simulated devices.
    const auto devices = rig.gstreamer ? object.optional("devices") : std::optional(object.required("devices"));
    for (const auto& element : devices ? devices->asArray() : std::vector<RigJsonNode>{}) {
        DeviceSpec device = parseDevice(element);
        for (const auto& earlier : rig.devices)
            if (earlier.name == device.name) element.child("name").fail("a second device named \"" + device.name + "\"");
        rig.devices.push_back(std::move(device));
    }
    if (auto faults = object.optional("faults")) parseRigFaults(*faults, rig);
    object.optional("comment");
    object.finish();
    return rig;
}

} // namespace

Rig parseRig(std::string_view text, std::string_view origin)
{
    const std::string name(origin);
    const nlohmann::json root = readRigJson(text, name);
    return parseRigObject(RigJsonNode(root, "", name));
}

Rig loadRigFile(const std::string& path)
{
    return parseRig(readRigFileText(path), path);
}

} // namespace vexcam
