// Holder: the skeleton of a move-only owner of one resource handle. The
// Policy names the handle type and gives the resource back (free); Derived is
// the holder class itself, so that attach makes one of its own kind.
#pragma once

#include <cstddef>
#include <utility>

namespace orx {

template <class Derived, class Policy>
class Holder {
public:
    using Handle = typename Policy::Handle;

    Holder() noexcept = default;
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    // Takes the other holder's resource; the other is left empty.
    Holder(Holder&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    // Frees the held resource, then takes the other holder's.
    Holder& operator=(Holder&& other) noexcept
    {
        if (this != &other) reset(other.detach());
        return *this;
    }
    // Frees the held resource.
    ~Holder() { reset(); }

    // Takes over a resource that the caller owns (nothing added to it).
    static Derived attach(Handle handle) noexcept
    {
        Derived holder;
        static_cast<Holder&>(holder).handle_ = handle;
        return holder;
    }
    // Frees the held resource and takes over `handle`.
    void reset(Handle handle = nullptr) noexcept
    {
        Handle old = std::exchange(handle_, handle);
        if (old) Policy::free(old);
    }
    // Gives up the resource without freeing it.
    [[nodiscard]] Handle detach() noexcept { return std::exchange(handle_, nullptr); }
    // Frees the held resource and returns the slot for an out-parameter.
    Handle* put() noexcept
    {
        reset();
        return &handle_;
    }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

private:
    Handle handle_ = nullptr;
};

} // namespace orx
