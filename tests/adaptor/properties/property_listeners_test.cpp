// The listeners that carry the host's property reads, writes and source
// changes to an adaptor, against the host stand-in and a simulated camera.
#include "engine/property_listeners.h"
#include "imaqhost/testing/video_input_inspector.h"

#include "adaptor/discovery.h"
#include "engine/create_instance.h"
#include "engine/orx_adaptor.h"
#include "properties/device_attributes.h"
#include "property_fakes.h"
#include "property_rig.h"
#include "support/leak_check.h"

#include "imaqhost/testing/accounting.h"
#include "imaqhost/session.h"
#include "imaqhost/warnings.h"
#include "vexcam/pattern.h"
#include "vexcam/vexcam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace orx::test {
namespace {

constexpr const char* kOpenFormat = "Y800 (640x480)";

imaqhost::EntryPoints inProcessEntryPoints()
{
    imaqhost::EntryPoints points;
    points.initializeAdaptor = &orx::initializeAdaptor;
    points.uninitializeAdaptor = &orx::uninitializeAdaptor;
    points.getAvailHW = &orx::getAvailHW;
    points.getDeviceAttributes = [](imaqkit::IDeviceInfo* deviceInfo, const char* formatName,
                                    imaqkit::IPropFactory* factory, imaqkit::IVideoSourceInfo* sources,
                                    imaqkit::ITriggerInfo*) {
        orx::getDeviceAttributes(deviceInfo, formatName, factory, sources);
    };
    points.createInstance = &orx::createInstance;
    return points;
}

vexcam::DeviceSpec listenerCamera()
{
    auto device = cameraDevice({integerItem("Gain", {0, 100, 10, 10})});
    device.serial = 0x77;
    device.frameRates.defaults = {120, 60};
    return device;
}

class PropertyListenersTest : public QuietWarningsTest {
protected:
    static std::unique_ptr<imaqhost::Session> startSession(vexcam::DeviceSpec device)
    {
        vexcam::installRig(vexcam::Rig{{std::move(device)}});
        return std::make_unique<imaqhost::Session>(inProcessEntryPoints());
    }

    static ORXadaptor& adaptorOf(imaqhost::VideoInput& input)
    {
        return dynamic_cast<ORXadaptor&>(imaqhost::inspect(input).adaptor());
    }
};

// Every device property gets a custom get function and one post-set listener.
TEST_F(PropertyListenersTest, DevicePropertiesGetBothListeners)
{
    auto session = startSession(listenerCamera());
    auto input = session->open(kCameraName, kOpenFormat);
    for (const char* name : {"SerialNo", "FrameRate", "Gain"}) {
        EXPECT_TRUE(imaqhost::inspect(*input).hasCustomGetFunction(name)) << name;
        EXPECT_EQ(imaqhost::inspect(*input).postSetListenerCount(name), 1u) << name;
    }
}

// A property whose information object answers false gets neither listener.
TEST_F(PropertyListenersTest, PropertyThatIsNotDeviceSpecificGetsNone)
{
    auto session = startSession(listenerCamera());
    imaqhost::OpenOptions options;
    options.notDeviceSpecific = {"Gain"};
    auto input = session->open(kCameraName, kOpenFormat, options);
    EXPECT_FALSE(imaqhost::inspect(*input).hasCustomGetFunction("Gain"));
    EXPECT_EQ(imaqhost::inspect(*input).postSetListenerCount("Gain"), 0u);
    EXPECT_TRUE(imaqhost::inspect(*input).hasCustomGetFunction("SerialNo"));
}

// The host's reads and writes reach the camera through the listeners.
TEST_F(PropertyListenersTest, HostReadsAndWritesReachTheCamera)
{
    auto session = startSession(listenerCamera());
    auto input = session->open(kCameraName, kOpenFormat);
    EXPECT_EQ(std::get<std::int32_t>(input->get("Gain")), 10);
    input->set("Gain", std::int32_t{64});
    EXPECT_EQ(std::get<std::int32_t>(input->get("Gain")), 64);
    EXPECT_EQ(std::get<std::int32_t>(input->get("SerialNo")), 77);
    EXPECT_EQ(adaptorOf(*input).camera().isLive(), false);
    EXPECT_TRUE(imaqhost::warnings().empty());
}

// A get or notify with a null value pointer does nothing.
TEST_F(PropertyListenersTest, NullValuePointersDoNothing)
{
    auto session = startSession(listenerCamera());
    auto input = session->open(kCameraName, kOpenFormat);
    ORXadaptor& adaptor = adaptorOf(*input);
    FakePropInfo info("Gain");
    PropListener getter(&adaptor);
    PropSetListener setter(&adaptor);
    EnginePropSetListener source(&adaptor);
    getter.getValue(&info, nullptr);
    setter.notify(&info, nullptr);
    source.notify(&info, nullptr);
    EXPECT_TRUE(imaqhost::warnings().empty());
    EXPECT_EQ(std::get<std::int32_t>(input->get("Gain")), 10);
}

// A listener for which the host has no storage is left out; the rest are registered.
TEST_F(PropertyListenersTest, ListenerWithoutStorageIsLeftOut)
{
    auto session = startSession(listenerCamera());
    auto input = session->open(kCameraName, kOpenFormat);
    imaqhost::failNextImaqmallocs(1000);
    registerPropertyListeners(adaptorOf(*input));
    imaqhost::failNextImaqmallocs(0);
    EXPECT_EQ(imaqhost::inspect(*input).postSetListenerCount("Gain"), 1u);

    imaqhost::failNextImaqmallocs(1); // the source listener's storage
    registerPropertyListeners(adaptorOf(*input));
    EXPECT_EQ(imaqhost::inspect(*input).postSetListenerCount("Gain"), 2u);
    EXPECT_TRUE(imaqhost::inspect(*input).hasCustomGetFunction("Gain"));
}

// A device that did not open still gets its listeners: a source change is harmless.
TEST_F(PropertyListenersTest, DeviceThatDidNotOpenStillListens)
{
    auto session = startSession(listenerCamera());
    session->discover();
    auto closed = listenerCamera();
    closed.opens = false;
    vexcam::installRig(vexcam::Rig{{closed}});
    auto input = session->open(kCameraName, kOpenFormat);
    EXPECT_TRUE(input->propertyNames().empty());
    EXPECT_NO_THROW(input->selectSource(kCameraName));
    EXPECT_TRUE(imaqhost::warnings().empty());
}

// Outside an acquisition a source change does nothing to the camera.
TEST_F(PropertyListenersTest, SourceChangeOutsideAcquisitionDoesNothing)
{
    auto session = startSession(listenerCamera());
    auto input = session->open(kCameraName, kOpenFormat);
    ASSERT_FALSE(input->isAcquisitionActive());
    input->selectSource(kCameraName);
    EXPECT_FALSE(adaptorOf(*input).camera().isLive());
    EXPECT_TRUE(imaqhost::warnings().empty());
}

// The camera's frame number of a received Y800 frame (it starts again at 0 with every live start).
std::uint32_t cameraFrameNumber(const imaqhost::FrameView& frame)
{
    std::uint32_t number = 0;
    EXPECT_TRUE(vexcam::pattern::verifyFrame(vexcam::PixelLayout::Gray8, frame.pixels, frame.width,
                                             frame.height, 0, 0, &number));
    return number;
}

// During an acquisition a source change halts and restarts capture: the camera's
// frame numbers start again, and the acquisition completes. The camera runs at
// its own rate, so that frames do not pile up ahead of the consumer.
TEST_F(PropertyListenersTest, SourceChangeDuringAcquisitionRestartsCapture)
{
    auto session = startSession(listenerCamera());
    auto input = session->open(kCameraName, kOpenFormat);
    std::vector<std::uint32_t> numbers;
    const auto record = [&](const imaqhost::FrameView& frame) { numbers.push_back(cameraFrameNumber(frame)); };
    // Capture runs until the stop, so the source change always meets it running.
    input->start(imaqhost::VideoInput::kUnlimitedFrames);
    input->getData(3, record);
    input->selectSource(kCameraName);
    // The restart may come a few frames later on a loaded machine: look at
    // up to 60 more frames for the numbers to start again.
    while (numbers.size() < 63 && std::is_sorted(numbers.begin(), numbers.end())) input->getData(1, record);
    input->stop();
    EXPECT_TRUE(input->wait(std::chrono::seconds(5)));
    EXPECT_EQ(input->statistics().end, imaqhost::AcquisitionEnd::Stopped);
    EXPECT_FALSE(std::is_sorted(numbers.begin(), numbers.end())) << "capture was not restarted";
    EXPECT_FALSE(adaptorOf(*input).camera().isLive());
}

// Without a source change the frame numbers only grow (the check above is not vacuous).
TEST_F(PropertyListenersTest, FrameNumbersGrowWithoutSourceChange)
{
    auto session = startSession(listenerCamera());
    auto input = session->open(kCameraName, kOpenFormat);
    std::vector<std::uint32_t> numbers;
    input->acquire(8, [&](const imaqhost::FrameView& frame) { numbers.push_back(cameraFrameNumber(frame)); });
    ASSERT_EQ(numbers.size(), 8u);
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
}

} // namespace
} // namespace orx::test
