#include "input_registry.h"

#include "imaqhost/host_error.h"

#include <filesystem>

namespace orxoct {

InputRegistry::~InputRegistry()
{
    reset();
}

void InputRegistry::setAdaptorPath(std::string path)
{
    adaptorPath_ = std::move(path);
}

imaqhost::Session& InputRegistry::session()
{
    if (!session_) {
        std::error_code error;
        if (adaptorPath_.empty() || !std::filesystem::exists(adaptorPath_, error))
            throw imaqhost::HostError("The adaptor module was not found: " + adaptorPath_);
        session_.emplace(imaqhost::Session::load(adaptorPath_));
    }
    return *session_;
}

std::int32_t InputRegistry::open(const imaqhost::DeviceRef& device, const std::optional<imaqhost::FormatRef>& format)
{
    imaqhost::Session& host = session();
    const imaqhost::DeviceRecord& record = host.resolveDevice(device);
    imaqhost::FormatRef chosen = format ? *format : imaqhost::FormatRef{};
    if (!format) {
        const auto formats = record.addedFormats();
        if (formats.empty())
            throw imaqhost::HostError("The device '" + record.name + "' lists no formats.");
        chosen = formats.front().name;
    }
    OpenInput opened;
    opened.input = host.open(record.id, chosen);
    opened.input->setBufferLimit(imaqhost::kDefaultBufferFrames, memoryLimit_);
    const std::int32_t handle = nextHandle_++;
    inputs_.emplace(handle, std::move(opened));
    return handle;
}

OpenInput& InputRegistry::find(std::int32_t handle)
{
    const auto found = inputs_.find(handle);
    if (found == inputs_.end())
        throw imaqhost::HostError("The video input object is no longer valid (deleted or reset).");
    return found->second;
}

void InputRegistry::close(std::int32_t handle)
{
    const auto found = inputs_.find(handle);
    if (found == inputs_.end())
        return;
    // The input's destructor stops its acquisition and joins the host's threads.
    inputs_.erase(found);
}

std::vector<std::int32_t> InputRegistry::handles() const
{
    std::vector<std::int32_t> list;
    for (const auto& [handle, input] : inputs_)
        list.push_back(handle);
    return list;
}

void InputRegistry::reset()
{
    for (const auto handle : handles())
        close(handle);
    session_.reset();
}

void InputRegistry::setMemoryLimit(std::size_t bytes)
{
    if (bytes < 1)
        throw imaqhost::HostError("The memory limit must be at least 1 byte.");
    memoryLimit_ = bytes;
    for (auto& [handle, open] : inputs_)
        open.input->setBufferLimit(imaqhost::kDefaultBufferFrames, bytes);
}

} // namespace orxoct
