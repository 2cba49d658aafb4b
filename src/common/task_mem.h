// TaskMem: a move-only holder of one COM task-memory block (CoTaskMemFree).
#pragma once

#include "platform/win32.h"

#include <cstring>
#include <new>
#include <string_view>
#include <utility>

namespace orx {

template <class T>
class TaskMem {
public:
    TaskMem() noexcept = default;
    // Takes over a block that the caller owns.
    static TaskMem attach(T* block) noexcept
    {
        TaskMem m;
        m.block_ = block;
        return m;
    }
    // Allocates `count` elements; throws std::bad_alloc when the allocator says no.
    static TaskMem allocate(std::size_t count)
    {
        void* raw = CoTaskMemAlloc(count * sizeof(T));
        if (!raw && count != 0) throw std::bad_alloc();
        return attach(static_cast<T*>(raw));
    }

    TaskMem(const TaskMem&) = delete;
    TaskMem& operator=(const TaskMem&) = delete;
    TaskMem(TaskMem&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    TaskMem& operator=(TaskMem&& other) noexcept
    {
        if (this != &other) reset(std::exchange(other.block_, nullptr));
        return *this;
    }
    ~TaskMem() { reset(); }

    void reset(T* block = nullptr) noexcept
    {
        T* old = std::exchange(block_, block);
        if (old) CoTaskMemFree(old);
    }
    T** put() noexcept
    {
        reset();
        return &block_;
    }
    [[nodiscard]] T* detach() noexcept { return std::exchange(block_, nullptr); }

    T* get() const noexcept { return block_; }
    explicit operator bool() const noexcept { return block_ != nullptr; }

private:
    T* block_ = nullptr;
};

// A narrow text copied into task memory (length + 1 bytes), the form in which
// the camera library takes names.
inline TaskMem<char> copyToTaskMem(std::string_view text)
{
    auto block = TaskMem<char>::allocate(text.size() + 1);
    std::memcpy(block.get(), text.data(), text.size());
    block.get()[text.size()] = '\0';
    return block;
}

} // namespace orx
