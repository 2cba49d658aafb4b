// The host engine of one video input: makes and takes back frames, and owns
// the property containers and the acquisition state that the adaptor
// manager answers from.
#pragma once

#include "acquisition_control.h"
#include "device_prop_container.h"
#include "engine_prop_container.h"
#include "frame_pool.h"
#include "host_object.h"
#include "platform/imaqkit.h"

#include <mutex>
#include <string>
#include <vector>

namespace imaqhost {

class AdaptorManager;

class Engine final : public HostObject<imaqkit::IEngine> {
public:
    Engine(const std::vector<PropertyDescription>& deviceProperties, std::string selectedSource);
    ~Engine() override;

    imaqkit::IFrame* makeFrame(std::uint32_t frameType, std::int32_t width,
                               std::int32_t height) override;
    void receiveFrame(imaqkit::IFrame* frame) override;
    void engineReserved3() override {}
    void engineReserved4() override {}
    imaqkit::IEnginePropContainer* getEnginePropContainer() override { return &engineProperties_; }
    imaqkit::IPropContainer* getAdaptorPropContainer() override { return &deviceProperties_; }

    AcquisitionControl& acquisition() noexcept { return acquisition_; }
    FramePool& frames() noexcept { return pool_; }
    DevicePropContainer& deviceProperties() noexcept { return deviceProperties_; }
    EnginePropContainer& engineProperties() noexcept { return engineProperties_; }

    // Adaptor managers made for this engine; each forgets the engine when it goes.
    void attach(AdaptorManager* manager);
    void detach(AdaptorManager* manager);

private:
    // Declared first so that it outlives everything that hands frames back.
    FramePool pool_;
    AcquisitionControl acquisition_;
    DevicePropContainer deviceProperties_;
    EnginePropContainer engineProperties_;
    std::mutex managersMutex_;
    std::vector<AdaptorManager*> managers_;
};

} // namespace imaqhost
