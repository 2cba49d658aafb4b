// Host-own kit objects live on the ordinary heap. The kit's root class offers
// only placement new and returns storage through imaqfree, which is right for
// the adaptor's objects; this base gives the host's objects their own pair so
// that they never count as (or fail like) imaqmalloc blocks.
#pragma once

#include <cstddef>
#include <new>

namespace imaqhost {

template <class Interface>
class HostObject : public Interface {
public:
    static void* operator new(std::size_t bytes) { return ::operator new(bytes); }
    static void operator delete(void* block) noexcept { ::operator delete(block); }
};

} // namespace imaqhost
