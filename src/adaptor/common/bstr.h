// Bstr: a move-only holder of one BSTR, freed with SysFreeString.
#pragma once

#include "common/holder.h"
#include "platform/win32.h"

namespace orx {

struct BstrPolicy {
    using Handle = BSTR;
    static void free(BSTR text) noexcept { SysFreeString(text); }
};

class Bstr : public Holder<Bstr, BstrPolicy> {
public:
    Bstr() noexcept = default;
    // Copies `text` into a new BSTR; empty when the allocation fails.
    explicit Bstr(const OLECHAR* text) noexcept { reset(SysAllocString(text)); }
};

} // namespace orx
