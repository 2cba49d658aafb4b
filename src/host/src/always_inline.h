// Marks a function of the per-frame path that the compiler should inline
// into its one caller even where its size heuristics would not.
#pragma once

#if defined(__GNUC__)
#define IMAQHOST_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define IMAQHOST_ALWAYS_INLINE inline
#endif
