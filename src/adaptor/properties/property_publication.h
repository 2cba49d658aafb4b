// Declares the camera's own properties to the host: one host property for
// each typed interface of each element, under one naming rule that run-time
// access recomputes to find the element again.
#pragma once

#include "platform/imaqkit.h"
#include "platform/vexlib.h"

#include <string>

namespace orx {

// Publishes every element of every item of the open grabber's camera.
void publishCameraProperties(Vexlib::Grabber& grabber, imaqkit::IPropFactory& factory);

// The item's name with every blank removed.
std::string itemPartOf(Vexlib::PropertyItem& item);

// The host property name of one element (also written as a debugger line).
std::string publishedPropertyName(const std::string& itemPart, Vexlib::PropertyElement& element);

// Each publishes the element through one interface kind when the element
// offers it, and tells whether a property was published.
bool publishAsIntegerRange(const std::string& name, Vexlib::PropertyElement& element,
                           imaqkit::IPropFactory& factory);
bool publishAsButton(const std::string& name, Vexlib::PropertyElement& element,
                     imaqkit::IPropFactory& factory);
bool publishAsSwitch(const std::string& name, Vexlib::PropertyElement& element,
                     imaqkit::IPropFactory& factory);
bool publishAsStringList(const std::string& name, Vexlib::PropertyElement& element,
                         imaqkit::IPropFactory& factory);
bool publishAsDoubleRange(const std::string& name, Vexlib::PropertyElement& element,
                          imaqkit::IPropFactory& factory);

} // namespace orx
