// Rig files: the property tree of a device and the faults to inject.
#include "rig_parser.h"

#include "platform/vexlib_properties.h"

namespace vexcam {
namespace {

struct NamedId {
    std::string_view name;
    GUID id;
};

const NamedId kItemIds[] = {
    {"PartialScanOffset", Vexlib::PartialScanOffsetItemId},
    {"Excluded", Vexlib::ExcludedItemId},
};

const NamedId kElementIds[] = {
    {"Value", Vexlib::ValueElementId},
    {"Auto", Vexlib::AutoElementId},
    {"SelfNamedA", Vexlib::SelfNamedElementIdA},
    {"SelfNamedB", Vexlib::SelfNamedElementIdB},
    {"SelfNamedC", Vexlib::SelfNamedElementIdC},
    {"AutoCenter", Vexlib::AutoCenterElementId},
    {"OffsetX", Vexlib::OffsetXElementId},
    {"OffsetY", Vexlib::OffsetYElementId},
};

// A registry-form identifier or one of the known names.
template <std::size_t N>
GUID parseId(const RigJsonNode& node, const NamedId (&known)[N])
{
    const std::string text = node.asString();
    for (const auto& named : known)
        if (named.name == text) return named.id;
    if (!text.empty() && text.front() == '{') return node.asGuid();
    std::string names;
    for (const auto& named : known) names += (names.empty() ? "\"" : ", \"") + std::string(named.name) + "\"";
    node.fail("expected an identifier like {2CED6FD6-AB4D-4C74-904C-D682E53B9CC5} or one of " + names);
}

template <class T>
void checkWithin(const RigJsonNode& node, T value, T min, T max, std::string_view what)
{
    if (value < min || value > max) node.fail(std::string(what) + " lies outside min..max");
}

// "min" and "max", "default" (the minimum when absent) and "value" (the
// default when absent), each read by `read` and checked against the range.
template <class Range, class Read>
Range parseRange(const RigJsonNode& node, Read read)
{
    RigJsonObject object(node);
    Range range;
    range.min = read(object.required("min"));
    range.max = read(object.required("max"));
    if (range.min > range.max) node.fail("min is larger than max");
    range.def = range.min;
    if (auto def = object.optional("default")) range.def = read(*def);
    range.value = range.def;
    if (auto value = object.optional("value")) range.value = read(*value);
    object.finish();
    checkWithin(node, range.def, range.min, range.max, "the default");
    checkWithin(node, range.value, range.min, range.max, "the value");
    return range;
}

IntegerRangeSpec parseIntegerRange(const RigJsonNode& node)
{
    return parseRange<IntegerRangeSpec>(node, [](const RigJsonNode& number) { return number.asInt32(); });
}

DoubleRangeSpec parseDoubleRange(const RigJsonNode& node)
{
    return parseRange<DoubleRangeSpec>(node, [](const RigJsonNode& number) { return number.asDouble(); });
}

// The text at position k belongs to the value min + k.
StringListSpec parseStringList(const RigJsonNode& node)
{
    RigJsonObject object(node);
    StringListSpec list;
    if (auto min = object.optional("min")) list.min = min->asInt32();
    list.texts = object.required("texts").asStrings();
    list.def = list.min;
    if (auto def = object.optional("default")) list.def = def->asInt32();
    list.value = list.def;
    if (auto value = object.optional("value")) list.value = value->asInt32();
    object.finish();
    if (list.texts.empty()) node.fail("a string list needs at least one text");
    const std::int32_t max = list.min + std::int32_t(list.texts.size()) - 1;
    checkWithin(node, list.def, list.min, max, "the default");
    checkWithin(node, list.value, list.min, max, "the value");
    return list;
}

SwitchSpec parseSwitch(const RigJsonNode& node)
{
    RigJsonObject object(node);
    SwitchSpec spec;
    if (auto state = object.optional("state"))
        spec.state = state->value().is_boolean() ? (state->asBool() ? VARIANT_TRUE : VARIANT_FALSE) : state->asInt16();
    object.finish();
    return spec;
}

ButtonSpec parseButton(const RigJsonNode& node)
{
    RigJsonObject object(node);
    ButtonSpec spec;
    if (auto pushes = object.optional("pushes")) spec.pushes = pushes->asInt32();
    object.finish();
    return spec;
}

PatternEffect parseEffect(const RigJsonNode& node)
{
    switch (node.asChoice({"none", "brightness", "gain"})) {
    case 1: return PatternEffect::Brightness;
    case 2: return PatternEffect::Gain;
    default: return PatternEffect::None;
    }
}

ElementSpec parseElement(const RigJsonNode& node, const std::string& itemName)
{
    RigJsonObject object(node);
    ElementSpec element;
    element.name = object.required("name").asString();
    const auto id = object.optional("id");
    element.id = id ? parseId(*id, kElementIds) : guidFromName("element:" + itemName + "/" + element.name);
    if (auto range = object.optional("range")) element.integerRange = parseIntegerRange(*range);
    if (auto range = object.optional("doubleRange")) element.doubleRange = parseDoubleRange(*range);
    if (auto list = object.optional("stringList")) element.stringList = parseStringList(*list);
    if (auto state = object.optional("switch")) element.switchState = parseSwitch(*state);
    if (auto button = object.optional("button")) element.button = parseButton(*button);
    if (auto effect = object.optional("effect")) {
        element.effect = parseEffect(*effect);
        if (element.effect != PatternEffect::None && !element.integerRange && !element.doubleRange)
            effect->fail("an effect needs a \"range\" or \"doubleRange\"");
    }
    object.finish();
    return element;
}

ItemSpec parseItem(const RigJsonNode& node)
{
    RigJsonObject object(node);
    ItemSpec item;
    item.name = object.required("name").asString();
    const auto id = object.optional("id");
    item.id = id ? parseId(*id, kItemIds) : guidFromName("item:" + item.name);
    if (auto elements = object.optional("elements"))
        item.elements = elements->asArrayOf([&](const RigJsonNode& element) { return parseElement(element, item.name); });
    object.finish();
    return item;
}

PropertyObject parsePropertyObject(const RigJsonNode& node)
{
    static constexpr PropertyObject kObjects[] = {
        PropertyObject::Items,        PropertyObject::Item,        PropertyObject::Elements,
        PropertyObject::Element,      PropertyObject::IntegerRange, PropertyObject::DoubleRange,
        PropertyObject::StringList,   PropertyObject::Switch,      PropertyObject::Button,
        PropertyObject::Texts,
    };
    return kObjects[node.asChoice({"items", "item", "elements", "element", "integerRange", "doubleRange",
                                   "stringList", "switch", "button", "texts"})];
}

PropertyFault parsePropertyFault(const RigJsonNode& node)
{
    RigJsonObject object(node);
    PropertyFault fault;
    fault.object = parsePropertyObject(object.required("object"));
    if (auto item = object.optional("item")) fault.item = item->asString();
    if (auto element = object.optional("element")) fault.element = element->asString();
    fault.slot = object.required("slot").asInt32();
    if (auto status = object.optional("status")) fault.status = status->asStatus();
    if (auto missing = object.optional("missingObject")) fault.missingObject = missing->asBool();
    object.finish();
    if (fault.object != PropertyObject::Items && fault.item.empty()) node.fail("the fault needs the \"item\" it is in");
    const bool belowItem = fault.object != PropertyObject::Items && fault.object != PropertyObject::Item &&
                           fault.object != PropertyObject::Elements;
    if (belowItem && !object.has("element")) node.fail("the fault needs the \"element\" it is in");
    return fault;
}

ListKind parseListKind(const RigJsonNode& node, std::string_view key)
{
    static constexpr ListKind kKinds[] = {ListKind::Norms,      ListKind::Formats,  ListKind::Descriptions,
                                          ListKind::Fps,        ListKind::FrameRates, ListKind::Channels,
                                          ListKind::Properties};
    static const std::vector<std::string_view> kNames{"norms", "formats",  "descriptions", "fps",
                                                      "frameRates", "channels", "properties"};
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (kNames[i] == key) return kKinds[i];
    node.child(key).fail("unknown list \"" + std::string(key) +
                         "\"; the lists are norms, formats, descriptions, fps, frameRates, channels, properties");
}

} // namespace

std::vector<ItemSpec> parseProperties(const RigJsonNode& node)
{
    return node.asArrayOf(parseItem);
}

DeviceFaults parseDeviceFaults(const RigJsonNode& node)
{
    RigJsonObject object(node);
    DeviceFaults faults;
    if (auto refuse = object.optional("refuseNorm")) faults.refuseNorm = refuse->asBool();
    if (auto refuse = object.optional("refuseFormat")) faults.refuseFormat = refuse->asBool();
    if (auto refuse = object.optional("refuseLive")) faults.refuseLive = refuse->asBool();
    if (auto status = object.optional("liveThrows")) faults.liveThrows = status->asStatus();
    if (auto lost = object.optional("lostAfterFrames")) {
        faults.lostAfterFrames = lost->asInt64();
        if (*faults.lostAfterFrames < 0) lost->fail("expected a number of frames, 0 or more");
    }
    if (auto lists = object.optional("lists")) {
        RigJsonObject kinds(*lists);
        for (const auto& [key, value] : lists->value().items())
            faults.lists[parseListKind(*lists, key)] = kinds.required(key).asListFault();
    }
    if (auto missing = object.optional("missingDescriptions")) {
        for (const auto& position : missing->asArray()) {
            const std::int64_t index = position.asInt64();
            if (index < 0) position.fail("expected a position, 0 or more");
            faults.missingDescriptions.push_back(std::size_t(index));
        }
    }
    if (auto properties = object.optional("properties"))
        faults.properties = properties->asArrayOf(parsePropertyFault);
    object.finish();
    return faults;
}

} // namespace vexcam
