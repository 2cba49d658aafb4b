// The adaptor's entry points called in-process: the module's own exported
// functions, linked into the test program, so that a host session can drive
// the adaptor without loading the module.
#pragma once

#include "adaptor/exports.h"
#include "imaqhost/adaptor_module.h"

namespace orx::test {

inline imaqhost::EntryPoints coreEntryPoints()
{
    imaqhost::EntryPoints entry;
    entry.initializeAdaptor = &::initializeAdaptor;
    entry.uninitializeAdaptor = &::uninitializeAdaptor;
    entry.getAvailHW = &::getAvailHW;
    entry.getDeviceAttributes = &::getDeviceAttributes;
    entry.createInstance = &::createInstance;
    return entry;
}

} // namespace orx::test
