// Ownership of GStreamer and GLib objects: each holder owns one reference
// (or one allocation) and gives it back when it goes out of scope.
#pragma once

#include "glib_error_slot.h"

#include <gst/gst.h>

#include <memory>
#include <string>

namespace vexcam::gst {

template <auto Free>
struct FreeWith {
    template <class T>
    void operator()(T* owned) const
    {
        Free(owned);
    }
};

// GStreamer's own unref functions for these are static inline: these have linkage.
inline void unrefCaps(GstCaps* caps) { gst_caps_unref(caps); }
inline void unrefSample(GstSample* sample) { gst_sample_unref(sample); }
inline void unrefMessage(GstMessage* message) { gst_message_unref(message); }

// Takes over one reference; a floating reference is sunk first by the maker (see own()).
template <class T>
using Ref = std::unique_ptr<T, FreeWith<gst_object_unref>>;
using CapsRef = std::unique_ptr<GstCaps, FreeWith<unrefCaps>>;
using SampleRef = std::unique_ptr<GstSample, FreeWith<unrefSample>>;
using MessageRef = std::unique_ptr<GstMessage, FreeWith<unrefMessage>>;
using IteratorRef = std::unique_ptr<GstIterator, FreeWith<gst_iterator_free>>;
using TextRef = std::unique_ptr<gchar, FreeWith<g_free>>;

// Takes over a new object: sinks its floating reference, so that the holder
// owns the only one.
template <class T>
Ref<T> own(T* made)
{
    return Ref<T>(made ? static_cast<T*>(gst_object_ref_sink(made)) : nullptr);
}

// Adds a reference to an object someone else holds.
template <class T>
Ref<T> share(T* held)
{
    return Ref<T>(held ? static_cast<T*>(gst_object_ref(held)) : nullptr);
}

// GStreamer, initialised once per process; the reason when it cannot be.
std::string initialise();

// Counts `object` as alive until GLib finalises it.
void track(gpointer object);
std::int64_t liveObjects();

} // namespace vexcam::gst
