// Grabber: construction, the device, input channels and property items.
#include "grabber_state.h"
#include "library.h"
#include "list_fault.h"
#include "simulation_counters.h"

namespace Vexlib {

using detail::GrabberState;
using Lock = std::lock_guard<std::mutex>;

Grabber::Grabber() : state_(std::make_unique<GrabberState>(*this))
{
    ++vexcam::counters::liveGrabbers;
}

// Must not run on the grabber's own delivery thread: it joins that thread.
Grabber::~Grabber()
{
    stopLive();
    --vexcam::counters::liveGrabbers;
}

// Opening another device first closes the current one. A device that is not
// in the rig, or that the rig says does not open, leaves the grabber closed.
bool Grabber::openDev(const dstringa& name)
{
    closeDev();
    auto device = vexcam::Library::instance().findDevice(name.c_str());
    if (!device || !device->spec.opens) return false;
    Lock lock(state_->mutex);
    state_->device = std::move(device);
    state_->lost = false;
    state_->norm = 0;
    state_->channel = 0;
    state_->fps = 0.0;
    state_->selectDefaultFormat();
    return true;
}

bool Grabber::closeDev()
{
    stopLive();
    Lock lock(state_->mutex);
    if (!state_->device) return false;
    state_->device.reset();
    state_->lost = false;
    state_->norm = 0;
    state_->format = VideoFormatItem();
    state_->roiFormat = false;
    state_->fps = 0.0;
    state_->channel = 0;
    return true;
}

bool Grabber::isDevValid() const
{
    Lock lock(state_->mutex);
    return state_->isOpen();
}

VideoCaptureDeviceItem Grabber::getDev() const
{
    Lock lock(state_->mutex);
    return state_->device ? VideoCaptureDeviceItem(state_->device) : VideoCaptureDeviceItem();
}

ListHandle<VideoCaptureDeviceItem> Grabber::getAvailableVideoCaptureDevices_() const
{
    auto& library = vexcam::Library::instance();
    std::vector<VideoCaptureDeviceItem> items;
    for (auto& device : library.devices()) items.emplace_back(std::move(device));
    return vexcam::makeList(std::move(items), library.deviceListFault());
}

bool Grabber::isInputChannelAvailableWithCurDev() const
{
    Lock lock(state_->mutex);
    return state_->isOpen() && !state_->device->spec.channels.empty();
}

ListHandle<AnalogChannelItem> Grabber::getAvailableInputChannels_() const
{
    Lock lock(state_->mutex);
    std::vector<AnalogChannelItem> items;
    if (!state_->isOpen()) return vexcam::makeList(std::move(items), vexcam::ListFault::None);
    const auto& channels = state_->device->spec.channels;
    for (std::size_t i = 0; i < channels.size(); ++i)
        items.emplace_back(std::make_shared<detail::ChannelData>(detail::ChannelData{channels[i], std::int32_t(i)}));
    return vexcam::makeList(std::move(items), vexcam::listFault(state_->device->faults(), vexcam::ListKind::Channels));
}

AnalogChannelItem Grabber::getInputChannel() const
{
    Lock lock(state_->mutex);
    if (!state_->isOpen() || state_->channel >= state_->device->spec.channels.size()) return AnalogChannelItem();
    const auto index = state_->channel;
    return AnalogChannelItem(std::make_shared<detail::ChannelData>(
        detail::ChannelData{state_->device->spec.channels[index], std::int32_t(index)}));
}

bool Grabber::setInputChannel(std::uint32_t index)
{
    Lock lock(state_->mutex);
    if (!state_->isOpen() || index >= state_->device->spec.channels.size()) return false;
    state_->channel = index;
    return true;
}

smart_com<IVCDPropertyItems> Grabber::getAvailableVCDProperties() const
{
    std::shared_ptr<vexcam::PropertyStore> store;
    {
        Lock lock(state_->mutex);
        if (!state_->isOpen()) return {};
        store = state_->device->properties;
    }
    return smart_com<IVCDPropertyItems>(store->createItemsCollection());
}

} // namespace Vexlib
