// Shared pieces of the camera library tests: a fixture that starts the
// library with a rig and proves that nothing leaked, and small helpers.
#pragma once

#include "support/leak_check.h"

#include "common/bstr.h"
#include "common/com_ptr.h"
#include "common/guid_text.h"
#include "common/task_mem.h"
#include "common/to_utf8.h"
#include "platform/vexlib.h"
#include "vexcam/vexcam.h"
#include "vexcam/testing/camera_testing.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace vexcam::test {

class CameraTest : public orx::test::LeakCheckedTest {
protected:
    void SetUp() override
    {
        LeakCheckedTest::SetUp();
        grabbersBefore_ = liveGrabbers();
        buffersBefore_ = liveBuffers();
        locksBefore_ = lockedBuffers();
    }

    void TearDown() override
    {
        for (; initCount_ > 0; --initCount_) Vexlib::ExitLibrary();
        clearInstalledRig();
        setFreeRunning(false);
        setPatternGeneration(true);
        EXPECT_EQ(liveGrabbers(), grabbersBefore_) << "a grabber was left alive";
        EXPECT_EQ(runningStreams(), 0) << "a delivery thread was left running";
        EXPECT_EQ(liveBuffers(), buffersBefore_) << "an image buffer was left alive";
        EXPECT_EQ(lockedBuffers(), locksBefore_) << "an image buffer was left locked";
        LeakCheckedTest::TearDown();
    }

    void useRig(std::string_view json)
    {
        installRig(parseRig(json, "test rig"));
        start();
    }

    void useDefaultRig()
    {
        installRig(defaultRig());
        start();
    }

    void start()
    {
        ASSERT_TRUE(Vexlib::InitLibrary());
        ++initCount_;
    }

    void stop()
    {
        Vexlib::ExitLibrary();
        --initCount_;
    }

private:
    int initCount_ = 0;
    std::int64_t grabbersBefore_ = 0;
    std::int64_t buffersBefore_ = 0;
    std::int64_t locksBefore_ = 0;
};

// A wide text from the library as UTF-8; the library's buffer is freed.
inline std::string takeText(WCHAR* text)
{
    const auto owned = orx::TaskMem<WCHAR>::attach(text);
    return orx::toUtf8(owned.get());
}

template <class T>
std::vector<T> copyList(const Vexlib::ListHandle<T>& list)
{
    return list ? *list : std::vector<T>{};
}

inline bool openDevice(Vexlib::Grabber& grabber, const std::string& name)
{
    const auto text = orx::copyToTaskMem(name);
    return grabber.openDev(Vexlib::dstringa(text.get()));
}

inline bool selectFormat(Vexlib::Grabber& grabber, const std::string& name)
{
    const auto text = orx::copyToTaskMem(name);
    return grabber.setVideoFormat(Vexlib::dstringa(text.get()));
}

inline bool selectNorm(Vexlib::Grabber& grabber, const std::string& name)
{
    const auto text = orx::copyToTaskMem(name);
    return grabber.setVideoNorm(Vexlib::dstringa(text.get()));
}

// The typed interface of a camera property element, found by path.
template <class Interface>
orx::ComPtr<Interface> propertyInterface(const Vexlib::Grabber& grabber, const GUID& item, const GUID& element,
                                         const GUID& interfaceId)
{
    const auto registryText = [](const GUID& id) { return std::basic_string<OLECHAR>(orx::registryText(id).get()); };
    const auto path = registryText(item) + OLESTR(":") + registryText(element) + OLESTR(":") + registryText(interfaceId);
    const orx::Bstr bstr(path.c_str());
    auto items = grabber.getAvailableVCDProperties();
    orx::ComPtr<IUnknown> found;
    if (!items || items->findInterfaceByPath(bstr.get(), found.put()) != S_OK || !found) return {};
    orx::ComPtr<Interface> typed;
    if (found->QueryInterface(interfaceId, typed.putVoid()) < 0) return {};
    return typed;
}

inline void setInteger(const Vexlib::Grabber& grabber, const GUID& item, const GUID& element, LONG value)
{
    const auto range =
        propertyInterface<Vexlib::IntegerRangeInterface>(grabber, item, element, Vexlib::IntegerRangeInterfaceId);
    ASSERT_TRUE(range);
    ASSERT_EQ(range->put_Value(value), S_OK);
}

inline void setSwitch(const Vexlib::Grabber& grabber, const GUID& item, const GUID& element, bool on)
{
    const auto state = propertyInterface<Vexlib::SwitchInterface>(grabber, item, element, Vexlib::SwitchInterfaceId);
    ASSERT_TRUE(state);
    ASSERT_EQ(state->put_Switch(on ? VARIANT_TRUE : VARIANT_FALSE), S_OK);
}

inline constexpr const char* kColourCamera = "ORX Colour 2448";
inline constexpr const char* kRoiCamera = "ORX Mono ROI 1280";
inline constexpr const char* kConverter = "ORX Video Converter";
inline constexpr const char* kEdgeDevice = "ORX Edge Probe";

} // namespace vexcam::test
