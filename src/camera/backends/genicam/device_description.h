// A camera as the library describes a device: its name, serial number,
// formats (one per pixel format the library delivers), frame rates and
// property tree.
#pragma once

#include "camera.h"
#include "feature_tree.h"

#include "vexcam/rig.h"

#include <memory>
#include <string>
#include <vector>

namespace vexcam::genicam {

struct DeviceDescription {
    DeviceSpec spec;
    Size sensor;
    std::vector<std::string> pixelFormats; // the camera's, that the library delivers
    FeatureTree tree;
};

// "<vendor> <model> <serial>", the parts that are there; the device id
// when none is.
std::string deviceName(const char* vendor, const char* model, const char* serial, const char* id);

// The rate list of a format: the camera's highest rate, then halving, down
// to its lowest (at most 12 rates, in hundredths).
std::vector<double> rateList(double lowest, double highest);

DeviceDescription describe(const std::shared_ptr<Camera>& camera, const std::string& name);

} // namespace vexcam::genicam
