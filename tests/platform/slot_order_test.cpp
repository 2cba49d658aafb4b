// Holds the interface headers to the slot numbers the host and the camera
// library call. Under the Itanium C++ ABI a pointer to a virtual member
// function holds 1 + its byte offset in the virtual table, and a virtual
// destructor takes two entries (complete and deleting) at the front.
#include "platform/imaqkit.h"
#include "platform/vexlib.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

#if defined(_MSC_VER)
constexpr int kDestructorEntries = 1;
#else
constexpr int kDestructorEntries = 2;
#endif

template <class Method>
int tableIndex(Method method)
{
    static_assert(sizeof(Method) >= sizeof(std::uintptr_t));
    std::uintptr_t raw = 0;
    std::memcpy(&raw, &method, sizeof raw);
    return static_cast<int>((raw - 1) / sizeof(void*));
}

// The slot as the interface is specified: slot 0 is the destructor, if any.
template <class Method>
int slotOf(Method method, bool hasVirtualDestructor)
{
    const int index = tableIndex(method);
    return hasVirtualDestructor ? index - kDestructorEntries + 1 : index;
}

constexpr bool kDtor = true;
constexpr bool kNoDtor = false;

} // namespace

#if !defined(_MSC_VER)

TEST(HostKitSlots, HardwareDeviceAndSourceObjects)
{
    EXPECT_EQ(slotOf(&imaqkit::IHardwareInfo::createDeviceInfo, kDtor), 1);
    EXPECT_EQ(slotOf(&imaqkit::IHardwareInfo::addDevice, kDtor), 2);
    EXPECT_EQ(slotOf(&imaqkit::IDeviceInfo::createDeviceFormat, kDtor), 1);
    EXPECT_EQ(slotOf(&imaqkit::IDeviceInfo::addDeviceFormat, kDtor), 2);
    EXPECT_EQ(slotOf(&imaqkit::IDeviceInfo::getDeviceName, kDtor), 4);
    EXPECT_EQ(slotOf(&imaqkit::IDeviceInfo::setDeviceFileSupport, kDtor), 5);
    EXPECT_EQ(slotOf(&imaqkit::IVideoSourceInfo::addAdaptorSource, kDtor), 1);
}

TEST(HostKitSlots, PropertyFactory)
{
    EXPECT_EQ(slotOf(&imaqkit::IPropFactory::newDoubleRangeProperty, kDtor), 4);
    EXPECT_EQ(slotOf(&imaqkit::IPropFactory::newIntProperty, kDtor), 7);
    EXPECT_EQ(slotOf(&imaqkit::IPropFactory::newIntRangeProperty, kDtor), 8);
    EXPECT_EQ(slotOf(&imaqkit::IPropFactory::newEnumProperty, kDtor), 11);
    EXPECT_EQ(slotOf(&imaqkit::IPropFactory::appendEnumValue, kDtor), 12);
    EXPECT_EQ(slotOf(&imaqkit::IPropFactory::publishProperty, kDtor), 14);
    EXPECT_EQ(slotOf(&imaqkit::IPropFactory::setReadOnlyMode, kDtor), 18);
}

TEST(HostKitSlots, AdaptorManager)
{
    EXPECT_EQ(slotOf(&imaqkit::IAdaptorManager::restartCapture, kDtor), 3);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptorManager::haltCapture, kDtor), 4);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptorManager::isAcquisitionActive, kDtor), 5);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptorManager::isCaptureRunning, kDtor), 6);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptorManager::getEngine, kDtor), 8);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptorManager::framesDelivered, kDtor), 9);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptorManager::getROI, kDtor), 11);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptorManager::setROI, kDtor), 12);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptorManager::incrementFrameCount, kDtor), 13);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptorManager::isSendFrame, kDtor), 14);
}

TEST(HostKitSlots, EngineFrameAndContainers)
{
    EXPECT_EQ(slotOf(&imaqkit::IEngine::makeFrame, kDtor), 1);
    EXPECT_EQ(slotOf(&imaqkit::IEngine::receiveFrame, kDtor), 2);
    EXPECT_EQ(slotOf(&imaqkit::IEngine::getEnginePropContainer, kDtor), 5);
    EXPECT_EQ(slotOf(&imaqkit::IEngine::getAdaptorPropContainer, kDtor), 6);
    EXPECT_EQ(slotOf(&imaqkit::IFrame::copyData, kNoDtor), 0);
    EXPECT_EQ(slotOf(&imaqkit::IFrame::setTime, kNoDtor), 6);
    EXPECT_EQ(slotOf(&imaqkit::IEnginePropContainer::addListener, kDtor), 13);
    EXPECT_EQ(slotOf(&imaqkit::IPropContainer::getIPropInfo, kDtor), 8);
    EXPECT_EQ(slotOf(&imaqkit::IPropContainer::getNumberProps, kDtor), 9);
    EXPECT_EQ(slotOf(&imaqkit::IPropContainer::getPropNames, kDtor), 10);
    EXPECT_EQ(slotOf(&imaqkit::IPropContainer::setCustomGetFcn, kDtor), 14);
    EXPECT_EQ(slotOf(&imaqkit::IPropContainer::addListener, kDtor), 15);
    EXPECT_EQ(slotOf(&imaqkit::IPropInfo::getPropertyName, kDtor), 1);
    EXPECT_EQ(slotOf(&imaqkit::IPropInfo::isDeviceSpecific, kDtor), 6);
}

TEST(HostKitSlots, AdaptorAndListenerTables)
{
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::framesDelivered, kDtor), 1);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::getROI, kDtor), 2);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::setROI, kDtor), 3);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::getMaxWidth, kDtor), 4);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::getMaxHeight, kDtor), 5);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::getFrameType, kDtor), 6);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::getNumberOfBands, kDtor), 7);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::getDriverDescription, kDtor), 8);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::getDriverVersion, kDtor), 9);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::openDevice, kDtor), 10);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::closeDevice, kDtor), 11);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::startCapture, kDtor), 12);
    EXPECT_EQ(slotOf(&imaqkit::IAdaptor::stopCapture, kDtor), 13);
    EXPECT_EQ(slotOf(&imaqkit::IPropCustomGetFcn::getValue, kDtor), 1);
    EXPECT_EQ(slotOf(&imaqkit::IPropPostSetListener::notify, kDtor), 1);
    EXPECT_EQ(slotOf(&imaqkit::IEnginePropPostSetListener::notify, kDtor), 1);
}

TEST(CameraLibrarySlots, BufferAndListener)
{
    EXPECT_EQ(slotOf(&Vexlib::MemBuffer::getPtr, kDtor), 1);
    EXPECT_EQ(slotOf(&Vexlib::GrabberListener::deviceLost, kDtor), 1);
    EXPECT_EQ(slotOf(&Vexlib::GrabberListener::frameReady, kDtor), 2);
    EXPECT_EQ(slotOf(&Vexlib::GrabberListener::bufferDiscarded, kDtor), 3);
}

TEST(CameraLibrarySlots, PropertyObjects)
{
    using namespace Vexlib;
    // The Windows headers add a template overload; take the virtual one.
    using QueryInterfaceSlot = HRESULT (STDMETHODCALLTYPE IUnknown::*)(REFIID, void**);
    EXPECT_EQ(slotOf(static_cast<QueryInterfaceSlot>(&IUnknown::QueryInterface), kNoDtor), 0);
    EXPECT_EQ(slotOf(&IUnknown::AddRef, kNoDtor), 1);
    EXPECT_EQ(slotOf(&IUnknown::Release, kNoDtor), 2);
    EXPECT_EQ(slotOf(&IVCDPropertyItems::get_Item, kNoDtor), 8);
    EXPECT_EQ(slotOf(&IVCDPropertyItems::get_Count, kNoDtor), 9);
    EXPECT_EQ(slotOf(&IVCDPropertyItems::findInterfaceByPath, kNoDtor), 17);
    EXPECT_EQ(slotOf(&PropertyItem::get_Name, kNoDtor), 7);
    EXPECT_EQ(slotOf(&PropertyItem::get_Elements, kNoDtor), 8);
    EXPECT_EQ(slotOf(&PropertyItem::get_ItemID, kNoDtor), 10);
    EXPECT_EQ(slotOf(&ElementCollection::get_Item, kNoDtor), 8);
    EXPECT_EQ(slotOf(&ElementCollection::get_Count, kNoDtor), 9);
    EXPECT_EQ(slotOf(&PropertyElement::get_Name, kNoDtor), 10);
    EXPECT_EQ(slotOf(&PropertyElement::get_ElementID, kNoDtor), 12);
    EXPECT_EQ(slotOf(&PropertyElement::findInterface, kNoDtor), 13);
    EXPECT_EQ(slotOf(&TextCollection::get_Item, kNoDtor), 8);
    EXPECT_EQ(slotOf(&TextCollection::get_Count, kNoDtor), 9);
}

TEST(CameraLibrarySlots, TypedInterfaces)
{
    using namespace Vexlib;
    EXPECT_EQ(slotOf(&IntegerRangeInterface::get_Value, kNoDtor), 13);
    EXPECT_EQ(slotOf(&IntegerRangeInterface::put_Value, kNoDtor), 14);
    EXPECT_EQ(slotOf(&IntegerRangeInterface::get_RangeMin, kNoDtor), 15);
    EXPECT_EQ(slotOf(&IntegerRangeInterface::get_RangeMax, kNoDtor), 16);
    EXPECT_EQ(slotOf(&IntegerRangeInterface::get_Default, kNoDtor), 17);
    EXPECT_EQ(slotOf(&DoubleRangeInterface::get_Value, kNoDtor), 13);
    EXPECT_EQ(slotOf(&DoubleRangeInterface::put_Value, kNoDtor), 14);
    EXPECT_EQ(slotOf(&DoubleRangeInterface::get_RangeMin, kNoDtor), 15);
    EXPECT_EQ(slotOf(&DoubleRangeInterface::get_RangeMax, kNoDtor), 16);
    EXPECT_EQ(slotOf(&DoubleRangeInterface::get_Default, kNoDtor), 17);
    EXPECT_EQ(slotOf(&StringListInterface::get_Value, kNoDtor), 13);
    EXPECT_EQ(slotOf(&StringListInterface::put_Value, kNoDtor), 14);
    EXPECT_EQ(slotOf(&StringListInterface::get_RangeMin, kNoDtor), 15);
    EXPECT_EQ(slotOf(&StringListInterface::get_Default, kNoDtor), 17);
    EXPECT_EQ(slotOf(&StringListInterface::get_Strings, kNoDtor), 19);
    EXPECT_EQ(slotOf(&SwitchInterface::get_Switch, kNoDtor), 13);
    EXPECT_EQ(slotOf(&SwitchInterface::put_Switch, kNoDtor), 14);
    EXPECT_EQ(slotOf(&ButtonInterface::Push, kNoDtor), 13);
}

TEST(CameraLibrarySlots, ReferenceCountedHolderDestroysFirst)
{
    EXPECT_EQ(slotOf(&Vexlib::refcount_holder_base::destroy, kNoDtor), 0);
}

#endif
