// A COM object that stands for one node of a PropertyStore, with the answers
// shared by every slot: a getter reads under the store's lock, a setter
// writes under it, and both honour the fault injected into their slot.
#pragma once

#include "com_object.h"
#include "com_text.h"
#include "property_store.h"

#include <memory>
#include <string>
#include <utility>

namespace vexcam {

template <class Interface>
class PropertyNodeObject : public com::ComObject<Interface> {
protected:
    PropertyNodeObject(const IID& ownIid, std::shared_ptr<PropertyStore> store, PropertyNode node)
        : com::ComObject<Interface>(ownIid), store_(std::move(store)), node_(node)
    {
    }

    com::SlotFault faultAt(int slot) const override { return store_->slotFault(node_, slot); }

    // Answers a value of the tree's fixed shape (an identifier, a count).
    template <class T>
    HRESULT answerFixed(int slot, T* out, const T& value)
    {
        if (!out) return E_POINTER;
        const com::SlotFault fault = faultAt(slot);
        if (fault.fails()) return fault.status;
        *out = value;
        return fault.successStatus();
    }

    // `read(const ElementSpec&)` gives the value for `*out`.
    template <class T, class Read>
    HRESULT answerValue(int slot, T* out, Read read)
    {
        if (!out) return E_POINTER;
        const com::SlotFault fault = faultAt(slot);
        if (fault.fails()) return fault.status;
        *out = store_->withElement(node_.item, node_.element,
                                   [&](const ElementSpec& element) { return static_cast<T>(read(element)); });
        return fault.successStatus();
    }

    // `write(ElementSpec&)` changes the element and gives its status.
    template <class Write>
    HRESULT answerWrite(int slot, Write write)
    {
        const com::SlotFault fault = faultAt(slot);
        if (fault.fails()) return fault.status;
        const HRESULT status = store_->writeElement(node_.item, node_.element, write);
        return FAILED(status) ? status : fault.successStatus();
    }

    // Hands out a copy of `text` as a new BSTR.
    HRESULT answerText(int slot, const std::string& text, BSTR* out)
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        const com::SlotFault fault = faultAt(slot);
        if (fault.fails()) return fault.status;
        if (fault.missingObject) return S_OK;
        const HRESULT status = com::putBstr(text, out);
        return FAILED(status) ? status : fault.successStatus();
    }

    // Hands out the new object that `make()` gives (one reference).
    template <class T, class Make>
    HRESULT answerObject(int slot, T** out, Make make)
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        const com::SlotFault fault = faultAt(slot);
        if (fault.fails()) return fault.status;
        if (fault.missingObject) return S_OK;
        *out = make();
        return fault.successStatus();
    }

    // Checks a fetch at `position` (1..count) of a collection and empties
    // `*out`. True when an object is to be delivered; `status` is the answer.
    template <class T>
    bool admitPosition(int slot, LONG position, std::size_t count, T** out, HRESULT& status)
    {
        if (!out) {
            status = E_POINTER;
            return false;
        }
        *out = nullptr;
        const com::SlotFault fault = faultAt(slot);
        if (fault.fails()) {
            status = fault.status;
            return false;
        }
        if (position < 1 || static_cast<std::size_t>(position) > count) {
            status = DISP_E_BADINDEX;
            return false;
        }
        status = fault.successStatus();
        return !fault.missingObject;
    }

    const std::shared_ptr<PropertyStore> store_;
    const PropertyNode node_;
};

} // namespace vexcam
