// The gateway's state: one host session with the adaptor module (loaded on
// first use) and the open video inputs by handle. Each input acquires in the
// background with the host's own engine; closing an input stops its
// acquisition before it goes, and reset does that for all of them and
// unloads the session, so that the runtime's counters can return to zero.
#pragma once

#include "imaqhost/session.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orxoct {

struct OpenInput {
    std::unique_ptr<imaqhost::VideoInput> input;
    // The counts of the acquisition before a snapshot, which the snapshot's
    // own one-frame acquisition must not replace; cleared by start.
    std::optional<imaqhost::AcquisitionStats> keptCounts;
    // Likewise its events (the first trigger's time and the trigger count
    // are in keptCounts).
    std::vector<imaqhost::AcquisitionEvent> keptEvents;
    // Frames the buffer could not keep that the user has been told of.
    std::int64_t overrunReported = 0;
};

class InputRegistry {
public:
    InputRegistry() = default;
    ~InputRegistry();
    InputRegistry(const InputRegistry&) = delete;
    InputRegistry& operator=(const InputRegistry&) = delete;

    // The module to load; takes effect at the next session.
    void setAdaptorPath(std::string path);
    const std::string& adaptorPath() const { return adaptorPath_; }
    // Loads the module and initialises the adaptor when no session is open.
    imaqhost::Session& session();
    bool hasSession() const { return session_.has_value(); }

    std::int32_t open(const imaqhost::DeviceRef& device, const std::optional<imaqhost::FormatRef>& format);
    // HostError when the handle names no open input.
    OpenInput& find(std::int32_t handle);
    bool isOpen(std::int32_t handle) const { return inputs_.count(handle) != 0; }
    void close(std::int32_t handle);
    std::vector<std::int32_t> handles() const;
    // Closes every input, then the session.
    void reset();

    // The bytes of frames each input's buffer may hold, for the open inputs
    // and those opened later (the frame bound stays the host's).
    void setMemoryLimit(std::size_t bytes);
    std::size_t memoryLimit() const { return memoryLimit_; }

private:
    std::string adaptorPath_;
    std::optional<imaqhost::Session> session_;
    std::map<std::int32_t, OpenInput> inputs_;
    std::int32_t nextHandle_ = 1;
    std::size_t memoryLimit_ = imaqhost::kDefaultBufferBytes;
};

} // namespace orxoct
