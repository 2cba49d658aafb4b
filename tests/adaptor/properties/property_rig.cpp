#include "property_rig.h"

#include "imaqhost/warnings.h"
#include "common/task_mem.h"
#include "vexcam/vexcam.h"
#include "vexcam/testing/camera_testing.h"

#include <gtest/gtest.h>

namespace orx::test {

GUID testGuid(std::uint32_t number)
{
    return GUID{0x7E570000u + number, 0x1234, 0x5678, {0x9A, 0xBC, 0xDE, 0xF0, 0x12, 0x34, 0x56, 0x78}};
}

vexcam::DeviceSpec cameraDevice(std::vector<vexcam::ItemSpec> items)
{
    vexcam::DeviceSpec device;
    device.name = kCameraName;
    vexcam::DescriptionSpec description;
    description.colorformat = "Y800";
    description.minSize = {320, 240};
    description.maxSize = {640, 480};
    device.norms.push_back(vexcam::NormSpec{"", {vexcam::FormatSpec{"Y800", {640, 480}}}, {description}});
    device.frameRates.defaults = {30.0, 15.0};
    device.properties = std::move(items);
    return device;
}

vexcam::ElementSpec plainElement(std::string name, const GUID& id)
{
    vexcam::ElementSpec element;
    element.name = std::move(name);
    element.id = id;
    return element;
}

vexcam::ElementSpec integerElement(std::string name, const GUID& id, vexcam::IntegerRangeSpec range)
{
    auto element = plainElement(std::move(name), id);
    element.integerRange = range;
    return element;
}

vexcam::ElementSpec doubleElement(std::string name, const GUID& id, vexcam::DoubleRangeSpec range)
{
    auto element = plainElement(std::move(name), id);
    element.doubleRange = range;
    return element;
}

vexcam::ElementSpec listElement(std::string name, const GUID& id, vexcam::StringListSpec list)
{
    auto element = plainElement(std::move(name), id);
    element.stringList = std::move(list);
    return element;
}

vexcam::ElementSpec switchElement(std::string name, const GUID& id, std::int16_t state)
{
    auto element = plainElement(std::move(name), id);
    element.switchState = vexcam::SwitchSpec{state};
    return element;
}

vexcam::ElementSpec buttonElement(std::string name, const GUID& id)
{
    auto element = plainElement(std::move(name), id);
    element.button = vexcam::ButtonSpec{};
    return element;
}

vexcam::PropertyFault slotFault(vexcam::PropertyObject object, std::string item, std::string element,
                                int slot, HRESULT status, bool missingObject)
{
    vexcam::PropertyFault fault;
    fault.object = object;
    fault.item = std::move(item);
    fault.element = std::move(element);
    fault.slot = slot;
    fault.status = status;
    fault.missingObject = missingObject;
    return fault;
}

vexcam::ItemSpec integerItem(const std::string& name, vexcam::IntegerRangeSpec range)
{
    static std::uint32_t next = 1000;
    vexcam::ItemSpec item{name, testGuid(next++), {}};
    item.elements.push_back(integerElement("Value", Vexlib::ValueElementId, range));
    return item;
}

CameraLibrary::CameraLibrary(std::vector<vexcam::DeviceSpec> devices)
{
    vexcam::installRig(vexcam::Rig{std::move(devices)});
    EXPECT_TRUE(Vexlib::InitLibrary());
}

CameraLibrary::~CameraLibrary()
{
    Vexlib::ExitLibrary();
    vexcam::clearInstalledRig();
}

OpenCamera::OpenCamera(vexcam::DeviceSpec device) : name_(device.name)
{
    vexcam::installRig(vexcam::Rig{{std::move(device)}});
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
    vexcam::clearInstalledRig();
}

void OpenCamera::setFaults(const vexcam::DeviceFaults& faults)
{
    EXPECT_TRUE(vexcam::setDeviceFaults(name_, faults));
}

void QuietWarningsTest::SetUp()
{
    LeakCheckedTest::SetUp();
    imaqhost::setWarningEcho(false);
    imaqhost::clearWarnings();
}

void QuietWarningsTest::TearDown()
{
    imaqhost::clearWarnings();
    imaqhost::setWarningEcho(true);
    vexcam::clearInstalledRig();
    LeakCheckedTest::TearDown();
}

} // namespace orx::test
