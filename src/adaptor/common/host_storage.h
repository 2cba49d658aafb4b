// Objects the adaptor hands to the host live in storage from imaqmalloc; the
// host's deleting destructor gives it back through imaqfree.
#pragma once

#include "platform/imaqkit.h"

#include <utility>

namespace orx {

// A new T in host storage, or null when the host gives none. An exception
// from construction returns the storage and travels on.
template <class T, class... Args>
T* newInHostStorage(Args&&... args)
{
    void* storage = imaqkit::imaqmalloc(sizeof(T));
    if (!storage) return nullptr;
    try {
        return new (storage) T(std::forward<Args>(args)...);
    } catch (...) {
        imaqkit::imaqfree(storage);
        throw;
    }
}

} // namespace orx
