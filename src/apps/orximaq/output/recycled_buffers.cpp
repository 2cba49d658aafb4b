#include "output/recycled_buffers.h"

#include <algorithm>

namespace orximaq {

RecycledBuffers::Buffer RecycledBuffers::copyOf(const std::uint8_t* bytes, std::size_t size)
{
    std::unique_ptr<std::vector<std::uint8_t>> buffer;
    {
        const std::lock_guard lock(free_->mutex);
        if (!free_->buffers.empty()) {
            buffer = std::move(free_->buffers.back());
            free_->buffers.pop_back();
        }
    }
    if (!buffer)
        buffer = std::make_unique<std::vector<std::uint8_t>>();
    if (bytes == nullptr)
        size = 0;
    buffer->resize(size);
    std::copy_n(bytes, size, buffer->data());
    return Buffer(buffer.release(), [list = free_](std::vector<std::uint8_t>* returned) {
        std::unique_ptr<std::vector<std::uint8_t>> owned(returned);
        try {
            const std::lock_guard lock(list->mutex);
            list->buffers.push_back(std::move(owned));
        } catch (...) {
            // No room on the list: the buffer is simply freed.
        }
    });
}

std::size_t RecycledBuffers::idle() const
{
    const std::lock_guard lock(free_->mutex);
    return free_->buffers.size();
}

} // namespace orximaq
