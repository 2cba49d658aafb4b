// IUnknown for the simulated camera's property objects: a real atomic
// reference count and QueryInterface for IUnknown and the object's own
// interface. Every object is counted while it lives (vexcam::liveComObjects).
#pragma once

#include "platform/win32.h"

#include <atomic>

namespace vexcam::com {

// {00000000-0000-0000-C000-000000000046}
inline constexpr GUID kIUnknownIid{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// What one slot answers under an injected fault. A negative status fails the
// call; a positive one is answered after the call has done its work; a
// missing object is answered with S_OK and no object or text.
struct SlotFault {
    HRESULT status = S_OK;
    bool missingObject = false;

    bool fails() const noexcept { return !missingObject && status < 0; }
    HRESULT successStatus() const noexcept { return missingObject ? S_OK : status; }
};

void noteObjectCreated() noexcept;
void noteObjectDestroyed() noexcept;

// The creator holds the first reference; the last Release deletes the object.
template <class Interface>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        const SlotFault fault = faultAt(0);
        if (fault.fails()) return fault.status;
        if (fault.missingObject) return S_OK;
        if (iid != kIUnknownIid && iid != ownIid_) return E_NOINTERFACE;
        AddRef();
        *object = static_cast<Interface*>(this);
        return fault.successStatus();
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }

    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete this;
        return left;
    }

protected:
    explicit ComObject(const IID& ownIid) noexcept : ownIid_(ownIid) { noteObjectCreated(); }
    virtual ~ComObject() { noteObjectDestroyed(); }

    // The fault injected into `slot` of this object, if any.
    virtual SlotFault faultAt(int /*slot*/) const { return {}; }

private:
    const IID ownIid_;
    std::atomic<ULONG> refs_{1};
};

} // namespace vexcam::com
