#include "feature_tree.h"

#include "rig_json_node.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <string_view>

namespace vexcam::genicam {
namespace {

using Kind = ElementFeature::Kind;

// What the library sets itself when a grabber opens a format or goes live.
constexpr std::array<std::string_view, 13> kControlled{
    "Width", "Height", "OffsetX", "OffsetY", "PixelFormat", "AcquisitionMode", "AcquisitionStart",
    "AcquisitionStop", "PayloadSize", "AcquisitionFrameRate", "AcquisitionFrameRateEnable",
    "AcquisitionFramePeriod", "TLParamsLocked"};

// Value features that an automatic mode "<base>Auto" goes with.
constexpr std::array<std::string_view, 6> kValueSuffixes{"", "Raw", "Abs", "Time", "TimeAbs", "TimeRaw"};

bool controlled(std::string_view name)
{
    return std::find(kControlled.begin(), kControlled.end(), name) != kControlled.end();
}

std::int32_t toInt32(std::int64_t value)
{
    return std::int32_t(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

struct FoundFeature {
    std::string name;
    Kind kind;
    std::vector<std::string> entries;
};

std::vector<std::string> entriesOf(ArvGcEnumeration* enumeration)
{
    ErrorSlot error;
    guint count = 0;
    const char** names = arv_gc_enumeration_dup_available_string_values(enumeration, &count, error.out());
    std::vector<std::string> entries;
    if (!error.failed() && names)
        for (guint i = 0; i < count; ++i) entries.emplace_back(names[i]);
    g_free(names);
    return entries;
}

std::optional<Kind> kindOf(ArvDomNode* node)
{
    if (ARV_IS_GC_ENUMERATION(node)) return Kind::Enumeration;
    if (ARV_IS_GC_BOOLEAN(node)) return Kind::Boolean;
    if (ARV_IS_GC_COMMAND(node)) return Kind::Command;
    // Converters and registers are the machinery behind a feature, not features.
    if (ARV_IS_GC_INTEGER_NODE(node)) return Kind::Integer;
    if (ARV_IS_GC_FLOAT_NODE(node)) return Kind::Float;
    return std::nullopt;
}

bool readableWritable(ArvGcFeatureNode* node, Kind kind)
{
    ErrorSlot error;
    if (!arv_gc_feature_node_is_implemented(node, error.out()) || error.failed()) return false;
    if (!arv_gc_feature_node_is_available(node, error.out()) || error.failed()) return false;
    const ArvGcAccessMode mode = arv_gc_feature_node_get_actual_access_mode(node);
    return kind == Kind::Command ? mode == ARV_GC_ACCESS_MODE_WO || mode == ARV_GC_ACCESS_MODE_RW
                                 : mode == ARV_GC_ACCESS_MODE_RW;
}

// Every feature node of the description, in document order.
std::vector<FoundFeature> walkFeatures(ArvGc* gc)
{
    std::vector<FoundFeature> found;
    if (!gc) return found;
    ArvDomElement* root = arv_dom_document_get_document_element(ARV_DOM_DOCUMENT(gc));
    for (ArvDomNode* node = root ? arv_dom_node_get_first_child(ARV_DOM_NODE(root)) : nullptr; node;
         node = arv_dom_node_get_next_sibling(node)) {
        if (!ARV_IS_GC_FEATURE_NODE(node)) continue;
        const auto kind = kindOf(node);
        if (!kind) continue;
        auto* feature = ARV_GC_FEATURE_NODE(node);
        const char* name = arv_gc_feature_node_get_name(feature);
        if (!name || controlled(name) || !readableWritable(feature, *kind)) continue;
        FoundFeature entry{name, *kind, {}};
        if (*kind == Kind::Enumeration) entry.entries = entriesOf(ARV_GC_ENUMERATION(node));
        found.push_back(std::move(entry));
    }
    return found;
}

bool isOnOffAuto(const FoundFeature& feature)
{
    const auto has = [&](std::string_view entry) {
        return std::find(feature.entries.begin(), feature.entries.end(), entry) != feature.entries.end();
    };
    return feature.kind == Kind::Enumeration && has("Off") && has("Continuous");
}

struct Builder {
    std::shared_ptr<Camera> camera;
    FeatureTree tree;

    void addItem(const std::string& name, const GUID& id)
    {
        tree.items.push_back(ItemSpec{name, id, {}});
        tree.features.emplace_back();
    }

    void addElement(const std::string& name, const GUID& id, ElementFeature feature, ElementSpec spec)
    {
        spec.name = name;
        spec.id = id;
        tree.items.back().elements.push_back(std::move(spec));
        tree.features.back().push_back(std::move(feature));
    }

    ElementSpec specOf(const FoundFeature& feature, Kind kind)
    {
        ElementSpec spec;
        const char* name = feature.name.c_str();
        switch (kind) {
        case Kind::Integer: {
            const auto bounds = camera->integerBounds(name).value_or(Bounds<std::int64_t>{});
            const auto value = toInt32(camera->integer(name).value_or(bounds.min));
            spec.integerRange = IntegerRangeSpec{toInt32(bounds.min), toInt32(bounds.max), value, value};
            break;
        }
        case Kind::Float: {
            const auto bounds = camera->realBounds(name).value_or(Bounds<double>{});
            const double value = camera->real(name).value_or(bounds.min);
            spec.doubleRange = DoubleRangeSpec{bounds.min, bounds.max, value, value};
            break;
        }
        case Kind::Enumeration: {
            const auto current = camera->text(name).value_or("");
            const auto at = std::find(feature.entries.begin(), feature.entries.end(), current);
            const auto position = std::int32_t(at == feature.entries.end() ? 0 : at - feature.entries.begin());
            spec.stringList = StringListSpec{0, position, position, feature.entries};
            break;
        }
        case Kind::AutoSwitch: spec.switchState = SwitchSpec{std::int16_t(camera->text(name) == "Continuous" ? -1 : 0)}; break;
        case Kind::Boolean: spec.switchState = SwitchSpec{std::int16_t(camera->flag(name).value_or(false) ? -1 : 0)}; break;
        case Kind::Command: spec.button = ButtonSpec{}; break;
        default: break;
        }
        return spec;
    }

    static std::string describe(Kind kind)
    {
        switch (kind) {
        case Kind::Integer: return "integer range";
        case Kind::Float: return "double range";
        case Kind::Enumeration: return "string list";
        case Kind::AutoSwitch: return "switch (Continuous/Off)";
        case Kind::Boolean: return "switch";
        case Kind::Command: return "button";
        default: return "";
        }
    }

    void addFeature(const std::string& item, const std::string& element, const GUID& elementId,
                    const FoundFeature& feature, Kind kind)
    {
        addElement(element, elementId, ElementFeature{kind, feature.name, feature.entries}, specOf(feature, kind));
        tree.mapping.push_back(feature.name + ": item \"" + item + "\", element \"" + element + "\", " + describe(kind));
    }

    void addOffsets(Size sensor)
    {
        addItem("Partial Scan Offset", Vexlib::PartialScanOffsetItemId);
        const auto offset = [&](const char* feature, std::int32_t room, Kind kind, const GUID& id, const char* name) {
            const auto value = toInt32(camera->integer(feature).value_or(0));
            ElementSpec spec;
            spec.integerRange = IntegerRangeSpec{0, std::max(0, room), 0, value};
            addElement(name, id, ElementFeature{kind, feature, {}}, std::move(spec));
            tree.mapping.push_back(std::string(feature) + ": item \"Partial Scan Offset\", element \"" + name +
                                   "\", integer range (applied when the grabber goes live)");
        };
        offset("OffsetX", sensor.cx - 1, Kind::OffsetX, Vexlib::OffsetXElementId, "X Offset");
        offset("OffsetY", sensor.cy - 1, Kind::OffsetY, Vexlib::OffsetYElementId, "Y Offset");
        ElementSpec centre;
        centre.switchState = SwitchSpec{0};
        addElement("Auto-center", Vexlib::AutoCenterElementId, ElementFeature{Kind::AutoCenter, "", {}}, std::move(centre));
    }
};

const FoundFeature* findByName(const std::vector<FoundFeature>& features, const std::string& name)
{
    const auto found = std::find_if(features.begin(), features.end(), [&](const auto& f) { return f.name == name; });
    return found == features.end() ? nullptr : &*found;
}

// The names users expect for the usual value features.
std::string itemNameOf(const std::string& feature)
{
    for (const char* exposure : {"ExposureTime", "ExposureTimeAbs", "ExposureTimeRaw"})
        if (feature == exposure) return "Exposure";
    for (const char* gain : {"GainRaw", "GainAbs"})
        if (feature == gain) return "Gain";
    return feature;
}

} // namespace

FeatureTree buildFeatureTree(const std::shared_ptr<Camera>& camera, Size sensor, bool offsets)
{
    Builder builder{camera, {}};
    const auto features = camera->withCamera([](ArvCamera*, ArvGc* gc) { return walkFeatures(gc); });
    std::vector<std::string> paired;
    // Automatic modes first take their value feature into their item.
    std::map<std::string, std::string> valueOfAuto;
    for (const auto& feature : features) {
        const std::string_view name = feature.name;
        if (name.size() <= 4 || name.substr(name.size() - 4) != "Auto" || feature.kind != Kind::Enumeration) continue;
        const std::string base(name.substr(0, name.size() - 4));
        for (const auto suffix : kValueSuffixes)
            if (const auto* value = findByName(features, base + std::string(suffix));
                value && value->kind != Kind::Enumeration) {
                valueOfAuto[feature.name] = value->name;
                paired.push_back(value->name);
                break;
            }
    }
    for (const auto& feature : features) {
        if (std::find(paired.begin(), paired.end(), feature.name) != paired.end()) continue;
        const auto value = valueOfAuto.find(feature.name);
        const bool isAuto = value != valueOfAuto.end() || (isOnOffAuto(feature) && feature.name.size() > 4 &&
                                                           feature.name.ends_with("Auto"));
        if (!isAuto) {
            const std::string item = itemNameOf(feature.name);
            builder.addItem(item, guidFromName("genicam-item:" + item));
            builder.addFeature(item, "Value", Vexlib::ValueElementId, feature, feature.kind);
            continue;
        }
        const std::string base = itemNameOf(feature.name.substr(0, feature.name.size() - 4));
        builder.addItem(base, guidFromName("genicam-item:" + base));
        if (value != valueOfAuto.end())
            builder.addFeature(base, "Value", Vexlib::ValueElementId, *findByName(features, value->second),
                               findByName(features, value->second)->kind);
        builder.addFeature(base, "Auto", Vexlib::AutoElementId, feature,
                           isOnOffAuto(feature) ? Kind::AutoSwitch : Kind::Enumeration);
    }
    if (offsets) builder.addOffsets(sensor);
    return std::move(builder.tree);
}

FeatureBinding::FeatureBinding(std::shared_ptr<Camera> camera, std::vector<std::vector<ElementFeature>> features)
    : camera_(std::move(camera)), features_(std::move(features))
{
}

// Bounds may move with other features (the exposure range with the frame
// rate), so a read takes them from the camera too. A feature that cannot be
// read keeps what the element had.
void FeatureBinding::refresh(std::size_t item, std::size_t element, ElementSpec& spec)
{
    const ElementFeature& feature = features_.at(item).at(element);
    const char* name = feature.feature.c_str();
    switch (feature.kind) {
    case Kind::Integer:
        if (const auto bounds = camera_->integerBounds(name)) {
            spec.integerRange->min = toInt32(bounds->min);
            spec.integerRange->max = toInt32(bounds->max);
        }
        if (const auto value = camera_->integer(name)) spec.integerRange->value = toInt32(*value);
        break;
    case Kind::Float:
        if (const auto bounds = camera_->realBounds(name)) {
            spec.doubleRange->min = bounds->min;
            spec.doubleRange->max = bounds->max;
        }
        if (const auto value = camera_->real(name)) spec.doubleRange->value = *value;
        break;
    case Kind::Enumeration:
        if (const auto value = camera_->text(name)) {
            const auto& texts = spec.stringList->texts;
            const auto at = std::find(texts.begin(), texts.end(), *value);
            if (at != texts.end()) spec.stringList->value = std::int32_t(at - texts.begin());
        }
        break;
    case Kind::AutoSwitch:
        if (const auto value = camera_->text(name)) spec.switchState->state = *value == "Continuous" ? -1 : 0;
        break;
    case Kind::Boolean:
        if (const auto value = camera_->flag(name)) spec.switchState->state = *value ? -1 : 0;
        break;
    default: break; // commands, and the offsets, which the library applies when live
    }
}

HRESULT FeatureBinding::commit(std::size_t item, std::size_t element, ElementSpec& spec)
{
    const ElementFeature& feature = features_.at(item).at(element);
    const char* name = feature.feature.c_str();
    bool accepted = true;
    switch (feature.kind) {
    case Kind::Integer: {
        const auto bounds = camera_->integerBounds(name).value_or(Bounds<std::int64_t>{});
        const std::int64_t step = camera_->increment(name);
        std::int64_t value = spec.integerRange->value;
        value = bounds.min + (value - bounds.min + step / 2) / step * step; // the nearest value the camera takes
        accepted = camera_->setInteger(name, std::min(value, bounds.max));
        break;
    }
    case Kind::Float: accepted = camera_->setReal(name, spec.doubleRange->value); break;
    case Kind::Enumeration: {
        const auto& list = *spec.stringList;
        accepted = list.value >= 0 && std::size_t(list.value) < list.texts.size() &&
                   camera_->setText(name, list.texts[std::size_t(list.value)].c_str());
        break;
    }
    case Kind::AutoSwitch: accepted = camera_->setText(name, spec.switchState->state ? "Continuous" : "Off"); break;
    case Kind::Boolean: accepted = camera_->setFlag(name, spec.switchState->state != 0); break;
    case Kind::Command: accepted = camera_->execute(name); break;
    default: return S_OK; // offsets and auto-centre: kept, applied when live
    }
    if (!accepted) {
        std::fprintf(stderr, "vexlib: the camera refused %s: %s\n", name, camera_->lastError().c_str());
        return E_INVALIDARG;
    }
    refresh(item, element, spec);
    return S_OK;
}

} // namespace vexcam::genicam
