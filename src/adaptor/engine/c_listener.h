// CListener: the grabber listener of an adaptor. The camera library calls it
// on its delivery thread for every filled buffer and when the device is lost.
#pragma once

#include "platform/vexlib.h"

namespace orx {

class ORXadaptor;

class CListener final : public Vexlib::GrabberListener {
public:
    void deviceLost(Vexlib::Grabber& caller) override;
    void frameReady(Vexlib::Grabber& caller, Vexlib::refcount_ptr<Vexlib::MemBuffer> buffer,
                    std::uint32_t frameNumber) override;

    // Written by start capture before the grabber goes live.
    ORXadaptor* owner = nullptr;
    // True: the buffer holds exactly the region; false: the full image.
    bool roiFormat = false;
};

} // namespace orx
