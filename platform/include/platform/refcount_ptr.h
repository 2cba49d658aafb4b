// refcount_ptr: the camera library's shared, reference-counted holder. The
// library hands out its lists and its sink object in it. The holder keeps the
// object together with an atomic count; its operations are, in order, destroy,
// add reference, release (destroying the holder at zero) and get. The holder
// is created by the side that made the object, so the object is always
// destroyed by the module that allocated it.
#pragma once

#include <atomic>
#include <type_traits>
#include <utility>

namespace Vexlib {

class refcount_holder_base {
public:
    virtual void destroy() noexcept = 0; // slot 0
    void addRef() noexcept { count_.fetch_add(1, std::memory_order_relaxed); } // slot 1 equivalent
    void release() noexcept                                                     // slot 2 equivalent
    {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) destroy();
    }
    long useCount() const noexcept { return count_.load(std::memory_order_relaxed); }

protected:
    refcount_holder_base() = default;
    ~refcount_holder_base() = default;

private:
    std::atomic<long> count_{1};
};

template <class T>
class refcount_holder final : public refcount_holder_base {
public:
    template <class... Args>
    explicit refcount_holder(Args&&... args) : object_(std::forward<Args>(args)...) {}
    void destroy() noexcept override { delete this; }
    T* get() noexcept { return &object_; }

private:
    T object_;
};

template <class T>
class refcount_ptr {
public:
    refcount_ptr() noexcept = default;
    refcount_ptr(std::nullptr_t) noexcept {}

    refcount_ptr(const refcount_ptr& other) noexcept : holder_(other.holder_), object_(other.object_)
    {
        if (holder_) holder_->addRef();
    }
    refcount_ptr(refcount_ptr&& other) noexcept
        : holder_(std::exchange(other.holder_, nullptr)), object_(std::exchange(other.object_, nullptr))
    {
    }
    // Shares the holder of a handle to a derived object (refcount_ptr_wrapper).
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    refcount_ptr(const refcount_ptr<U>& other) noexcept : holder_(other.holder()), object_(other.get())
    {
        if (holder_) holder_->addRef();
    }
    refcount_ptr& operator=(refcount_ptr other) noexcept
    {
        std::swap(holder_, other.holder_);
        std::swap(object_, other.object_);
        return *this;
    }
    ~refcount_ptr() { reset(); }

    // Makes a new holder with a count of one.
    template <class... Args>
    static refcount_ptr make(Args&&... args)
    {
        auto* holder = new refcount_holder<T>(std::forward<Args>(args)...);
        refcount_ptr p;
        p.holder_ = holder;
        p.object_ = holder->get();
        return p;
    }

    void reset() noexcept
    {
        if (holder_) holder_->release();
        holder_ = nullptr;
        object_ = nullptr;
    }

    T* get() const noexcept { return object_; }
    T* operator->() const noexcept { return object_; }
    T& operator*() const noexcept { return *object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }
    long use_count() const noexcept { return holder_ ? holder_->useCount() : 0; }
    refcount_holder_base* holder() const noexcept { return holder_; }

private:
    refcount_holder_base* holder_ = nullptr;
    T* object_ = nullptr;
};

// A handle to a base class that shares the derived object's holder and count.
template <class Base, class Derived>
refcount_ptr<Base> refcount_ptr_wrapper(const refcount_ptr<Derived>& handle) noexcept
{
    return refcount_ptr<Base>(handle);
}

} // namespace Vexlib
