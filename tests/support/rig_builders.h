// Small builders for rigs in tests: a device is a few lines of data.
#pragma once

#include "support/leak_check.h"
#include "vexsim/rig.h"
#include "vexsim/vexsim.h"

#include <string>
#include <utility>
#include <vector>

namespace orx::test {

inline vexsim::FormatSpec format(std::string colorformat, std::int32_t width, std::int32_t height)
{
    return {std::move(colorformat), {width, height}};
}

// Accepts every size on the step grid between minimum and maximum.
inline vexsim::DescriptionSpec gridDescription(std::string colorformat, vexsim::Size minimum,
                                               vexsim::Size maximum, vexsim::Size step = {1, 1},
                                               bool roi = false)
{
    vexsim::DescriptionSpec description;
    description.colorformat = std::move(colorformat);
    description.minSize = minimum;
    description.maxSize = maximum;
    description.stepSize = step;
    description.roi = roi;
    return description;
}

// Accepts exactly the listed sizes.
inline vexsim::DescriptionSpec listedDescription(std::string colorformat, vexsim::Size minimum,
                                                 vexsim::Size maximum, std::vector<vexsim::Size> sizes)
{
    auto description = gridDescription(std::move(colorformat), minimum, maximum);
    description.acceptance = vexsim::SizeAcceptance::Listed;
    description.acceptedSizes = std::move(sizes);
    return description;
}

inline vexsim::DeviceSpec deviceWithoutNorms(std::string name, std::vector<vexsim::FormatSpec> formats,
                                             std::vector<vexsim::DescriptionSpec> descriptions)
{
    vexsim::DeviceSpec device;
    device.name = std::move(name);
    device.norms.push_back({"", std::move(formats), std::move(descriptions)});
    device.frameRates.defaults = {30.0, 15.0};
    return device;
}

inline vexsim::DeviceSpec deviceWithNorms(std::string name, std::vector<vexsim::NormSpec> norms)
{
    vexsim::DeviceSpec device;
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
        vexsim::clearInstalledRig();
        LeakCheckedTest::TearDown();
    }
    static void install(std::vector<vexsim::DeviceSpec> devices)
    {
        vexsim::Rig rig;
        rig.devices = std::move(devices);
        vexsim::installRig(std::move(rig));
    }
};

} // namespace orx::test
