// Bstr: a move-only holder of one BSTR, freed with SysFreeString.
#pragma once

#include "platform/win32.h"

#include <utility>

namespace orx {

class Bstr {
public:
    Bstr() noexcept = default;
    // Copies `text` into a new BSTR; empty when the allocation fails.
    explicit Bstr(const OLECHAR* text) noexcept : text_(SysAllocString(text)) {}
    // Takes over a BSTR that the caller owns.
    static Bstr attach(BSTR text) noexcept
    {
        Bstr b;
        b.text_ = text;
        return b;
    }

    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept
    {
        if (this != &other) reset(std::exchange(other.text_, nullptr));
        return *this;
    }
    ~Bstr() { reset(); }

    void reset(BSTR text = nullptr) noexcept
    {
        BSTR old = std::exchange(text_, text);
        if (old) SysFreeString(old);
    }
    // Frees the held text and returns the slot for an out-parameter.
    BSTR* put() noexcept
    {
        reset();
        return &text_;
    }
    [[nodiscard]] BSTR detach() noexcept { return std::exchange(text_, nullptr); }

    BSTR get() const noexcept { return text_; }
    explicit operator bool() const noexcept { return text_ != nullptr; }

private:
    BSTR text_ = nullptr;
};

} // namespace orx
