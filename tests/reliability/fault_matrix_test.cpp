// Every fault the simulated camera and host can inject, each run end to end
// through the entry points: what the user sees, that nothing leaked, and that
// the adaptor goes on once the fault is gone.
#include "journey.h"
#include "reference_rig.h"
#include "support/adaptor_session.h"

#include "imaqhost/testing/accounting.h"
#include "win32seam/testing/win32_seam.h"
#include "vexcam/testing/camera_testing.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace orx::test {
namespace {

using vexcam::ListFault;
using vexcam::ListKind;
using vexcam::PropertyObject;
using Texts = std::vector<std::string>;

constexpr const char* kLiveRefused =
    "Failed to start the live video. Is the camera already in use by another program?";
constexpr HRESULT kStatus = E_FAIL;

// How a case shows that the adaptor goes on after the fault is gone.
enum class GoesOn {
    SameInput, // the video input of the journey acquires again
    NewInput,  // only a new video input does (the device went away)
};

// One fault: how it is injected, and what the user must see.
struct FaultCase {
    std::string name;
    std::string deviceName = kCamera;
    std::function<void(vexcam::Rig&)> rigChange; // changes the rig before the library starts
    std::function<void(JourneyStage)> stageHook; // arms a fault just in time
    Texts seen;                                  // transcript lines that must appear
    Texts warnings;                              // every warning, in order
    Texts boxes;                                 // every box as "caption | text"
    GoesOn goesOn = GoesOn::SameInput;

    explicit FaultCase(std::string caseName) : name(std::move(caseName)) {}
    FaultCase& on(std::string device) { deviceName = std::move(device); return *this; }
    FaultCase& injecting(std::function<void(vexcam::Rig&)> change) { rigChange = std::move(change); return *this; }
    FaultCase& arming(std::function<void(JourneyStage)> arm) { stageHook = std::move(arm); return *this; }
    FaultCase& sees(std::string line) { seen.push_back(std::move(line)); return *this; }
    FaultCase& warns(std::string text) { warnings.push_back(std::move(text)); return *this; }
    FaultCase& shows(std::string caption, std::string text)
    {
        boxes.push_back(std::move(caption) + " | " + std::move(text));
        return *this;
    }
    FaultCase& goesOnOnlyWithNewInput() { goesOn = GoesOn::NewInput; return *this; }
};

void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << c.name;
}

std::function<void(vexcam::Rig&)> deviceFault(const std::string& device,
                                              std::function<void(vexcam::DeviceFaults&)> change)
{
    return [=](vexcam::Rig& rig) { change(deviceNamed(rig, device).faults); };
}

std::function<void(vexcam::Rig&)> listFault(const std::string& device, ListKind kind, ListFault fault)
{
    return deviceFault(device, [=](vexcam::DeviceFaults& faults) { faults.lists[kind] = fault; });
}

std::function<void(vexcam::Rig&)> slotFault(PropertyObject object, std::string item, std::string element, int slot,
                                            HRESULT status = kStatus, bool missingObject = false)
{
    vexcam::PropertyFault fault;
    fault.object = object;
    fault.item = std::move(item);
    fault.element = std::move(element);
    fault.slot = slot;
    fault.status = status;
    fault.missingObject = missingObject;
    return deviceFault(kCamera, [=](vexcam::DeviceFaults& faults) { faults.properties.push_back(fault); });
}

std::function<void(vexcam::Rig&)> missingObject(PropertyObject object, std::string item, std::string element, int slot)
{
    return slotFault(object, std::move(item), std::move(element), slot, S_OK, true);
}

// Refuses the storage of the first two listeners (the source listener and the
// first device property's get function): the construction's format box is the
// last thing the adaptor does before it registers them.
std::function<void(JourneyStage)> failListenerStorage()
{
    auto recorder = std::make_shared<win32seam::MessageBoxHook>();
    return [recorder](JourneyStage stage) {
        if (stage == JourneyStage::Open) {
            *recorder = win32seam::setMessageBoxHook([recorder](const win32seam::MessageBoxCall& call) {
                if (*recorder) (*recorder)(call);
                if (call.caption == kCamera) imaqhost::failNextImaqmallocs(2);
            });
        } else if (stage == JourneyStage::Properties) {
            win32seam::setMessageBoxHook(*recorder);
        }
    };
}

class StreamingFaultMatrix : public AdaptorSessionTest, public ::testing::WithParamInterface<FaultCase> {
protected:
    Texts boxTexts() const
    {
        Texts texts;
        for (const auto& box : boxes_.boxes()) texts.push_back(box.caption + " | " + box.text);
        return texts;
    }

    void clearFaults()
    {
        imaqhost::failNextImaqmallocs(0);
        imaqhost::failNextMakeFrames(0);
        vexcam::setDeviceListFault(ListFault::None);
        vexcam::setDeviceFaults(kCamera, {});
        vexcam::setDeviceFaults(kConverter, {});
        imaqhost::clearWarnings();
        boxes_.clear();
    }

    // A new video input on the repaired rig acquires without a word.
    void expectNewInputWorks(const std::string& device)
    {
        vexcam::installRig(referenceRig());
        auto journey = runJourney(session(), device);
        EXPECT_TRUE(contains(journey.transcript, "acquire 3: completed, received 3, refused 0"))
            << ::testing::PrintToString(journey.transcript);
        EXPECT_EQ(warningTexts(), Texts{});
        EXPECT_EQ(boxTexts(), Texts{});
    }
};

// The user sees exactly the listed warnings and boxes, the process goes on,
// nothing leaks, and the adaptor works again once the fault is gone.
TEST_P(StreamingFaultMatrix, UserSeesTheFaultAndTheAdaptorGoesOn)
{
    const FaultCase& c = GetParam();
    auto rig = referenceRig();
    if (c.rigChange) c.rigChange(rig);
    vexcam::installRig(rig);
    JourneyOptions options;
    options.beforeStage = c.stageHook;

    auto journey = runJourney(session(), c.deviceName, options);
    const auto transcript = ::testing::PrintToString(journey.transcript);
    for (const auto& line : c.seen) EXPECT_TRUE(contains(journey.transcript, line)) << line << "\n" << transcript;
    EXPECT_EQ(warningTexts(), c.warnings) << transcript;
    EXPECT_EQ(boxTexts(), c.boxes) << transcript;

    clearFaults();
    if (c.goesOn == GoesOn::SameInput && journey.input) {
        const auto stats = journey.input->acquire(2);
        EXPECT_EQ(stats.end, imaqhost::AcquisitionEnd::Completed);
        EXPECT_EQ(warningTexts(), Texts{});
    }
    journey.input.reset();
    expectNewInputWorks(c.deviceName);
}

constexpr const char* kStatusText = "the adaptor raised status -2147467259 (0x80004005).";
constexpr const char* kFirstFormat = "Y800 (16x4)";
constexpr const char* kOpenedFormat = "Y800 (128x96)";
constexpr const char* kCompleted = "acquire 3: completed, received 3, refused 0";

std::string attributesFail(const std::string& format)
{
    return "attributes " + format + ": error: Reading the attributes of \"" + kCamera + "\" in format \"" + format +
           "\" failed: " + kStatusText;
}

std::string openFailsOnAttributes()
{
    return "open " + std::string(kOpenedFormat) + ": error: Reading the attributes of \"" + kCamera +
           "\" in format \"" + kOpenedFormat + "\" failed: " + kStatusText;
}

std::string getFails(const std::string& name)
{
    return "get " + name + ": error: Reading property \"" + name + "\" failed: " + kStatusText;
}

std::string setFails(const std::string& name)
{
    return "set " + name + ": error: Setting property \"" + name + "\" failed: " + kStatusText;
}

std::vector<FaultCase> faultCases()
{
    std::vector<FaultCase> cases;
    auto add = [&](FaultCase& c) { cases.push_back(std::move(c)); };

    // The device and the live stream.
    add(FaultCase("DeviceDoesNotOpen")
            .arming([](JourneyStage stage) {
                if (stage != JourneyStage::Attributes) return;
                auto rig = referenceRig();
                deviceNamed(rig, kCamera).opens = false;
                vexcam::installRig(rig);
            })
            .sees("attributes Y800 (16x4): 0 properties, 1 source")
            .sees("open Y800 (128x96): ok")
            .sees("region 0,0,1,1: error: Region [0, 0, 1, 1] does not fit the 0x0 image.")
            .sees("acquire 3: timeout, received 0, refused 0")
            .warns("Unable to stop live. Device Invalid.")
            .goesOnOnlyWithNewInput());
    add(FaultCase("NormRefused")
            .on(kConverter)
            .injecting(deviceFault(kConverter, [](auto& f) { f.refuseNorm = true; }))
            .sees("open PAL_B:RGB24 (64x48): ok") // the first norm's formats, listed again under PAL_B
            .sees(kCompleted)
            .shows("PAL_B:RGB24 (64x48)", "Failed to set videoformat")
            .shows(kConverter, "Error: failed to set video norm!\n Please use \"norm:format\" string."));
    add(FaultCase("FormatRefused")
            .injecting(deviceFault(kCamera, [](auto& f) { f.refuseFormat = true; }))
            .sees("region 32,24,64,48: now 32,24,128,96") // the format stays
            .sees(kCompleted)
            .shows(kFirstFormat, "Failed to set videoformat")
            .shows(kOpenedFormat, "Failed to set videoformat")
            .shows(kCamera, "Error: failed to set video format!"));
    add(FaultCase("LiveRefused")
            .injecting(deviceFault(kCamera, [](auto& f) { f.refuseLive = true; }))
            .sees("acquire 3: start refused, received 0, refused 0")
            .warns(kLiveRefused));
    add(FaultCase("LiveThrowsStatus")
            .injecting(deviceFault(kCamera, [](auto& f) { f.liveThrows = kStatus; }))
            .sees("acquire 3: start refused, received 0, refused 0")
            .warns(kLiveRefused));
    add(FaultCase("DeviceLostDuringAcquisition")
            .injecting(deviceFault(kCamera, [](auto& f) { f.lostAfterFrames = 2; }))
            .sees("acquire 3: device lost, received 2, refused 0")
            .warns("The device is lost.")
            .warns("Unable to stop live. Device Invalid.")
            .shows("ORX_IMAQ Error", "Device lost!")
            .goesOnOnlyWithNewInput());

    // Lists the camera library answers empty or not at all: as if empty.
    for (ListFault fault : {ListFault::Empty, ListFault::Missing}) {
        const std::string how = fault == ListFault::Empty ? "Empty" : "Missing";
        add(FaultCase("DeviceList" + how)
                .injecting([fault](vexcam::Rig& rig) { rig.deviceList = fault; })
                .sees("no devices"));
        add(FaultCase("NormList" + how)
                .on(kConverter)
                .injecting(listFault(kConverter, ListKind::Norms, fault))
                .sees("device 2 ORX Reliable Converter: added, 0 formats"));
        add(FaultCase("FormatList" + how)
                .on(kConverter)
                .injecting(listFault(kConverter, ListKind::Formats, fault))
                .sees("device 2 ORX Reliable Converter: added, 0 formats"));
        add(FaultCase("DescriptionList" + how)
                .injecting(listFault(kCamera, ListKind::Descriptions, fault))
                .sees("device 1 ORX Reliable Cam: left out, 0 formats")
                .warns("Unable to load formats of: \"ORX Reliable Cam\"."));
        add(FaultCase("FpsList" + how)
                .on(kConverter)
                .injecting(listFault(kConverter, ListKind::Fps, fault))
                .sees("attributes NTSC_M:Y800 (64x48): 1 properties, 1 source") // no "FrameRate"
                .sees(kCompleted));
        add(FaultCase("FrameRateList" + how)
                .on(kConverter)
                .injecting(listFault(kConverter, ListKind::FrameRates, fault))
                .sees("get FrameRate: 25.00") // the host's stored value: the camera has no rate to name
                .sees(kCompleted));
        add(FaultCase("ChannelList" + how)
                .injecting(listFault(kCamera, ListKind::Channels, fault))
                .sees("attributes Y800 (16x4): 6 properties, 1 source") // no "InputChannel"
                .sees(kCompleted));
        add(FaultCase("PropertyList" + how)
                .injecting(listFault(kCamera, ListKind::Properties, fault))
                .sees("attributes Y800 (16x4): 2 properties, 1 source")
                .sees("region 32,24,64,48: now 0,0,64,48") // no partial-scan offsets to move
                .sees(kCompleted));
    }
    add(FaultCase("DescriptionEntryMissing")
            .injecting([](vexcam::Rig& rig) {
                auto& camera = deviceNamed(rig, kCamera);
                auto second = camera.norms[0].descriptions[0];
                second.colorformat = "Y16";
                camera.norms[0].descriptions.push_back(second);
                camera.faults.missingDescriptions = {1};
            })
            .sees("device 1 ORX Reliable Cam: added, 2 formats") // the Y800 formats only
            .sees(kCompleted));

    // Property objects not delivered, and texts handed out as null BSTRs.
    add(FaultCase("ItemMissingAtPosition")
            .injecting(missingObject(PropertyObject::Items, "", "", 8))
            .sees("attributes Y800 (16x4): 2 properties, 1 source")
            .sees(kCompleted));
    add(FaultCase("ElementMissingAtPosition")
            .injecting(missingObject(PropertyObject::Elements, "Exposure", "", 8))
            .sees("attributes Y800 (16x4): 5 properties, 1 source")
            .sees(kCompleted));
    add(FaultCase("ItemNameNullBstr")
            .injecting(missingObject(PropertyObject::Item, "Brightness", "", 7))
            .sees("get : 10") // the item's name reads as empty
            .sees(kCompleted));
    add(FaultCase("ElementNameNullBstr")
            .injecting(missingObject(PropertyObject::Element, "Exposure", "Auto", 10))
            .sees("get ExposureAuto: Enable") // named by its identifier; not called "Auto", so Disable/Enable
            .sees(kCompleted));
    add(FaultCase("ListTextNullBstr")
            .injecting(missingObject(PropertyObject::Texts, "Strobe Mode", "Value", 8))
            .sees("get StrobeMode: ")
            .sees(kCompleted));

    // A negative status from a slot that publication reads: the attributes
    // fail, and so does every video input on the device.
    struct SlotCase {
        const char* name;
        PropertyObject object;
        const char* item;
        const char* element;
        int slot;
    };
    for (const SlotCase& slot : {
             SlotCase{"ItemCount", PropertyObject::Items, "", "", 9},
             SlotCase{"ItemName", PropertyObject::Item, "Brightness", "", 7},
             SlotCase{"ItemElements", PropertyObject::Item, "Exposure", "", 8},
             SlotCase{"ElementCount", PropertyObject::Elements, "Exposure", "", 9},
             SlotCase{"ElementName", PropertyObject::Element, "Exposure", "Auto", 10},
             SlotCase{"RangeMinimum", PropertyObject::IntegerRange, "Brightness", "Value", 15},
             SlotCase{"RangeMaximum", PropertyObject::IntegerRange, "Brightness", "Value", 16},
             SlotCase{"RangeDefault", PropertyObject::IntegerRange, "Brightness", "Value", 17},
             SlotCase{"DoubleMinimum", PropertyObject::DoubleRange, "Exposure", "Value", 15},
             SlotCase{"DoubleMaximum", PropertyObject::DoubleRange, "Exposure", "Value", 16},
             SlotCase{"DoubleDefault", PropertyObject::DoubleRange, "Exposure", "Value", 17},
             SlotCase{"StringListTexts", PropertyObject::StringList, "Strobe Mode", "Value", 19},
             SlotCase{"StringListTextCount", PropertyObject::Texts, "Strobe Mode", "Value", 9},
             SlotCase{"StringListText", PropertyObject::Texts, "Strobe Mode", "Value", 8},
         })
        add(FaultCase(std::string(slot.name) + "Fails")
                .injecting(slotFault(slot.object, slot.item, slot.element, slot.slot))
                .sees(attributesFail(kFirstFormat))
                .sees(openFailsOnAttributes()));

    // A negative status from a slot used only at run time: that one read or
    // write fails, the rest of the journey goes on.
    add(FaultCase("RangeValueGetFails")
            .injecting(slotFault(PropertyObject::IntegerRange, "Brightness", "Value", 13))
            .sees(getFails("Brightness"))
            .sees(kCompleted));
    add(FaultCase("RangeValuePutFails")
            .injecting(slotFault(PropertyObject::IntegerRange, "Brightness", "Value", 14))
            .sees(setFails("Brightness"))
            .sees(kCompleted));
    add(FaultCase("DoubleValueGetFails")
            .injecting(slotFault(PropertyObject::DoubleRange, "Exposure", "Value", 13))
            .sees(getFails("Exposure"))
            .sees(kCompleted));
    add(FaultCase("DoubleValuePutFails")
            .injecting(slotFault(PropertyObject::DoubleRange, "Exposure", "Value", 14))
            .sees(setFails("Exposure"))
            .sees(kCompleted));
    add(FaultCase("SwitchGetFails")
            .injecting(slotFault(PropertyObject::Switch, "Exposure", "Auto", 13))
            .sees(getFails("ExposureAuto"))
            .sees(kCompleted));
    add(FaultCase("SwitchPutFails")
            .injecting(slotFault(PropertyObject::Switch, "Exposure", "Auto", 14))
            .sees(setFails("ExposureAuto"))
            .sees(kCompleted));
    add(FaultCase("ButtonPushFails")
            .injecting(slotFault(PropertyObject::Button, "White Balance", "One Push", 13))
            .sees(setFails("WhiteBalanceOnePush"))
            .sees(kCompleted));
    // The region is read for every image too: one warning per read.
    add(FaultCase("PartialScanOffsetGetFails")
            .injecting(slotFault(PropertyObject::IntegerRange, "Partial Scan Offset", "X Offset", 13))
            .sees("region 32,24,64,48: now 0,0,64,48")
            .sees(kCompleted)
            .warns("The camera is not available.")
            .warns("The camera is not available.")
            .warns("The camera is not available.")
            .warns("The camera is not available."));
    add(FaultCase("PartialScanOffsetPutFails")
            .injecting(slotFault(PropertyObject::IntegerRange, "Partial Scan Offset", "X Offset", 14))
            .sees("region 32,24,64,48: now 0,0,64,48")
            .sees(kCompleted)
            .warns("Error at PartialScanOffset Value"));
    add(FaultCase("AutoCenterPutFails")
            .injecting(slotFault(PropertyObject::Switch, "Partial Scan Offset", "Auto-center", 14))
            .sees("region 32,24,64,48: now 32,24,64,48") // the offsets are written all the same
            .sees(kCompleted)
            .warns("Error at PartialScanOffsetAutoCenter Switch"));
    add(FaultCase("FindInterfaceAnswersPositive")
            .injecting(slotFault(PropertyObject::Element, "Brightness", "Value", 13, S_FALSE))
            .sees("attributes Y800 (16x4): 6 properties, 1 source") // no "Brightness"
            .sees(kCompleted));
    add(FaultCase("FindInterfaceByPathAnswersPositive")
            .injecting(slotFault(PropertyObject::Items, "", "", 17, S_FALSE))
            .sees("region 32,24,64,48: now 0,0,64,48")
            .sees(kCompleted));

    // The host refusing frames and memory.
    add(FaultCase("HostRefusesFrame")
            .arming([](JourneyStage stage) {
                if (stage == JourneyStage::Acquisition) imaqhost::failNextMakeFrames(1);
            })
            .sees("acquire 3: completed, received 3, refused 1")
            .warns("Failed to create a new Matlab frame.")
            .shows("ORX_IMAQ Error", "Failed to create a new frame."));
    add(FaultCase("NoStorageForAdaptor")
            .arming([](JourneyStage stage) {
                if (stage == JourneyStage::Open) imaqhost::failNextImaqmallocs(1);
            })
            .sees("open Y800 (128x96): error: The adaptor could not create a video input on \"ORX Reliable Cam\" in "
                  "format \"Y800 (128x96)\"."));
    add(FaultCase("NoStorageForListener")
            .injecting(deviceFault(kCamera, [](auto& f) { f.refuseFormat = true; }))
            .arming(failListenerStorage())
            .sees("get SerialNo: 0") // no get function: the host's stored value
            .sees(kCompleted)
            .shows(kFirstFormat, "Failed to set videoformat")
            .shows(kOpenedFormat, "Failed to set videoformat")
            .shows(kCamera, "Error: failed to set video format!"));
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Faults, StreamingFaultMatrix, ::testing::ValuesIn(faultCases()),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace orx::test
