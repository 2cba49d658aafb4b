#include "property_store.h"

#include "property_items_collection.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vexcam {
namespace {

const ItemSpec* findItemSpec(const std::vector<ItemSpec>& items, const GUID& itemId)
{
    const auto found = std::find_if(items.begin(), items.end(), [&](const ItemSpec& item) { return item.id == itemId; });
    return found == items.end() ? nullptr : &*found;
}

const ElementSpec* findIn(const ItemSpec& item, const GUID& elementId)
{
    const auto found = std::find_if(item.elements.begin(), item.elements.end(),
                                    [&](const ElementSpec& element) { return element.id == elementId; });
    return found == item.elements.end() ? nullptr : &*found;
}

bool belowItems(PropertyObject object) { return object != PropertyObject::Items; }

bool belowItem(PropertyObject object)
{
    return object != PropertyObject::Items && object != PropertyObject::Item && object != PropertyObject::Elements;
}

const ElementSpec* firstWithEffect(const std::vector<ItemSpec>& items, PatternEffect effect)
{
    for (const ItemSpec& item : items)
        for (const ElementSpec& element : item.elements)
            if (element.effect == effect && (element.integerRange || element.doubleRange)) return &element;
    return nullptr;
}

// Value, default and span of the element's range, the integer range first.
struct RangeReading {
    double value;
    double def;
    double span;
};

RangeReading readRange(const ElementSpec& element)
{
    if (element.integerRange) {
        const auto& r = *element.integerRange;
        return {double(r.value), double(r.def), double(r.max) - double(r.min)};
    }
    const auto& r = *element.doubleRange;
    return {r.value, r.def, r.max - r.min};
}

} // namespace

PropertyStore::PropertyStore(std::vector<ItemSpec> items, std::vector<PropertyFault> faults, ListFault itemsFault)
    : items_(std::move(items)), faults_(std::move(faults)), itemsFault_(itemsFault)
{
}

Vexlib::IVCDPropertyItems* PropertyStore::createItemsCollection()
{
    ListFault itemsFault;
    {
        std::lock_guard lock(mutex_);
        itemsFault = itemsFault_;
    }
    if (itemsFault == ListFault::Missing) return nullptr;
    return createPropertyItemsCollection(shared_from_this(), itemsFault == ListFault::Empty);
}

std::optional<Size> PropertyStore::partialScanOffset() const
{
    const ItemSpec* item = findItemSpec(items_, Vexlib::PartialScanOffsetItemId);
    if (!item) return std::nullopt;
    std::lock_guard lock(mutex_);
    const auto offset = [&](const GUID& elementId) {
        const ElementSpec* element = findIn(*item, elementId);
        return element && element->integerRange ? element->integerRange->value : 0;
    };
    return Size{offset(Vexlib::OffsetXElementId), offset(Vexlib::OffsetYElementId)};
}

bool PropertyStore::autoCenter() const
{
    const ItemSpec* item = findItemSpec(items_, Vexlib::PartialScanOffsetItemId);
    const ElementSpec* element = item ? findIn(*item, Vexlib::AutoCenterElementId) : nullptr;
    if (!element || !element->switchState) return false;
    std::lock_guard lock(mutex_);
    return element->switchState->state != 0;
}

PropertyStore::PatternAdjust PropertyStore::patternAdjust() const
{
    PatternAdjust adjust;
    const ElementSpec* brightness = firstWithEffect(items_, PatternEffect::Brightness);
    const ElementSpec* gain = firstWithEffect(items_, PatternEffect::Gain);
    std::lock_guard lock(mutex_);
    if (brightness) {
        const RangeReading r = readRange(*brightness);
        const double shift = r.value - r.def;
        if (std::isfinite(shift)) adjust.brightness = static_cast<std::int32_t>(std::lround(std::clamp(shift, -65535.0, 65535.0)));
    }
    if (gain) {
        const RangeReading r = readRange(*gain);
        if (r.span > 0 && std::isfinite(r.value - r.def)) adjust.gain = std::max(0.0, 1.0 + (r.value - r.def) / r.span);
    }
    return adjust;
}

void PropertyStore::setFaults(std::vector<PropertyFault> faults)
{
    std::lock_guard lock(mutex_);
    faults_ = std::move(faults);
}

void PropertyStore::setItemsFault(ListFault itemsFault)
{
    std::lock_guard lock(mutex_);
    itemsFault_ = itemsFault;
}

std::optional<ElementSpec> PropertyStore::element(const GUID& itemId, const GUID& elementId) const
{
    const ElementSpec* element = findElementSpec(itemId, elementId);
    if (!element) return std::nullopt;
    std::lock_guard lock(mutex_);
    return *element;
}

std::optional<std::int32_t> PropertyStore::integerValue(const GUID& itemId, const GUID& elementId) const
{
    const ElementSpec* element = findElementSpec(itemId, elementId);
    if (!element || !element->integerRange) return std::nullopt;
    std::lock_guard lock(mutex_);
    return element->integerRange->value;
}

bool PropertyStore::setIntegerValue(const GUID& itemId, const GUID& elementId, std::int32_t value)
{
    ElementSpec* element = findElementSpec(itemId, elementId);
    if (!element || !element->integerRange) return false;
    std::lock_guard lock(mutex_);
    IntegerRangeSpec& range = *element->integerRange;
    if (value < range.min || value > range.max) return false;
    range.value = value;
    notifyWrite();
    return true;
}

WriteObservation PropertyStore::observeWrites(std::function<void()> observer)
{
    std::lock_guard lock(mutex_);
    const std::uint64_t id = nextObservation_++;
    observers_.emplace_back(id, std::move(observer));
    return WriteObservation(shared_from_this(), id);
}

void PropertyStore::forget(std::uint64_t observation)
{
    std::lock_guard lock(mutex_);
    std::erase_if(observers_, [&](const auto& entry) { return entry.first == observation; });
}

void PropertyStore::notifyWrite() const
{
    for (const auto& entry : observers_) entry.second();
}

WriteObservation::WriteObservation(WriteObservation&& other) noexcept
    : store_(std::move(other.store_)), id_(std::exchange(other.id_, 0))
{
}

WriteObservation& WriteObservation::operator=(WriteObservation&& other) noexcept
{
    if (this != &other) {
        WriteObservation old(std::move(*this));
        store_ = std::move(other.store_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

WriteObservation::~WriteObservation()
{
    if (store_) store_->forget(id_);
}

const std::string& PropertyStore::elementName(std::size_t item, std::size_t element) const
{
    return items_.at(item).elements.at(element).name;
}

const GUID& PropertyStore::elementId(std::size_t item, std::size_t element) const
{
    return items_.at(item).elements.at(element).id;
}

std::optional<std::size_t> PropertyStore::findItem(const GUID& itemId) const
{
    const ItemSpec* item = findItemSpec(items_, itemId);
    if (!item) return std::nullopt;
    return static_cast<std::size_t>(item - items_.data());
}

std::optional<std::size_t> PropertyStore::findElement(std::size_t item, const GUID& elementId) const
{
    const ItemSpec& entry = items_.at(item);
    const ElementSpec* element = findIn(entry, elementId);
    if (!element) return std::nullopt;
    return static_cast<std::size_t>(element - entry.elements.data());
}

bool PropertyStore::offers(std::size_t item, std::size_t element, PropertyObject kind) const
{
    // Which interfaces an element offers is part of the tree's fixed shape.
    const ElementSpec& entry = items_.at(item).elements.at(element);
    switch (kind) {
    case PropertyObject::IntegerRange: return entry.integerRange.has_value();
    case PropertyObject::DoubleRange: return entry.doubleRange.has_value();
    case PropertyObject::StringList: return entry.stringList.has_value();
    case PropertyObject::Switch: return entry.switchState.has_value();
    case PropertyObject::Button: return entry.button.has_value();
    default: return false;
    }
}

com::SlotFault PropertyStore::slotFault(const PropertyNode& node, int slot) const
{
    std::lock_guard lock(mutex_);
    for (const PropertyFault& fault : faults_)
        if (matches(fault, node, slot)) return {fault.status, fault.missingObject};
    return {};
}

bool PropertyStore::matches(const PropertyFault& fault, const PropertyNode& node, int slot) const
{
    if (fault.object != node.object || fault.slot != slot) return false;
    if (belowItems(node.object) && fault.item != itemName(node.item)) return false;
    if (belowItem(node.object) && fault.element != elementName(node.item, node.element)) return false;
    return true;
}

const ElementSpec* PropertyStore::findElementSpec(const GUID& itemId, const GUID& elementId) const
{
    const ItemSpec* item = findItemSpec(items_, itemId);
    return item ? findIn(*item, elementId) : nullptr;
}

ElementSpec* PropertyStore::findElementSpec(const GUID& itemId, const GUID& elementId)
{
    return const_cast<ElementSpec*>(std::as_const(*this).findElementSpec(itemId, elementId));
}

} // namespace vexcam
