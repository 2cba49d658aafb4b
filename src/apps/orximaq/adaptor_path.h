// Where the command-line host finds the adaptor module by default.
#pragma once

#include <filesystem>

namespace orximaq {

// The module's file name on this system: ORXImaq.dll on Windows, ORXImaq.so elsewhere.
const char* adaptorModuleFileName();

// The ORXImaq module in the folder of the running executable.
std::filesystem::path defaultAdaptorPath();

} // namespace orximaq
