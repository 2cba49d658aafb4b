// TaskMem: a move-only holder of one COM task-memory block (CoTaskMemFree).
#pragma once

#include "common/holder.h"
#include "platform/win32.h"

#include <cstring>
#include <new>
#include <string_view>
#include <utility>

namespace orx {

template <class T>
struct TaskMemPolicy {
    using Handle = T*;
    static void free(T* block) noexcept { CoTaskMemFree(block); }
};

template <class T>
class TaskMem : public Holder<TaskMem<T>, TaskMemPolicy<T>> {
public:
    // Allocates `count` elements; throws std::bad_alloc when the allocator says no.
    static TaskMem allocate(std::size_t count)
    {
        void* raw = CoTaskMemAlloc(count * sizeof(T));
        if (!raw && count != 0) throw std::bad_alloc();
        return TaskMem::attach(static_cast<T*>(raw));
    }
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
