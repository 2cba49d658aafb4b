#include "property_rig.h"

#include "imaqsim/warnings.h"
#include "common/task_mem.h"
#include "vexsim/vexsim.h"

#include <gtest/gtest.h>

namespace orx::test {

GUID testGuid(std::uint32_t number)
{
    return GUID{0x7E570000u + number, 0x1234, 0x5678, {0x9A, 0xBC, 0xDE, 0xF0, 0x12, 0x34, 0x56, 0x78}};
}

vexsim::DeviceSpec cameraDevice(std::vector<vexsim::ItemSpec> items)
{
    vexsim::DeviceSpec device;
    device.name = kCameraName;
    vexsim::DescriptionSpec description;
    description.colorformat = "Y800";
    description.minSize = {320, 240};
    description.maxSize = {640, 480};
    device.norms.push_back(vexsim::NormSpec{"", {vexsim::FormatSpec{"Y800", {640, 480}}}, {description}});
    device.frameRates.defaults = {30.0, 15.0};
    device.properties = std::move(items);
    return device;
}

vexsim::ElementSpec plainElement(std::string name, const GUID& id)
{
    vexsim::ElementSpec element;
    element.name = std::move(name);
    element.id = id;
    return element;
}

vexsim::ElementSpec integerElement(std::string name, const GUID& id, vexsim::IntegerRangeSpec range)
{
    auto element = plainElement(std::move(name), id);
    element.integerRange = range;
    return element;
}

vexsim::ElementSpec doubleElement(std::string name, const GUID& id, vexsim::DoubleRangeSpec range)
{
    auto element = plainElement(std::move(name), id);
    element.doubleRange = range;
    return element;
}

vexsim::ElementSpec listElement(std::string name, const GUID& id, vexsim::StringListSpec list)
{
    auto element = plainElement(std::move(name), id);
    element.stringList = std::move(list);
    return element;
}

vexsim::ElementSpec switchElement(std::string name, const GUID& id, std::int16_t state)
{
    auto element = plainElement(std::move(name), id);
    element.switchState = vexsim::SwitchSpec{state};
    return element;
}

vexsim::ElementSpec buttonElement(std::string name, const GUID& id)
{
    auto element = plainElement(std::move(name), id);
    element.button = vexsim::ButtonSpec{};
    return element;
}

vexsim::PropertyFault slotFault(vexsim::PropertyObject object, std::string item, std::string element,
                                int slot, HRESULT status, bool missingObject)
{
    vexsim::PropertyFault fault;
    fault.object = object;
    fault.item = std::move(item);
    fault.element = std::move(element);
    fault.slot = slot;
    fault.status = status;
    fault.missingObject = missingObject;
    return fault;
}

vexsim::ItemSpec integerItem(const std::string& name, vexsim::IntegerRangeSpec range)
{
    static std::uint32_t next = 1000;
    vexsim::ItemSpec item{name, testGuid(next++), {}};
    item.elements.push_back(integerElement("Value", Vexlib::ValueElementId, range));
    return item;
}

CameraLibrary::CameraLibrary(std::vector<vexsim::DeviceSpec> devices)
{
    vexsim::installRig(vexsim::Rig{std::move(devices)});
    EXPECT_TRUE(Vexlib::InitLibrary());
}

CameraLibrary::~CameraLibrary()
{
    Vexlib::ExitLibrary();
    vexsim::clearInstalledRig();
}

OpenCamera::OpenCamera(vexsim::DeviceSpec device) : name_(device.name)
{
    vexsim::installRig(vexsim::Rig{{std::move(device)}});
    EXPECT_TRUE(Vexlib::InitLibrary());
    grabber_ = std::make_unique<Vexlib::Grabber>();
    const auto name = copyToTaskMem(name_);
    grabber_->openDev(Vexlib::dstringa(name.get()));
}

OpenCamera::~OpenCamera()
{
    grabber_->closeDev();
    grabber_.reset();
    Vexlib::ExitLibrary();
    vexsim::clearInstalledRig();
}

void OpenCamera::setFaults(const vexsim::DeviceFaults& faults)
{
    EXPECT_TRUE(vexsim::setDeviceFaults(name_, faults));
}

void QuietWarningsTest::SetUp()
{
    LeakCheckedTest::SetUp();
    imaqsim::setWarningEcho(false);
    imaqsim::clearWarnings();
}

void QuietWarningsTest::TearDown()
{
    imaqsim::clearWarnings();
    imaqsim::setWarningEcho(true);
    vexsim::clearInstalledRig();
    LeakCheckedTest::TearDown();
}

} // namespace orx::test
