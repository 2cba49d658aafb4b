// Visibility of the host runtime's own functions (the observation points that a
// test or the command-line host uses beside the host kit interface).
#pragma once

#if defined(_WIN32)
#if defined(IMAQMEX_BUILD)
#define IMAQHOST_API __declspec(dllexport)
#else
#define IMAQHOST_API __declspec(dllimport)
#endif
#else
#define IMAQHOST_API __attribute__((visibility("default")))
#endif
