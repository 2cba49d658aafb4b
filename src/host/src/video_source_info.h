// The containers getDeviceAttributes declares video sources and hardware
// triggers into.
#pragma once

#include "host_object.h"
#include "imaqhost/discovery.h"
#include "platform/imaqkit.h"

#include <vector>

namespace imaqhost {

class VideoSourceInfo final : public HostObject<imaqkit::IVideoSourceInfo> {
public:
    void addAdaptorSource(const char* name, std::int32_t id) override
    {
        if (name) sources_.push_back({name, id});
    }
    const std::vector<VideoSource>& sources() const noexcept { return sources_; }

private:
    std::vector<VideoSource> sources_;
};

class TriggerInfo final : public HostObject<imaqkit::ITriggerInfo> {
public:
    void addConfiguration(const char* source, std::int32_t sourceId, const char* condition,
                          std::int32_t conditionId) override
    {
        configurations_.push_back(
            {source ? source : "", sourceId, condition ? condition : "", conditionId});
    }
    const std::vector<TriggerConfiguration>& configurations() const noexcept
    {
        return configurations_;
    }

private:
    std::vector<TriggerConfiguration> configurations_;
};

} // namespace imaqhost
