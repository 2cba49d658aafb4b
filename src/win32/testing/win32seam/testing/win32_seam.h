// Observation points of the Win32 seam, for tests and the command-line host.
// A message box must never wait for a person in an automated run: by default
// it is written to standard error and answered with IDOK; a hook sees it first.
// On Windows a box is real while no hook is installed; with a hook it is
// answered with IDOK as elsewhere.
// Debugger lines go nowhere unless a hook is installed. Task memory and BSTRs
// are counted so that a test can prove that nothing leaked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#if defined(_WIN32) && defined(ORX_WIN32SEAM_BUILD)
#define ORX_WIN32SEAM_HOOKS_API __declspec(dllexport)
#elif defined(_WIN32)
#define ORX_WIN32SEAM_HOOKS_API __declspec(dllimport)
#elif defined(ORX_WIN32SEAM_BUILD)
#define ORX_WIN32SEAM_HOOKS_API __attribute__((visibility("default")))
#else
#define ORX_WIN32SEAM_HOOKS_API
#endif

namespace win32seam {

struct MessageBoxCall {
    std::string text;
    std::string caption;
    unsigned style = 0;
};

using MessageBoxHook = std::function<void(const MessageBoxCall&)>;
using DebugOutputHook = std::function<void(const std::string&)>;

// Installs a hook (an empty function removes it); returns the previous one.
ORX_WIN32SEAM_HOOKS_API MessageBoxHook setMessageBoxHook(MessageBoxHook hook);
ORX_WIN32SEAM_HOOKS_API DebugOutputHook setDebugOutputHook(DebugOutputHook hook);

// When false, message boxes are not echoed to standard error (hooks still run).
ORX_WIN32SEAM_HOOKS_API void setMessageBoxEcho(bool echo);

// Live allocations made through the seam that have not been freed yet.
ORX_WIN32SEAM_HOOKS_API std::int64_t outstandingTaskMemBlocks();
ORX_WIN32SEAM_HOOKS_API std::int64_t outstandingBstrs();

// Makes the next `count` CoTaskMemAlloc / SysAllocString calls fail (return null).
ORX_WIN32SEAM_HOOKS_API void failNextTaskMemAllocs(int count);
ORX_WIN32SEAM_HOOKS_API void failNextBstrAllocs(int count);

} // namespace win32seam
