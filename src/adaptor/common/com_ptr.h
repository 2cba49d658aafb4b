// ComPtr: a move-only holder of one COM reference.
#pragma once

#include "common/holder.h"
#include "platform/win32.h"

#include <utility>

namespace orx {

template <class T>
struct ComPolicy {
    using Handle = T*;
    static void free(T* object) noexcept { object->Release(); }
};

template <class T>
class ComPtr : public Holder<ComPtr<T>, ComPolicy<T>> {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Adds a reference of its own.
    static ComPtr share(T* raw) noexcept
    {
        if (raw) raw->AddRef();
        return ComPtr::attach(raw);
    }
    // Releases the held reference and returns the slot for a void** out-parameter.
    void** putVoid() noexcept { return reinterpret_cast<void**>(this->put()); }
    // Shares the held reference (adds one).
    ComPtr copy() const noexcept { return share(this->get()); }

    T* operator->() const noexcept { return this->get(); }
};

} // namespace orx
