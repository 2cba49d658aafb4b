// Byte buffers that go back to a free list when their last holder lets go,
// so that copying a frame for a writer thread reuses memory the process has
// already touched instead of mapping fresh pages for every frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace orximaq {

class RecycledBuffers {
public:
    using Buffer = std::shared_ptr<std::vector<std::uint8_t>>;

    // A buffer holding a copy of `size` bytes at `bytes` (none when null).
    Buffer copyOf(const std::uint8_t* bytes, std::size_t size);
    std::size_t idle() const;

private:
    struct FreeList {
        mutable std::mutex mutex;
        std::vector<std::unique_ptr<std::vector<std::uint8_t>>> buffers;
    };
    // Shared with every handed-out buffer, so a buffer outliving this object
    // still has a list to return to.
    std::shared_ptr<FreeList> free_ = std::make_shared<FreeList>();
};

} // namespace orximaq
