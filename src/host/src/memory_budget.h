// The bytes of logged frames a session may hold across its video inputs
// (the toolbox's frame-memory limit).
#pragma once

#include <atomic>
#include <cstddef>

namespace imaqhost {

class MemoryBudget {
public:
    explicit MemoryBudget(std::size_t limit) : limit_(limit) {}

    // Takes `bytes` from the budget; false, taking nothing, when they do not fit.
    bool tryTake(std::size_t bytes) noexcept
    {
        const std::size_t limit = limit_.load();
        std::size_t used = used_.load();
        do {
            if (bytes > limit || used > limit - bytes) return false;
        } while (!used_.compare_exchange_weak(used, used + bytes));
        return true;
    }
    void giveBack(std::size_t bytes) noexcept { used_.fetch_sub(bytes); }

    std::size_t limit() const noexcept { return limit_.load(); }
    void setLimit(std::size_t bytes) noexcept { limit_.store(bytes); }
    std::size_t used() const noexcept { return used_.load(); }

private:
    std::atomic<std::size_t> limit_;
    std::atomic<std::size_t> used_{0};
};

} // namespace imaqhost
