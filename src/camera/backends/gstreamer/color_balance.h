// The colour balance channels of a device's pipeline (the GstColorBalance
// interface: a V4L2 camera's brightness, gain, exposure and white balance
// controls, or a videobalance element's) as property items: each channel an
// item named after its label with a "Value" element, an integer range; a
// channel "<label>, Auto" or "<label>, Automatic" of range 0..1 becomes the
// "Auto" switch of item <label> when there is one. Reads and writes go to
// the element.
#pragma once

#include "gst_ref.h"
#include "property_store.h"

#include <gst/video/colorbalance.h>

#include <string>
#include <vector>

namespace vexcam::gst {

using ChannelRef = std::unique_ptr<GstColorBalanceChannel, FreeWith<g_object_unref>>;

struct BalanceElement {
    ChannelRef channel;
    bool isSwitch = false; // 0..1: off (0) or on (-1 in the switch)
};

class ColorBalanceBinding final : public ElementBinding {
public:
    ColorBalanceBinding(Ref<GstElement> element, std::vector<std::vector<BalanceElement>> channels);
    void refresh(std::size_t item, std::size_t element, ElementSpec& spec) override;
    HRESULT commit(std::size_t item, std::size_t element, ElementSpec& spec) override;

private:
    const Ref<GstElement> element_;
    const std::vector<std::vector<BalanceElement>> channels_; // by item, then element
};

struct BalanceTree {
    std::vector<ItemSpec> items;
    std::vector<std::vector<BalanceElement>> channels;
};

// The channels of `element`, leaving out those whose name (letters and
// digits, any case) an item of `taken` already has.
BalanceTree buildColorBalance(GstElement* element, const std::vector<ItemSpec>& taken);

// Items [0, split) go to `first`, the others (renumbered from 0) to `second`.
class SplitBinding final : public ElementBinding {
public:
    SplitBinding(std::shared_ptr<ElementBinding> first, std::size_t split, std::shared_ptr<ElementBinding> second);
    void refresh(std::size_t item, std::size_t element, ElementSpec& spec) override;
    HRESULT commit(std::size_t item, std::size_t element, ElementSpec& spec) override;

private:
    const std::shared_ptr<ElementBinding> first_;
    const std::size_t split_;
    const std::shared_ptr<ElementBinding> second_;
};

} // namespace vexcam::gst
