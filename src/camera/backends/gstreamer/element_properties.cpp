#include "element_properties.h"

#include "rig_json_node.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>

namespace vexcam::gst {
namespace {

using Kind = ElementProperty::Kind;

// Base-source machinery rather than camera settings.
constexpr std::array<std::string_view, 7> kLeftOut{"name",        "blocksize",     "num-buffers", "typefind",
                                                   "do-timestamp", "automatic-eos", "parent"};

// A GValue that is unset when it goes out of scope.
class Value {
public:
    explicit Value(GType type) { g_value_init(&value_, type); }
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;
    ~Value() { g_value_unset(&value_); }
    GValue* get() { return &value_; }

private:
    GValue value_ = G_VALUE_INIT;
};

struct Bounds {
    double min = 0, max = 0, def = 0;
};

std::optional<Bounds> numericBounds(GParamSpec* spec)
{
    const GType type = G_PARAM_SPEC_VALUE_TYPE(spec);
    if (type == G_TYPE_INT) {
        auto* s = G_PARAM_SPEC_INT(spec);
        return Bounds{double(s->minimum), double(s->maximum), double(s->default_value)};
    }
    if (type == G_TYPE_UINT) {
        auto* s = G_PARAM_SPEC_UINT(spec);
        return Bounds{double(s->minimum), double(s->maximum), double(s->default_value)};
    }
    if (type == G_TYPE_LONG) {
        auto* s = G_PARAM_SPEC_LONG(spec);
        return Bounds{double(s->minimum), double(s->maximum), double(s->default_value)};
    }
    if (type == G_TYPE_ULONG) {
        auto* s = G_PARAM_SPEC_ULONG(spec);
        return Bounds{double(s->minimum), double(s->maximum), double(s->default_value)};
    }
    if (type == G_TYPE_INT64) {
        auto* s = G_PARAM_SPEC_INT64(spec);
        return Bounds{double(s->minimum), double(s->maximum), double(s->default_value)};
    }
    if (type == G_TYPE_UINT64) {
        auto* s = G_PARAM_SPEC_UINT64(spec);
        return Bounds{double(s->minimum), double(s->maximum), double(s->default_value)};
    }
    if (type == G_TYPE_DOUBLE) {
        auto* s = G_PARAM_SPEC_DOUBLE(spec);
        return Bounds{s->minimum, s->maximum, s->default_value};
    }
    if (type == G_TYPE_FLOAT) {
        auto* s = G_PARAM_SPEC_FLOAT(spec);
        return Bounds{double(s->minimum), double(s->maximum), double(s->default_value)};
    }
    return std::nullopt;
}

bool isIntegral(GType type) { return type != G_TYPE_DOUBLE && type != G_TYPE_FLOAT; }

double numberOf(GValue* value)
{
    const GType type = G_VALUE_TYPE(value);
    if (type == G_TYPE_INT) return g_value_get_int(value);
    if (type == G_TYPE_UINT) return g_value_get_uint(value);
    if (type == G_TYPE_LONG) return double(g_value_get_long(value));
    if (type == G_TYPE_ULONG) return double(g_value_get_ulong(value));
    if (type == G_TYPE_INT64) return double(g_value_get_int64(value));
    if (type == G_TYPE_UINT64) return double(g_value_get_uint64(value));
    if (type == G_TYPE_DOUBLE) return g_value_get_double(value);
    if (type == G_TYPE_FLOAT) return g_value_get_float(value);
    return 0.0;
}

void setNumber(GValue* value, double number)
{
    const GType type = G_VALUE_TYPE(value);
    if (isIntegral(type)) number = std::round(number);
    if (type == G_TYPE_INT) g_value_set_int(value, gint(number));
    else if (type == G_TYPE_UINT) g_value_set_uint(value, guint(number));
    else if (type == G_TYPE_LONG) g_value_set_long(value, glong(number));
    else if (type == G_TYPE_ULONG) g_value_set_ulong(value, gulong(number));
    else if (type == G_TYPE_INT64) g_value_set_int64(value, gint64(number));
    else if (type == G_TYPE_UINT64) g_value_set_uint64(value, guint64(number));
    else if (type == G_TYPE_DOUBLE) g_value_set_double(value, number);
    else if (type == G_TYPE_FLOAT) g_value_set_float(value, float(number));
}

bool fitsInt32(const Bounds& bounds)
{
    return bounds.min >= std::numeric_limits<std::int32_t>::min() && bounds.max <= std::numeric_limits<std::int32_t>::max();
}

bool settable(GParamSpec* spec)
{
    constexpr auto kReadWrite = GParamFlags(G_PARAM_READABLE | G_PARAM_WRITABLE);
    if ((spec->flags & kReadWrite) != kReadWrite) return false;
    if (spec->flags & (G_PARAM_CONSTRUCT_ONLY | G_PARAM_DEPRECATED)) return false;
    return std::find(kLeftOut.begin(), kLeftOut.end(), std::string_view(spec->name)) == kLeftOut.end();
}

// The item of one property, with its current value; none for a type the
// tree does not offer.
std::optional<std::pair<ElementProperty, ElementSpec>> describe(GstElement* element, GParamSpec* spec)
{
    const GType type = G_PARAM_SPEC_VALUE_TYPE(spec);
    ElementProperty property{Kind::Integer, spec->name, type, {}};
    ElementSpec value;
    value.name = "Value";
    value.id = Vexlib::ValueElementId;
    Value current(type);
    g_object_get_property(G_OBJECT(element), spec->name, current.get());
    if (type == G_TYPE_BOOLEAN) {
        property.kind = Kind::Boolean;
        value.switchState = SwitchSpec{std::int16_t(g_value_get_boolean(current.get()) ? -1 : 0)};
    } else if (G_TYPE_IS_ENUM(type)) {
        property.kind = Kind::Enumeration;
        auto* enumClass = G_PARAM_SPEC_ENUM(spec)->enum_class;
        StringListSpec list;
        for (guint i = 0; i < enumClass->n_values; ++i) {
            property.enumValues.push_back(enumClass->values[i].value);
            list.texts.emplace_back(enumClass->values[i].value_nick);
            if (enumClass->values[i].value == G_PARAM_SPEC_ENUM(spec)->default_value) list.def = std::int32_t(i);
            if (enumClass->values[i].value == g_value_get_enum(current.get())) list.value = std::int32_t(i);
        }
        value.stringList = std::move(list);
    } else if (const auto bounds = numericBounds(spec)) {
        const double now = numberOf(current.get());
        // Integers beyond 32 bits (a 32-bit colour, a 64-bit offset) are offered as doubles.
        if (isIntegral(type) && fitsInt32(*bounds)) {
            value.integerRange = IntegerRangeSpec{std::int32_t(bounds->min), std::int32_t(bounds->max),
                                                  std::int32_t(bounds->def), std::int32_t(now)};
        } else {
            property.kind = Kind::Double;
            value.doubleRange = DoubleRangeSpec{bounds->min, bounds->max, bounds->def, now};
        }
    } else {
        return std::nullopt;
    }
    return std::pair{std::move(property), std::move(value)};
}

} // namespace

PropertyTree buildPropertyTree(GstElement* element)
{
    PropertyTree tree;
    guint count = 0;
    GParamSpec** specs = g_object_class_list_properties(G_OBJECT_GET_CLASS(element), &count);
    for (guint i = 0; i < count; ++i) {
        if (!settable(specs[i])) continue;
        auto described = describe(element, specs[i]);
        if (!described) continue;
        const std::string name = specs[i]->name;
        tree.items.push_back(ItemSpec{name, guidFromName("gstreamer-item:" + name), {std::move(described->second)}});
        tree.properties.push_back(std::move(described->first));
    }
    g_free(specs);
    return tree;
}

PropertyBinding::PropertyBinding(Ref<GstElement> element, std::vector<ElementProperty> properties)
    : element_(std::move(element)), properties_(std::move(properties))
{
}

void PropertyBinding::refresh(std::size_t item, std::size_t, ElementSpec& spec)
{
    const ElementProperty& property = properties_.at(item);
    Value current(property.type);
    g_object_get_property(G_OBJECT(element_.get()), property.name.c_str(), current.get());
    switch (property.kind) {
    case Kind::Integer: spec.integerRange->value = std::int32_t(numberOf(current.get())); break;
    case Kind::Double: spec.doubleRange->value = numberOf(current.get()); break;
    case Kind::Boolean: spec.switchState->state = g_value_get_boolean(current.get()) ? -1 : 0; break;
    case Kind::Enumeration: {
        const auto& values = property.enumValues;
        const auto at = std::find(values.begin(), values.end(), g_value_get_enum(current.get()));
        if (at != values.end()) spec.stringList->value = std::int32_t(at - values.begin());
        break;
    }
    }
}

HRESULT PropertyBinding::commit(std::size_t item, std::size_t element, ElementSpec& spec)
{
    const ElementProperty& property = properties_.at(item);
    Value written(property.type);
    switch (property.kind) {
    case Kind::Integer: setNumber(written.get(), spec.integerRange->value); break;
    case Kind::Double: {
        const auto& range = *spec.doubleRange;
        if (!(range.value >= range.min && range.value <= range.max)) return E_INVALIDARG;
        setNumber(written.get(), range.value);
        break;
    }
    case Kind::Boolean: g_value_set_boolean(written.get(), spec.switchState->state != 0); break;
    case Kind::Enumeration: {
        const auto position = spec.stringList->value;
        if (position < 0 || std::size_t(position) >= property.enumValues.size()) return E_INVALIDARG;
        g_value_set_enum(written.get(), property.enumValues[std::size_t(position)]);
        break;
    }
    }
    g_object_set_property(G_OBJECT(element_.get()), property.name.c_str(), written.get());
    refresh(item, element, spec);
    return S_OK;
}

} // namespace vexcam::gst
