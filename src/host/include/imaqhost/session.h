// A host session with one adaptor: initializeAdaptor when it starts,
// uninitializeAdaptor when it and every video input it opened are gone.
#pragma once

#include "imaqhost/adaptor_module.h"
#include "imaqhost/discovery.h"
#include "imaqhost/export.h"
#include "imaqhost/property_description.h"
#include "imaqhost/video_input.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace imaqhost {

// A device or format chosen by its ID or by its name.
using DeviceRef = std::variant<std::int32_t, std::string>;
using FormatRef = std::variant<std::int32_t, std::string>;

// A text of decimal digits names an ID, anything else a name.
IMAQHOST_API std::variant<std::int32_t, std::string> parseRef(const std::string& text);

struct DeviceAttributes {
    std::vector<PropertyDescription> properties; // in declaration order
    std::vector<VideoSource> sources;
    std::vector<TriggerConfiguration> triggers;
    // Calls the host refused (a bad handle, an invalid range, ...), one line each.
    std::vector<std::string> declarationIssues;
};

struct OpenOptions {
    // Device properties whose information object answers false to
    // isDeviceSpecific, so the adaptor attaches no listeners to them.
    std::vector<std::string> notDeviceSpecific;
    // For tests: the format name handed to the adaptor instead of the chosen
    // format's; the format reference is then not resolved at all.
    std::optional<std::string> formatNameOverride;
};

// The session's frame-memory limit defaults to this share of physical
// memory (a quarter), or to kDefaultBufferBytes where it cannot be read.
inline constexpr std::size_t kDefaultMemoryShare = 4;
// Bytes of physical memory; 0 when unknown.
IMAQHOST_API std::size_t physicalMemory();
IMAQHOST_API std::size_t defaultMemoryLimit();

class IMAQHOST_API Session {
public:
    // Calls initializeAdaptor; a HostError when an entry point is missing or
    // the adaptor reports that it could not initialise.
    explicit Session(const EntryPoints& entryPoints);
    // Loads the module and keeps it loaded for as long as it is used.
    static Session load(const std::string& modulePath);

    Session(Session&&) noexcept;
    Session& operator=(Session&&) noexcept;
    ~Session();

    // Runs getAvailHW afresh; every device entry created, added or not.
    const std::vector<DeviceRecord>& discover();
    // The last discovery (runs one first when there was none).
    const std::vector<DeviceRecord>& devices();

    // Resolve against the added devices and formats of the last discovery.
    const DeviceRecord& resolveDevice(const DeviceRef& device);
    const FormatRecord& resolveFormat(const DeviceRecord& device, const FormatRef& format);

    // Runs getDeviceAttributes for the device and format.
    DeviceAttributes attributes(const DeviceRef& device, const FormatRef& format);

    // Like the host: getDeviceAttributes builds the device property container,
    // then createInstance builds the adaptor.
    std::unique_ptr<VideoInput> open(const DeviceRef& device, const FormatRef& format,
                                     const OpenOptions& options = {});

    // Bytes of logged frames that all of this session's video inputs may
    // hold together; a frame beyond it is not logged and counts as overrun.
    // A lower limit than what is held keeps those frames; new ones wait for room.
    void setMemoryLimit(std::size_t bytes);
    std::size_t memoryLimit() const;
    std::size_t memoryInUse() const;

    struct Core;

private:
    Session(std::shared_ptr<AdaptorModule> module, const EntryPoints& entryPoints);

    std::shared_ptr<Core> core_;
    std::vector<DeviceRecord> devices_;
    bool discovered_ = false;
};

} // namespace imaqhost
