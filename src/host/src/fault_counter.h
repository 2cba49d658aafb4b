// A thread-safe "fail the next n calls" switch.
#pragma once

#include <atomic>

namespace imaqhost {

class FaultCounter {
public:
    void arm(int count) noexcept { left_.store(count > 0 ? count : 0); }

    // True (and one fewer left) when this call is to fail.
    bool consume() noexcept
    {
        int left = left_.load();
        while (left > 0)
            if (left_.compare_exchange_weak(left, left - 1)) return true;
        return false;
    }

    int left() const noexcept { return left_.load(); }

private:
    std::atomic<int> left_{0};
};

} // namespace imaqhost
