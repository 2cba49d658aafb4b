// GStreamer pipelines and video sources as library devices: each one's
// pipeline is made once, asked for its caps in the READY state, and kept for
// the device's life.
#include "caps_catalogue.h"
#include "color_balance.h"
#include "element_properties.h"
#include "gst_ref.h"
#include "gstreamer_backend.h"
#include "gstreamer_source.h"

#include <cstdio>
#include <set>

namespace vexcam {
namespace {

using gst::CapsRef;
using gst::Ref;

// The first element of the pipeline that has no input: the one whose
// settings become properties.
Ref<GstElement> sourceOf(GstElement* device)
{
    if (!GST_IS_BIN(device)) return gst::share(device);
    const gst::IteratorRef sources(gst_bin_iterate_sources(GST_BIN(device)));
    GValue item = G_VALUE_INIT;
    Ref<GstElement> found;
    if (gst_iterator_next(sources.get(), &item) == GST_ITERATOR_OK)
        found = gst::share(GST_ELEMENT(g_value_get_object(&item)));
    g_value_unset(&item);
    return found;
}

// The caps the device offers, read in the READY state (where a camera is
// open but not streaming, and lists its controls), where `whileReady` runs
// too; the failure's text when it cannot get there.
template <class WhileReady>
CapsRef probeCaps(GstElement* device, GstPad* output, std::string& why, WhileReady&& whileReady)
{
    const Ref<GstBus> bus(gst_bus_new());
    gst_element_set_bus(device, bus.get());
    CapsRef caps;
    if (gst_element_set_state(device, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
        const gst::MessageRef error(gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR));
        why = "the pipeline does not start";
        if (error) {
            GError* problem = nullptr;
            gst_message_parse_error(error.get(), &problem, nullptr);
            if (problem) why += std::string(": ") + problem->message, g_error_free(problem);
        }
    } else {
        caps.reset(gst_pad_query_caps(output, nullptr));
        whileReady();
    }
    gst_element_set_state(device, GST_STATE_NULL);
    gst_element_set_bus(device, nullptr);
    return caps;
}

std::shared_ptr<Vexlib::detail::DeviceData> closedDevice(const std::string& name, const std::string& why)
{
    std::fprintf(stderr, "vexlib: the GStreamer device \"%s\" does not open: %s\n", name.c_str(), why.c_str());
    DeviceSpec closed;
    closed.name = name;
    closed.opens = false;
    return std::make_shared<Vexlib::detail::DeviceData>(closed, Size{});
}

// A device from its pipeline, a bin with one free output pad "src".
std::shared_ptr<Vexlib::detail::DeviceData> deviceOf(const std::string& name, Ref<GstElement> device)
{
    gst::track(device.get());
    const Ref<GstPad> output(gst_element_get_static_pad(device.get(), "src"));
    if (!output) return closedDevice(name, "the pipeline has no free output to read frames from");
    const Ref<GstElement> source = sourceOf(device.get());
    const Ref<GstElement> balance(GST_IS_BIN(device.get())
                                      ? gst_bin_get_by_interface(GST_BIN(device.get()), GST_TYPE_COLOR_BALANCE)
                                      : nullptr);
    gst::PropertyTree tree;
    gst::BalanceTree balanceTree;
    std::string why;
    CapsRef caps = probeCaps(device.get(), output.get(), why, [&] {
        if (source) tree = gst::buildPropertyTree(source.get());
        if (balance) balanceTree = gst::buildColorBalance(balance.get(), tree.items);
    });
    if (!caps) return closedDevice(name, why);
    auto catalogue = gst::catalogueOf(caps.get());
    if (catalogue.formats.empty() && catalogue.descriptions.empty()) {
        const gst::TextRef text(gst_caps_to_string(caps.get()));
        return closedDevice(name, std::string("none of its caps is a format the library delivers: ") + text.get());
    }
    DeviceSpec spec;
    spec.name = name;
    spec.norms.push_back(NormSpec{"", std::move(catalogue.formats), std::move(catalogue.descriptions)});
    spec.frameRates = std::move(catalogue.rates);
    spec.sensor = catalogue.largest;
    const std::size_t split = tree.items.size();
    spec.properties = std::move(tree.items);
    for (auto& item : balanceTree.items) spec.properties.push_back(std::move(item));
    auto backend = std::make_shared<gst::GstreamerBackend>(name, std::move(device), std::move(caps),
                                                           std::move(catalogue.fractions));
    auto made = std::make_shared<Vexlib::detail::DeviceData>(spec, spec.sensor, std::move(backend));
    std::shared_ptr<ElementBinding> binding;
    if (source) binding = std::make_shared<gst::PropertyBinding>(gst::share(source.get()), std::move(tree.properties));
    if (balance && !balanceTree.channels.empty()) {
        auto balanced = std::make_shared<gst::ColorBalanceBinding>(gst::share(balance.get()), std::move(balanceTree.channels));
        binding = binding ? std::make_shared<gst::SplitBinding>(binding, split, balanced) : std::shared_ptr<ElementBinding>(balanced);
    }
    if (binding) made->properties->bind(std::move(binding));
    return made;
}

std::shared_ptr<Vexlib::detail::DeviceData> pipelineDevice(const std::string& name, const std::string& pipeline)
{
    ErrorSlot error;
    // A pipeline may end in caps ("... ! video/x-raw,width=320"), which parse
    // as a filter only when an element follows.
    const std::string closed = pipeline + " ! identity silent=true";
    Ref<GstElement> device = gst::own(gst_parse_bin_from_description_full(
        closed.c_str(), TRUE, nullptr, GST_PARSE_FLAG_FATAL_ERRORS, error.out()));
    if (error.failed() || !device) return closedDevice(name, "the pipeline does not parse: " + error.message());
    return deviceOf(name, std::move(device));
}

// A monitored device's element, in a bin of its own with its output ghosted.
std::shared_ptr<Vexlib::detail::DeviceData> monitoredDevice(const std::string& name, GstDevice* found)
{
    Ref<GstElement> bin = gst::own(gst_bin_new(nullptr));
    GstElement* element = gst_device_create_element(found, nullptr);
    if (!element) return closedDevice(name, "GStreamer makes no element for it");
    gst_bin_add(GST_BIN(bin.get()), element);
    const Ref<GstPad> output(gst_element_get_static_pad(element, "src"));
    if (!output) return closedDevice(name, "its element has no output");
    gst_element_add_pad(bin.get(), gst_ghost_pad_new("src", output.get()));
    return deviceOf(name, std::move(bin));
}

// Names stay unique: a second "Camera" becomes "Camera (2)".
std::string uniqueName(std::string name, std::set<std::string>& taken)
{
    std::string candidate = name;
    for (int copy = 2; !taken.insert(candidate).second; ++copy) candidate = name + " (" + std::to_string(copy) + ")";
    return candidate;
}

void addMonitored(GstreamerDiscovery& found, std::set<std::string>& taken)
{
    const Ref<GstDeviceMonitor> monitor(gst_device_monitor_new());
    gst_device_monitor_add_filter(monitor.get(), "Video/Source", nullptr);
    GList* devices = gst_device_monitor_get_devices(monitor.get());
    for (GList* entry = devices; entry; entry = entry->next) {
        auto* device = GST_DEVICE(entry->data);
        const gst::TextRef name(gst_device_get_display_name(device));
        found.devices.push_back(monitoredDevice(uniqueName(name ? name.get() : "GStreamer camera", taken), device));
    }
    g_list_free_full(devices, gst_object_unref);
}

} // namespace

GstreamerDiscovery discoverGstreamer(const GstreamerSpec& spec)
{
    GstreamerDiscovery found;
    found.error = gst::initialise();
    if (!found.error.empty()) return found;
    std::set<std::string> taken;
    for (const auto& pipeline : spec.pipelines)
        found.devices.push_back(
            pipelineDevice(uniqueName(pipeline.name.empty() ? pipeline.pipeline : pipeline.name, taken), pipeline.pipeline));
    if (spec.monitor) addMonitored(found, taken);
    return found;
}

} // namespace vexcam
