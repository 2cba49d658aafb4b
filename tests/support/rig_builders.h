// Small builders for rigs in tests: a device is a few lines of data.
#pragma once

#include "support/leak_check.h"
#include "vexcam/rig.h"
#include "vexcam/vexcam.h"

#include <string>
#include <utility>
#include <vector>

namespace orx::test {

inline vexcam::FormatSpec format(std::string colorformat, std::int32_t width, std::int32_t height)
{
    return {std::move(colorformat), {width, height}};
}

// Accepts every size on the step grid between minimum and maximum.
inline vexcam::DescriptionSpec gridDescription(std::string colorformat, vexcam::Size minimum,
                                               vexcam::Size maximum, vexcam::Size step = {1, 1},
                                               bool roi = false)
{
    vexcam::DescriptionSpec description;
    description.colorformat = std::move(colorformat);
    description.minSize = minimum;
    description.maxSize = maximum;
    description.stepSize = step;
    description.roi = roi;
    return description;
}

// Accepts exactly the listed sizes.
inline vexcam::DescriptionSpec listedDescription(std::string colorformat, vexcam::Size minimum,
                                                 vexcam::Size maximum, std::vector<vexcam::Size> sizes)
{
    auto description = gridDescription(std::move(colorformat), minimum, maximum);
    description.acceptance = vexcam::SizeAcceptance::Listed;
    description.acceptedSizes = std::move(sizes);
    return description;
}

inline vexcam::DeviceSpec deviceWithoutNorms(std::string name, std::vector<vexcam::FormatSpec> formats,
                                             std::vector<vexcam::DescriptionSpec> descriptions)
{
    vexcam::DeviceSpec device;
    device.name = std::move(name);
    device.norms.push_back({"", std::move(formats), std::move(descriptions)});
    device.frameRates.defaults = {30.0, 15.0};
    return device;
}

inline vexcam::DeviceSpec deviceWithNorms(std::string name, std::vector<vexcam::NormSpec> norms)
{
    vexcam::DeviceSpec device;
    device.name = std::move(name);
    device.hasNorms = true;
    device.norms = std::move(norms);
    device.frameRates.defaults = {30.0};
    return device;
}

// A leak-checked test that installs its own rig and forgets it afterwards.
class RigTest : public LeakCheckedTest {
protected:
    void TearDown() override
    {
        vexcam::clearInstalledRig();
        LeakCheckedTest::TearDown();
    }
    static void install(std::vector<vexcam::DeviceSpec> devices)
    {
        vexcam::Rig rig;
        rig.devices = std::move(devices);
        vexcam::installRig(std::move(rig));
    }
};

} // namespace orx::test
