#include "properties/property_publication.h"

#include "properties/property_model.h"

#include <cstdint>

namespace orx {

namespace {

constexpr const char* kWritableAlways = "never";

struct EnumValue {
    const char* text;
    std::int32_t id;
};

void debugLine(const std::string& text)
{
    OutputDebugStringA((text + "\n").c_str());
}

bool isSelfNamed(const GUID& id)
{
    return id == Vexlib::SelfNamedElementIdA || id == Vexlib::SelfNamedElementIdB ||
           id == Vexlib::SelfNamedElementIdC;
}

bool isNeverPublished(const GUID& itemIdentifier)
{
    return itemIdentifier == Vexlib::ExcludedItemId ||
           itemIdentifier == Vexlib::PartialScanOffsetItemId;
}

std::string elementPartOf(Vexlib::PropertyElement& element)
{
    return replaceAll(elementName(element), " ", "");
}

void makeWritableAndPublish(imaqkit::IPropFactory& factory, imaqkit::PropertyHandle property)
{
    factory.setReadOnlyMode(property, kWritableAlways);
    factory.publishProperty(property);
}

bool publishTwoValueEnum(const std::string& name, EnumValue first, EnumValue second,
                         imaqkit::IPropFactory& factory)
{
    const auto property = factory.newEnumProperty(name.c_str(), first.text, first.id);
    if (!property) return false;
    factory.appendEnumValue(property, second.text, second.id);
    makeWritableAndPublish(factory, property);
    return true;
}

// Integer and double ranges alike: published only when maximum > minimum (an
// unordered pair of doubles fails too); the bounds are read again, after the
// default, for the property itself.
template <class Interface, class Value, class Create>
bool publishAsRange(Vexlib::PropertyElement& element, imaqkit::IPropFactory& factory, Create create)
{
    ComPtr<Interface> range;
    lookUpInterface(element, range);
    if (!range) return false;
    Value minimum{};
    Value maximum{};
    checkStatus(range->get_RangeMin(&minimum));
    checkStatus(range->get_RangeMax(&maximum));
    if (!(maximum > minimum)) return false;
    Value defaultValue{};
    checkStatus(range->get_Default(&defaultValue));
    checkStatus(range->get_RangeMax(&maximum));
    checkStatus(range->get_RangeMin(&minimum));
    const auto property = create(minimum, maximum, defaultValue);
    if (!property) return false;
    makeWritableAndPublish(factory, property);
    return true;
}

void publishElement(const std::string& itemPart, Vexlib::PropertyElement& element,
                    imaqkit::IPropFactory& factory)
{
    const std::string name = publishedPropertyName(itemPart, element);
    publishAsIntegerRange(name, element, factory);
    publishAsButton(name, element, factory);
    publishAsSwitch(name, element, factory);
    publishAsStringList(name, element, factory);
    publishAsDoubleRange(name, element, factory);
}

} // namespace

void publishCameraProperties(Vexlib::Grabber& grabber, imaqkit::IPropFactory& factory)
{
    const auto items = grabber.getAvailableVCDProperties();
    if (!items) return;
    for (const auto& item : listItems(items.get())) {
        const std::string itemPart = itemPartOf(*item.get());
        debugLine("Property : " + itemPart);
        if (isNeverPublished(itemId(*item.get()))) {
            OutputDebugStringA("Skip!\n");
            continue;
        }
        for (const auto& element : listElements(*item.get()))
            publishElement(itemPart, *element.get(), factory);
    }
}

std::string itemPartOf(Vexlib::PropertyItem& item)
{
    return replaceAll(itemName(item), " ", "");
}

std::string publishedPropertyName(const std::string& itemPart, Vexlib::PropertyElement& element)
{
    const GUID id = elementId(element);
    std::string name;
    if (id == Vexlib::AutoElementId)
        name = itemPart + "Auto";
    else if (isSelfNamed(id))
        name = elementPartOf(element);
    else if (id == Vexlib::ValueElementId)
        name = itemPart;
    else
        name = itemPart + elementPartOf(element);
    name = replaceAll(std::move(name), "-", "");
    debugLine(name);
    return name;
}

bool publishAsIntegerRange(const std::string& name, Vexlib::PropertyElement& element,
                           imaqkit::IPropFactory& factory)
{
    return publishAsRange<Vexlib::IntegerRangeInterface, LONG>(
        element, factory, [&](LONG minimum, LONG maximum, LONG defaultValue) {
            return factory.newIntRangeProperty(name.c_str(), minimum, maximum, defaultValue, 1);
        });
}

bool publishAsDoubleRange(const std::string& name, Vexlib::PropertyElement& element,
                          imaqkit::IPropFactory& factory)
{
    return publishAsRange<Vexlib::DoubleRangeInterface, double>(
        element, factory, [&](double minimum, double maximum, double defaultValue) {
            return factory.newDoubleRangeProperty(name.c_str(), minimum, maximum, defaultValue);
        });
}

bool publishAsButton(const std::string& name, Vexlib::PropertyElement& element,
                     imaqkit::IPropFactory& factory)
{
    ComPtr<Vexlib::ButtonInterface> button;
    lookUpInterface(element, button);
    if (!button) return false;
    return publishTwoValueEnum(name, {"Ready", 0}, {"Push", 1}, factory);
}

bool publishAsSwitch(const std::string& name, Vexlib::PropertyElement& element,
                     imaqkit::IPropFactory& factory)
{
    ComPtr<Vexlib::SwitchInterface> switchInterface;
    lookUpInterface(element, switchInterface);
    if (!switchInterface) return false;
    const std::string ownName = elementName(element);
    if (ownName == "Auto") return publishTwoValueEnum(name, {"On", 1}, {"Off", 0}, factory);
    if (ownName == "Polarity") return publishTwoValueEnum(name, {"High", 1}, {"Low", 0}, factory);
    return publishTwoValueEnum(name, {"Disable", 0}, {"Enable", 1}, factory);
}

bool publishAsStringList(const std::string& name, Vexlib::PropertyElement& element,
                         imaqkit::IPropFactory& factory)
{
    ComPtr<Vexlib::StringListInterface> list;
    lookUpInterface(element, list);
    if (!list) return false;
    const TextList texts = listTexts(*list.get());
    LONG defaultValue = 0;
    LONG minimum = 0;
    checkStatus(list->get_Default(&defaultValue));
    checkStatus(list->get_RangeMin(&minimum));
    // A default outside the texts has no text to start with: the property is left out.
    const std::int64_t start = std::int64_t{defaultValue} - minimum;
    if (start < 0 || start >= static_cast<std::int64_t>(texts.size())) return false;
    const auto startPosition = static_cast<std::size_t>(start);
    const auto property = factory.newEnumProperty(name.c_str(), texts[startPosition].c_str(),
                                                  static_cast<std::int32_t>(start));
    if (!property) return false;
    // The start text is given once more here, with the same identifier.
    for (std::size_t position = 0; position < texts.size(); ++position)
        factory.appendEnumValue(property, texts[position].c_str(), static_cast<std::int32_t>(position));
    makeWritableAndPublish(factory, property);
    return true;
}

} // namespace orx
