// A first-in first-out queue in one block that grows by doubling and never
// shrinks: once it has held the most frames an acquisition keeps waiting,
// pushing and taking allocate nothing (a deque allocates and frees a block
// every few dozen elements as it moves through memory). Its capacity is a
// power of two, so that a position wraps with a mask.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace imaqhost {

template <typename T>
class RingBuffer {
public:
    bool empty() const noexcept { return size_ == 0; }
    std::size_t size() const noexcept { return size_; }

    void push_back(const T& value)
    {
        if (size_ == slots_.size()) grow();
        slots_[(head_ + size_) & mask_] = value;
        ++size_;
    }

    const T& front() const noexcept { return slots_[head_]; }

    void pop_front() noexcept
    {
        if (size_ == 0) return;
        head_ = (head_ + 1) & mask_;
        --size_;
    }

    // Moves the oldest `count` elements (at most all) into `out`, replacing
    // its contents, oldest first.
    void takeFront(std::size_t count, std::vector<T>& out)
    {
        copyRange(0, std::min(count, size_), out);
        head_ = size_ == out.size() ? 0 : (head_ + out.size()) & mask_;
        size_ -= out.size();
    }

    // Copies the newest `count` elements (at most all) into `out`, oldest first.
    void copyBack(std::size_t count, std::vector<T>& out) const
    {
        count = std::min(count, size_);
        copyRange(size_ - count, count, out);
    }

private:
    void copyRange(std::size_t first, std::size_t count, std::vector<T>& out) const
    {
        out.clear();
        for (std::size_t i = 0; i < count; ++i) out.push_back(slots_[(head_ + first + i) & mask_]);
    }

    void grow()
    {
        std::vector<T> larger;
        const std::size_t capacity = std::max<std::size_t>(16, slots_.size() * 2);
        larger.reserve(capacity);
        copyRange(0, size_, larger);
        larger.resize(capacity);
        slots_.swap(larger);
        mask_ = slots_.size() - 1;
        head_ = 0;
    }

    std::vector<T> slots_;
    std::size_t mask_ = 0;
    std::size_t head_ = 0;
    std::size_t size_ = 0;
};

} // namespace imaqhost
