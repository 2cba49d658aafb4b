// Loading an adaptor module and finding its five entry points by name.
#pragma once

#include "imaqhost/export.h"
#include "platform/adaptor_entry_points.h"

#include <string>

namespace imaqhost {

struct IMAQHOST_API EntryPoints {
    orx::entry::InitializeAdaptorFn initializeAdaptor = nullptr;
    orx::entry::UninitializeAdaptorFn uninitializeAdaptor = nullptr;
    orx::entry::GetAvailHWFn getAvailHW = nullptr;
    orx::entry::GetDeviceAttributesFn getDeviceAttributes = nullptr;
    orx::entry::CreateInstanceFn createInstance = nullptr;

    // The name of the first entry point that is missing, or null when all are set.
    const char* firstMissing() const noexcept;
};

// A loaded module; unloading happens when the last copy of it is destroyed.
class IMAQHOST_API AdaptorModule {
public:
    // Loads the module and resolves every entry point; a HostError names the
    // file and, when the module lacks one, the missing entry point.
    static AdaptorModule load(const std::string& path);

    AdaptorModule(AdaptorModule&& other) noexcept;
    AdaptorModule& operator=(AdaptorModule&& other) noexcept;
    AdaptorModule(const AdaptorModule&) = delete;
    AdaptorModule& operator=(const AdaptorModule&) = delete;
    ~AdaptorModule();

    const EntryPoints& entryPoints() const noexcept { return entryPoints_; }
    const std::string& path() const noexcept { return path_; }

private:
    AdaptorModule(void* handle, std::string path, EntryPoints entryPoints);
    void unload() noexcept;

    void* handle_ = nullptr;
    std::string path_;
    EntryPoints entryPoints_;
};

} // namespace imaqhost
