#include "imaqhost/adaptor_module.h"

#include "imaqhost/host_error.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <utility>

namespace imaqhost {

namespace {

#if defined(_WIN32)
void* openModule(const std::string& path, std::string& error)
{
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) error = "error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(module);
}
void* findSymbol(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void closeModule(void* handle)
{
    FreeLibrary(static_cast<HMODULE>(handle));
}
#else
void* openModule(const std::string& path, std::string& error)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* text = dlerror();
        error = text ? text : "unknown error";
    }
    return handle;
}
void* findSymbol(void* handle, const char* name)
{
    return dlsym(handle, name);
}
void closeModule(void* handle)
{
    dlclose(handle);
}
#endif

template <class Function>
void resolve(void* handle, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(findSymbol(handle, name));
}

} // namespace

const char* EntryPoints::firstMissing() const noexcept
{
    if (!initializeAdaptor) return orx::entry::kInitializeAdaptor;
    if (!uninitializeAdaptor) return orx::entry::kUninitializeAdaptor;
    if (!getAvailHW) return orx::entry::kGetAvailHW;
    if (!getDeviceAttributes) return orx::entry::kGetDeviceAttributes;
    if (!createInstance) return orx::entry::kCreateInstance;
    return nullptr;
}

AdaptorModule AdaptorModule::load(const std::string& path)
{
    std::string error;
    void* handle = openModule(path, error);
    if (!handle) throw HostError("Cannot load adaptor module \"" + path + "\": " + error);
    EntryPoints entryPoints;
    resolve(handle, orx::entry::kInitializeAdaptor, entryPoints.initializeAdaptor);
    resolve(handle, orx::entry::kUninitializeAdaptor, entryPoints.uninitializeAdaptor);
    resolve(handle, orx::entry::kGetAvailHW, entryPoints.getAvailHW);
    resolve(handle, orx::entry::kGetDeviceAttributes, entryPoints.getDeviceAttributes);
    resolve(handle, orx::entry::kCreateInstance, entryPoints.createInstance);
    AdaptorModule module(handle, path, entryPoints);
    if (const char* missing = entryPoints.firstMissing())
        throw HostError("Adaptor module \"" + path + "\" does not export \"" + missing + "\".");
    return module;
}

AdaptorModule::AdaptorModule(void* handle, std::string path, EntryPoints entryPoints)
    : handle_(handle), path_(std::move(path)), entryPoints_(entryPoints)
{
}

AdaptorModule::AdaptorModule(AdaptorModule&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      path_(std::move(other.path_)),
      entryPoints_(std::exchange(other.entryPoints_, {}))
{
}

AdaptorModule& AdaptorModule::operator=(AdaptorModule&& other) noexcept
{
    if (this != &other) {
        unload();
        handle_ = std::exchange(other.handle_, nullptr);
        path_ = std::move(other.path_);
        entryPoints_ = std::exchange(other.entryPoints_, {});
    }
    return *this;
}

AdaptorModule::~AdaptorModule()
{
    unload();
}

void AdaptorModule::unload() noexcept
{
    if (handle_) closeModule(std::exchange(handle_, nullptr));
    entryPoints_ = {};
}

} // namespace imaqhost
