// Small simulated cameras for the property bridge's tests: a rig built in
// code, the camera library started on it and the device open on a grabber.
#pragma once

#include "platform/vexlib.h"
#include "support/leak_check.h"
#include "vexcam/rig.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orx::test {

inline constexpr const char* kCameraName = "ORX Test Camera";

// A distinct identifier that no table of the bridge knows.
GUID testGuid(std::uint32_t number);

// A camera without norms: a Y800 640x480 format and a Y800 description from
// 320x240 to 640x480, rates 30 and 15, no serial number, no channels, the
// given property items.
vexcam::DeviceSpec cameraDevice(std::vector<vexcam::ItemSpec> items = {});

// Elements offering one typed interface (or none); further ones can be added
// to the returned value.
vexcam::ElementSpec plainElement(std::string name, const GUID& id);
vexcam::ElementSpec integerElement(std::string name, const GUID& id, vexcam::IntegerRangeSpec range);
vexcam::ElementSpec doubleElement(std::string name, const GUID& id, vexcam::DoubleRangeSpec range);
vexcam::ElementSpec listElement(std::string name, const GUID& id, vexcam::StringListSpec list);
vexcam::ElementSpec switchElement(std::string name, const GUID& id, std::int16_t state = 0);
vexcam::ElementSpec buttonElement(std::string name, const GUID& id);

// A fault of one slot of one property object (items by name, elements by name).
vexcam::PropertyFault slotFault(vexcam::PropertyObject object, std::string item, std::string element,
                                int slot, HRESULT status = E_FAIL, bool missingObject = false);

// An item of that name with one "Value" element offering an integer range.
vexcam::ItemSpec integerItem(const std::string& name, vexcam::IntegerRangeSpec range);

// The camera library started on a rig of one device, which is open on a
// grabber while the object lives.
class OpenCamera {
public:
    explicit OpenCamera(vexcam::DeviceSpec device);
    ~OpenCamera();
    OpenCamera(const OpenCamera&) = delete;
    OpenCamera& operator=(const OpenCamera&) = delete;

    Vexlib::Grabber& grabber() { return *grabber_; }
    // Replaces the device's faults while it is open.
    void setFaults(const vexcam::DeviceFaults& faults);

private:
    std::string name_;
    std::unique_ptr<Vexlib::Grabber> grabber_;
};

// The camera library started on a rig, without a grabber.
class CameraLibrary {
public:
    explicit CameraLibrary(std::vector<vexcam::DeviceSpec> devices);
    ~CameraLibrary();
    CameraLibrary(const CameraLibrary&) = delete;
    CameraLibrary& operator=(const CameraLibrary&) = delete;
};

// A leak-checked test whose warnings are kept quiet and forgotten, with any
// rig it installed.
class QuietWarningsTest : public LeakCheckedTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace orx::test
