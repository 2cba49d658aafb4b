#include "engine/property_listeners.h"

#include "common/host_storage.h"
#include "engine/orx_adaptor.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace orx {

namespace {

constexpr const char* kSelectedSourceName = "SelectedSourceName";

// A listener in host storage, or empty when the host gave none. Deleting it
// returns the storage through imaqfree; a registration call takes it over.
template <class Listener>
std::unique_ptr<Listener> createListener(ORXadaptor& adaptor)
{
    return std::unique_ptr<Listener>(newInHostStorage<Listener>(&adaptor));
}

void registerSourceListener(ORXadaptor& adaptor, imaqkit::IEngine& engine)
{
    auto listener = createListener<EnginePropSetListener>(adaptor);
    if (!listener) return;
    engine.getEnginePropContainer()->addListener(kSelectedSourceName, listener.release());
}

std::vector<const char*> devicePropertyNames(imaqkit::IPropContainer& container)
{
    const std::int32_t count = container.getNumberProps();
    if (count <= 0) return {};
    std::vector<const char*> names(static_cast<std::size_t>(count), nullptr);
    container.getPropNames(names.data());
    return names;
}

void registerDeviceListeners(ORXadaptor& adaptor, imaqkit::IPropContainer& container, const char* name)
{
    imaqkit::IPropInfo* info = container.getIPropInfo(name);
    if (!info || !info->isDeviceSpecific()) return;
    if (auto getter = createListener<PropListener>(adaptor)) container.setCustomGetFcn(name, getter.release());
    if (auto setter = createListener<PropSetListener>(adaptor)) container.addListener(name, setter.release());
}

} // namespace

void PropListener::getValue(imaqkit::IPropInfo* info, void* value)
{
    if (!value) return;
    adaptor_->readDeviceProperty(info, value);
}

void PropSetListener::notify(imaqkit::IPropInfo* info, void* newValue)
{
    if (!newValue) return;
    adaptor_->writeDeviceProperty(info, newValue);
}

void EnginePropSetListener::notify(imaqkit::IPropInfo*, void* newValue)
{
    if (!newValue) return;
    if (adaptor_->manager()->isAcquisitionActive()) applySourceChange();
}

void EnginePropSetListener::applySourceChange()
{
    imaqkit::IAdaptorManager* manager = adaptor_->manager();
    if (!manager->isCaptureRunning()) return;
    static_cast<void>(manager->haltCapture());
    static_cast<void>(manager->restartCapture());
}

void registerPropertyListeners(ORXadaptor& adaptor)
{
    imaqkit::IEngine* engine = adaptor.manager()->getEngine();
    registerSourceListener(adaptor, *engine);
    // The container is asked for once for its names and once for the rest;
    // the host answers the same container both times.
    const std::vector<const char*> names = devicePropertyNames(*engine->getAdaptorPropContainer());
    imaqkit::IPropContainer& container = *engine->getAdaptorPropContainer();
    for (const char* name : names)
        if (name) registerDeviceListeners(adaptor, container, name);
}

} // namespace orx
