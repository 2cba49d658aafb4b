// The listeners through which the host reaches an adaptor's device
// properties and reports a change of the selected video source. Each lives in
// imaqmalloc storage, belongs to the host once registered and holds a
// non-owning pointer to its adaptor.
#pragma once

#include "platform/imaqkit.h"

namespace orx {

class ORXadaptor;

// The custom get function of a device property.
class PropListener final : public imaqkit::IPropCustomGetFcn {
public:
    explicit PropListener(ORXadaptor* adaptor) noexcept : adaptor_(adaptor) {}
    void getValue(imaqkit::IPropInfo* info, void* value) override;

private:
    ORXadaptor* adaptor_;
};

// Told after the host accepted a new value of a device property.
class PropSetListener final : public imaqkit::IPropPostSetListener {
public:
    explicit PropSetListener(ORXadaptor* adaptor) noexcept : adaptor_(adaptor) {}
    void notify(imaqkit::IPropInfo* info, void* newValue) override;

private:
    ORXadaptor* adaptor_;
};

// Told after "SelectedSourceName" changed: restarts a running acquisition.
class EnginePropSetListener : public imaqkit::IEnginePropPostSetListener {
public:
    explicit EnginePropSetListener(ORXadaptor* adaptor) noexcept : adaptor_(adaptor) {}
    void notify(imaqkit::IPropInfo* info, void* newValue) override;
    virtual void applySourceChange(); // slot 2

private:
    ORXadaptor* adaptor_;
};

// Registers the listeners with the host's property containers; the last step
// of the adaptor's construction, whether or not its device opened.
void registerPropertyListeners(ORXadaptor& adaptor);

} // namespace orx
