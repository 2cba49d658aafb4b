// ComPtr: a move-only holder of one COM reference.
#pragma once

#include "platform/win32.h"

#include <utility>

namespace orx {

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes over a reference that the caller already owns.
    static ComPtr attach(T* raw) noexcept
    {
        ComPtr p;
        p.ptr_ = raw;
        return p;
    }
    // Adds a reference of its own.
    static ComPtr share(T* raw) noexcept
    {
        if (raw) raw->AddRef();
        return attach(raw);
    }

    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) reset(other.detach());
        return *this;
    }
    ~ComPtr() { reset(); }

    // Releases the held reference and takes over `raw` (no reference added).
    void reset(T* raw = nullptr) noexcept
    {
        T* old = std::exchange(ptr_, raw);
        if (old) old->Release();
    }
    // Gives up the reference without releasing it.
    [[nodiscard]] T* detach() noexcept { return std::exchange(ptr_, nullptr); }
    // Releases the held reference and returns the slot for an out-parameter.
    T** put() noexcept
    {
        reset();
        return &ptr_;
    }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }
    // Shares the held reference (adds one).
    ComPtr copy() const noexcept { return share(ptr_); }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

private:
    T* ptr_ = nullptr;
};

} // namespace orx
