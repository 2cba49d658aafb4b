#include "properties/property_model.h"

#include "common/bstr.h"
#include "common/guid_text.h"
#include "common/to_utf8.h"

#include <cstdint>

namespace orx {

namespace {

// Counts the collection (a negative status fails) and fetches every position
// from 1; the status of a fetch is not looked at, an empty fetch is left out.
template <class Entry, class Collection>
std::vector<ComPtr<Entry>> listCollection(Collection& collection)
{
    LONG count = 0;
    checkStatus(collection.get_Count(&count));
    std::vector<ComPtr<Entry>> entries;
    if (count <= 0) return entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (LONG position = 1; position <= count; ++position) {
        ComPtr<Entry> entry;
        static_cast<void>(collection.get_Item(position, entry.put()));
        if (entry) entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace

void checkStatus(HRESULT status)
{
    if (status < 0) throw static_cast<std::int32_t>(status);
}

PropertyItemList listItems(Vexlib::IVCDPropertyItems* items)
{
    if (!items) return {};
    return listCollection<Vexlib::PropertyItem>(*items);
}

PropertyElementList listElements(Vexlib::PropertyItem& item)
{
    ComPtr<Vexlib::ElementCollection> elements;
    checkStatus(item.get_Elements(elements.put()));
    if (!elements) return {};
    return listCollection<Vexlib::PropertyElement>(*elements.get());
}

std::string itemName(Vexlib::PropertyItem& item)
{
    Bstr name;
    checkStatus(item.get_Name(name.put()));
    return toUtf8(name.get());
}

std::string elementName(Vexlib::PropertyElement& element)
{
    Bstr name;
    checkStatus(element.get_Name(name.put()));
    return toUtf8(name.get());
}

GUID itemId(Vexlib::PropertyItem& item)
{
    GUID id{};
    static_cast<void>(item.get_ItemID(&id));
    return id;
}

GUID elementId(Vexlib::PropertyElement& element)
{
    GUID id{};
    static_cast<void>(element.get_ElementID(&id));
    return id;
}

ComPtr<IUnknown> findInterfaceObject(Vexlib::PropertyElement& element, const GUID& interfaceId)
{
    const Bstr text = registryText(interfaceId);
    if (!text) return {};
    ComPtr<IUnknown> object;
    if (element.findInterface(text.get(), object.put()) != S_OK) return {};
    return object;
}

TextList listTexts(Vexlib::StringListInterface& list)
{
    ComPtr<Vexlib::TextCollection> texts;
    checkStatus(list.get_Strings(texts.put()));
    if (!texts) return {};
    LONG count = 0;
    checkStatus(texts->get_Count(&count));
    TextList result;
    for (LONG position = 1; position <= count; ++position) {
        Bstr text;
        checkStatus(texts->get_Item(position, text.put()));
        result.push_back(toUtf8(text.get()));
    }
    return result;
}

std::string replaceAll(std::string subject, std::string_view search, std::string_view replacement)
{
    if (search.empty()) return subject;
    for (auto at = subject.find(search); at != std::string::npos;
         at = subject.find(search, at + replacement.size()))
        subject.replace(at, search.size(), replacement);
    return subject;
}

} // namespace orx
