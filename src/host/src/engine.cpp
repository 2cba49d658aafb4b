#include "engine.h"

#include "adaptor_manager.h"
#include "frame_counters.h"

#include <algorithm>

namespace imaqhost {

Engine::Engine(const std::vector<PropertyDescription>& deviceProperties,
               std::string selectedSource)
    : acquisition_(pool_),
      deviceProperties_(deviceProperties, [this] { return acquisition_.isActive(); }),
      engineProperties_(std::move(selectedSource))
{
}

Engine::~Engine()
{
    std::lock_guard lock(managersMutex_);
    for (AdaptorManager* manager : managers_) manager->engineGone();
}

imaqkit::IFrame* Engine::makeFrame(std::uint32_t frameType, std::int32_t width,
                                   std::int32_t height)
{
    Frame* frame = frameCounters().makeFrameFailures.consume()
                       ? nullptr
                       : pool_.take(frameType, width, height);
    if (!frame) acquisition_.frameRefused();
    return frame;
}

void Engine::receiveFrame(imaqkit::IFrame* frame)
{
    acquisition_.receive(frame);
}

void Engine::attach(AdaptorManager* manager)
{
    std::lock_guard lock(managersMutex_);
    managers_.push_back(manager);
}

void Engine::detach(AdaptorManager* manager)
{
    std::lock_guard lock(managersMutex_);
    managers_.erase(std::remove(managers_.begin(), managers_.end(), manager), managers_.end());
}

} // namespace imaqhost
