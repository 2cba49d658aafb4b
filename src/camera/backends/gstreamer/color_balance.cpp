#include "color_balance.h"

#include "rig_json_node.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace vexcam::gst {
namespace {

// "White Balance, Auto" and "foreground-color" as the host compares names.
std::string plainName(std::string_view name)
{
    std::string plain;
    for (const char c : name)
        if (std::isalnum(static_cast<unsigned char>(c))) plain += char(std::tolower(static_cast<unsigned char>(c)));
    return plain;
}

// "Gain, Automatic" -> "Gain"; empty when the label names no automatic mode.
std::string baseOfAuto(std::string_view label)
{
    for (const std::string_view suffix : {", Automatic", ", Auto", " Auto"})
        if (label.size() > suffix.size() && label.ends_with(suffix)) return std::string(label.substr(0, label.size() - suffix.size()));
    return {};
}

ElementSpec elementOf(GstColorBalance* balance, GstColorBalanceChannel* channel, bool isSwitch, const char* name,
                      const GUID& id)
{
    ElementSpec spec;
    spec.name = name;
    spec.id = id;
    const gint value = gst_color_balance_get_value(balance, channel);
    if (isSwitch)
        spec.switchState = SwitchSpec{std::int16_t(value ? -1 : 0)};
    else
        spec.integerRange = IntegerRangeSpec{channel->min_value, channel->max_value, value, value};
    return spec;
}

} // namespace

BalanceTree buildColorBalance(GstElement* element, const std::vector<ItemSpec>& taken)
{
    BalanceTree tree;
    auto* balance = GST_COLOR_BALANCE(element);
    std::vector<GstColorBalanceChannel*> channels;
    for (const GList* entry = gst_color_balance_list_channels(balance); entry; entry = entry->next)
        channels.push_back(GST_COLOR_BALANCE_CHANNEL(entry->data));
    const auto isTaken = [&](const std::string& label) {
        return std::any_of(taken.begin(), taken.end(), [&](const ItemSpec& item) { return plainName(item.name) == plainName(label); });
    };
    std::map<std::string, std::size_t> itemOf; // label -> item
    const auto share = [](GstColorBalanceChannel* channel) { return ChannelRef(GST_COLOR_BALANCE_CHANNEL(g_object_ref(channel))); };
    for (auto* channel : channels) {
        const std::string label = channel->label ? channel->label : "";
        if (label.empty() || !baseOfAuto(label).empty() || isTaken(label)) continue;
        itemOf[label] = tree.items.size();
        tree.items.push_back(ItemSpec{label, guidFromName("gstreamer-balance:" + label),
                                      {elementOf(balance, channel, false, "Value", Vexlib::ValueElementId)}});
        tree.channels.emplace_back();
        tree.channels.back().push_back(BalanceElement{share(channel), false});
    }
    for (auto* channel : channels) {
        const std::string label = channel->label ? channel->label : "";
        const std::string base = baseOfAuto(label);
        if (base.empty() || isTaken(label)) continue;
        const bool isSwitch = channel->min_value == 0 && channel->max_value == 1;
        const auto owner = itemOf.find(base);
        if (owner != itemOf.end() && isSwitch) {
            tree.items[owner->second].elements.push_back(elementOf(balance, channel, true, "Auto", Vexlib::AutoElementId));
            tree.channels[owner->second].push_back(BalanceElement{share(channel), true});
            continue;
        }
        tree.items.push_back(ItemSpec{label, guidFromName("gstreamer-balance:" + label),
                                      {elementOf(balance, channel, isSwitch, "Value", Vexlib::ValueElementId)}});
        tree.channels.emplace_back();
        tree.channels.back().push_back(BalanceElement{share(channel), isSwitch});
    }
    return tree;
}

ColorBalanceBinding::ColorBalanceBinding(Ref<GstElement> element, std::vector<std::vector<BalanceElement>> channels)
    : element_(std::move(element)), channels_(std::move(channels))
{
}

void ColorBalanceBinding::refresh(std::size_t item, std::size_t element, ElementSpec& spec)
{
    const BalanceElement& entry = channels_.at(item).at(element);
    const gint value = gst_color_balance_get_value(GST_COLOR_BALANCE(element_.get()), entry.channel.get());
    if (entry.isSwitch)
        spec.switchState->state = value ? -1 : 0;
    else
        spec.integerRange->value = value;
}

HRESULT ColorBalanceBinding::commit(std::size_t item, std::size_t element, ElementSpec& spec)
{
    const BalanceElement& entry = channels_.at(item).at(element);
    const gint value = entry.isSwitch ? (spec.switchState->state ? 1 : 0) : spec.integerRange->value;
    gst_color_balance_set_value(GST_COLOR_BALANCE(element_.get()), entry.channel.get(), value);
    refresh(item, element, spec);
    return S_OK;
}

SplitBinding::SplitBinding(std::shared_ptr<ElementBinding> first, std::size_t split, std::shared_ptr<ElementBinding> second)
    : first_(std::move(first)), split_(split), second_(std::move(second))
{
}

void SplitBinding::refresh(std::size_t item, std::size_t element, ElementSpec& spec)
{
    if (item < split_) first_->refresh(item, element, spec);
    else second_->refresh(item - split_, element, spec);
}

HRESULT SplitBinding::commit(std::size_t item, std::size_t element, ElementSpec& spec)
{
    return item < split_ ? first_->commit(item, element, spec) : second_->commit(item - split_, element, spec);
}

} // namespace vexcam::gst
