// The host's adaptor kit (namespace imaqkit, module imaqmex), as the adaptor
// sees it. Every object is reached by virtual calls at fixed slots; each
// declaration is marked with its slot. Slots the adaptor never calls stand as
// placeholders so that the ones it does call keep their positions.
//
// Slot 0 of every object that derives from IMAQInterface is the deleting
// destructor (one vtable entry on MSVC, two under the Itanium ABI).
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#if defined(IMAQMEX_BUILD)
#define IMAQKIT_API __declspec(dllexport)
#else
#define IMAQKIT_API __declspec(dllimport)
#endif
#else
#define IMAQKIT_API __attribute__((visibility("default")))
#endif

namespace imaqkit {

class IAdaptor;
class IAdaptorManager;
class IEngine;

IMAQKIT_API void* imaqmalloc(std::size_t bytes);
IMAQKIT_API void imaqfree(void* block);
IMAQKIT_API IAdaptorManager* createAdaptorManager(IAdaptor* adaptor, IEngine* engine);
// Shows a warning. The message is plain text: a '%' in it is printed as it stands.
IMAQKIT_API void adaptorWarn(const char* identifier, const char* message);
IMAQKIT_API double getCurrentTime();

// Root of every host-visible object. Objects that the adaptor creates for the
// host get their storage from imaqmalloc and construct in place; the deleting
// destructor returns it through imaqfree. Only placement new is offered, so a
// class that wants ordinary heap storage must say so with its own operators.
class IMAQKIT_API IMAQInterface {
public:
    virtual ~IMAQInterface(); // slot 0

    static void* operator new(std::size_t, void* place) noexcept { return place; }
    static void operator delete(void*, void*) noexcept {}
    static void operator delete(void* block) noexcept { imaqfree(block); }

protected:
    IMAQInterface() = default;
    IMAQInterface(const IMAQInterface&) = default;
    IMAQInterface& operator=(const IMAQInterface&) = default;
};

// Host frame-type codes.
enum FrameTypeCode : std::uint32_t {
    kMono8 = 0x11010000u,
    kMono16 = 0x11010004u,
    kRgb24Packed = 0x01030101u,
    kRgb32Packed = 0x01030103u,
};

class IFrame {
public:
    // Copies the frame-sized region at (x, y) of a source image of
    // sourceWidth x sourceHeight pixels into the frame.
    virtual void copyData(const void* pixels, std::int32_t sourceWidth, std::int32_t sourceHeight,
                          std::int32_t x, std::int32_t y) = 0; // slot 0
    virtual void frameReserved1() = 0;                         // slot 1
    virtual void frameReserved2() = 0;                         // slot 2
    virtual void frameReserved3() = 0;                         // slot 3
    virtual void frameReserved4() = 0;                         // slot 4
    virtual void frameReserved5() = 0;                         // slot 5
    virtual void setTime(double time) = 0;                     // slot 6

protected:
    ~IFrame() = default;
};

class IPropInfo : public IMAQInterface {
public:
    virtual const char* getPropertyName() = 0; // slot 1
    virtual void propInfoReserved2() = 0;      // slot 2
    virtual void propInfoReserved3() = 0;      // slot 3
    virtual void propInfoReserved4() = 0;      // slot 4
    virtual void propInfoReserved5() = 0;      // slot 5
    // True for the device properties that the adaptor serves itself.
    virtual bool isDeviceSpecific() = 0;       // slot 6
};

// Installed as a property's custom get function; fills the value buffer.
class IMAQKIT_API IPropCustomGetFcn : public IMAQInterface {
public:
    virtual void getValue(IPropInfo* info, void* value) = 0; // slot 1
};

// Told after the host has accepted a new value of a device property.
class IMAQKIT_API IPropPostSetListener : public IMAQInterface {
public:
    virtual void notify(IPropInfo* info, void* newValue) = 0; // slot 1
};

// Told after the host has accepted a new value of an engine property.
class IMAQKIT_API IEnginePropPostSetListener : public IMAQInterface {
public:
    virtual void notify(IPropInfo* info, void* newValue) = 0; // slot 1
};

class IEnginePropContainer : public IMAQInterface {
public:
    virtual void engineContainerReserved1() = 0;  // slot 1
    virtual void engineContainerReserved2() = 0;  // slot 2
    virtual void engineContainerReserved3() = 0;  // slot 3
    virtual void engineContainerReserved4() = 0;  // slot 4
    virtual void engineContainerReserved5() = 0;  // slot 5
    virtual void engineContainerReserved6() = 0;  // slot 6
    virtual void engineContainerReserved7() = 0;  // slot 7
    virtual void engineContainerReserved8() = 0;  // slot 8
    virtual void engineContainerReserved9() = 0;  // slot 9
    virtual void engineContainerReserved10() = 0; // slot 10
    virtual void engineContainerReserved11() = 0; // slot 11
    virtual void engineContainerReserved12() = 0; // slot 12
    // Takes ownership of the listener.
    virtual void addListener(const char* name, IEnginePropPostSetListener* listener) = 0; // slot 13
};

class IPropContainer : public IMAQInterface {
public:
    virtual void containerReserved1() = 0;                              // slot 1
    virtual void containerReserved2() = 0;                              // slot 2
    virtual void containerReserved3() = 0;                              // slot 3
    virtual void containerReserved4() = 0;                              // slot 4
    virtual void containerReserved5() = 0;                              // slot 5
    virtual void containerReserved6() = 0;                              // slot 6
    virtual void containerReserved7() = 0;                              // slot 7
    virtual IPropInfo* getIPropInfo(const char* name) = 0;              // slot 8
    virtual std::int32_t getNumberProps() = 0;                          // slot 9
    // Fills `names` (getNumberProps() entries) with the host's own texts.
    virtual void getPropNames(const char** names) = 0;                  // slot 10
    virtual void containerReserved11() = 0;                             // slot 11
    virtual void containerReserved12() = 0;                             // slot 12
    virtual void containerReserved13() = 0;                             // slot 13
    // Both take ownership of the listener.
    virtual void setCustomGetFcn(const char* name, IPropCustomGetFcn* fcn) = 0;      // slot 14
    virtual void addListener(const char* name, IPropPostSetListener* listener) = 0; // slot 15
};

class IEngine : public IMAQInterface {
public:
    // A new, empty frame of that type and size, or null.
    virtual IFrame* makeFrame(std::uint32_t frameType, std::int32_t width,
                              std::int32_t height) = 0;       // slot 1
    // Takes the frame over.
    virtual void receiveFrame(IFrame* frame) = 0;             // slot 2
    virtual void engineReserved3() = 0;                       // slot 3
    virtual void engineReserved4() = 0;                       // slot 4
    virtual IEnginePropContainer* getEnginePropContainer() = 0; // slot 5
    virtual IPropContainer* getAdaptorPropContainer() = 0;      // slot 6
};

class IAdaptorManager : public IMAQInterface {
public:
    virtual void managerReserved1() = 0;                     // slot 1
    virtual void managerReserved2() = 0;                     // slot 2
    // Restarts a capture halted by slot 4 (after a change of video source).
    virtual bool restartCapture() = 0;                       // slot 3
    virtual bool haltCapture() = 0;                          // slot 4
    // True while the host runs an acquisition on this adaptor.
    virtual bool isAcquisitionActive() = 0;                  // slot 5
    // True while the adaptor's capture is running for that acquisition.
    virtual bool isCaptureRunning() = 0;                     // slot 6
    virtual void managerReserved7() = 0;                     // slot 7
    virtual IEngine* getEngine() = 0;                        // slot 8
    // Frames delivered since the adaptor was created (target of IAdaptor slot 1).
    virtual std::int64_t framesDelivered() = 0;              // slot 9
    virtual void managerReserved10() = 0;                    // slot 10
    virtual void getROI(std::int32_t* x, std::int32_t* y, std::int32_t* width,
                        std::int32_t* height) = 0;           // slot 11
    virtual bool setROI(std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height) = 0;            // slot 12
    virtual void incrementFrameCount() = 0;                  // slot 13
    virtual bool isSendFrame() = 0;                          // slot 14
};

// The base of every adaptor. Owns the adaptor manager; the deriving adaptor
// creates it with createAdaptorManager as the first act of its construction.
class IMAQKIT_API IAdaptor : public IMAQInterface {
public:
    ~IAdaptor() override;                                     // slot 0
    // Forwarded unchanged to the adaptor manager's slot 9.
    virtual std::int64_t framesDelivered();                   // slot 1
    // Forwarded to the adaptor manager's region read and store.
    virtual void getROI(std::int32_t* x, std::int32_t* y, std::int32_t* width,
                        std::int32_t* height);                // slot 2
    virtual bool setROI(std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height);                 // slot 3
    virtual std::int32_t getMaxWidth() const = 0;             // slot 4
    virtual std::int32_t getMaxHeight() const = 0;            // slot 5
    virtual std::uint32_t getFrameType() const = 0;           // slot 6
    virtual std::int32_t getNumberOfBands() const = 0;        // slot 7
    virtual const char* getDriverDescription() const = 0;     // slot 8
    virtual const char* getDriverVersion() const = 0;         // slot 9
    virtual bool openDevice() = 0;                            // slot 10
    virtual bool closeDevice() = 0;                           // slot 11
    virtual bool startCapture() = 0;                          // slot 12
    virtual bool stopCapture() = 0;                           // slot 13

protected:
    IAdaptor() = default;

    IAdaptorManager* adaptorManager = nullptr;
};

class IDeviceFormat : public IMAQInterface {
};

class IDeviceInfo : public IMAQInterface {
public:
    virtual IDeviceFormat* createDeviceFormat(std::int32_t id, const char* name) = 0; // slot 1
    virtual void addDeviceFormat(IDeviceFormat* format, bool isDefault) = 0;         // slot 2
    virtual void deviceInfoReserved3() = 0;                                          // slot 3
    virtual const char* getDeviceName() = 0;                                         // slot 4
    virtual void setDeviceFileSupport(bool supported) = 0;                           // slot 5
};

class IHardwareInfo : public IMAQInterface {
public:
    virtual IDeviceInfo* createDeviceInfo(std::int32_t id, const char* name) = 0; // slot 1
    virtual void addDevice(IDeviceInfo* device) = 0;                              // slot 2
};

// Passed to getDeviceAttributes; the adaptor declares no hardware trigger.
class ITriggerInfo : public IMAQInterface {
public:
    virtual void addConfiguration(const char* source, std::int32_t sourceId, const char* condition,
                                  std::int32_t conditionId) = 0; // slot 1
};

class IVideoSourceInfo : public IMAQInterface {
public:
    virtual void addAdaptorSource(const char* name, std::int32_t id) = 0; // slot 1
};

// Property handles are opaque and belong to the host; null means "not created".
using PropertyHandle = void*;

class IPropFactory : public IMAQInterface {
public:
    virtual void factoryReserved1() = 0;  // slot 1
    virtual void factoryReserved2() = 0;  // slot 2
    virtual void factoryReserved3() = 0;  // slot 3
    virtual PropertyHandle newDoubleRangeProperty(const char* name, double lower, double upper,
                                             double defaultValue) = 0;             // slot 4
    virtual void factoryReserved5() = 0;  // slot 5
    virtual void factoryReserved6() = 0;  // slot 6
    virtual PropertyHandle newIntProperty(const char* name, std::int32_t defaultValue,
                                          std::int32_t flags) = 0;                 // slot 7
    virtual PropertyHandle newIntRangeProperty(const char* name, std::int32_t lower,
                                          std::int32_t upper, std::int32_t defaultValue,
                                          std::int32_t flags) = 0;                 // slot 8
    virtual void factoryReserved9() = 0;  // slot 9
    virtual void factoryReserved10() = 0; // slot 10
    virtual PropertyHandle newEnumProperty(const char* name, const char* firstText,
                                           std::int32_t firstId) = 0;              // slot 11
    virtual void appendEnumValue(PropertyHandle property, const char* text,
                              std::int32_t id) = 0;                                // slot 12
    virtual void factoryReserved13() = 0; // slot 13
    virtual void publishProperty(PropertyHandle property) = 0;                         // slot 14
    virtual void factoryReserved15() = 0; // slot 15
    virtual void factoryReserved16() = 0; // slot 16
    virtual void factoryReserved17() = 0; // slot 17
    // mode: "always", "never" or "whileRunning".
    virtual void setReadOnlyMode(PropertyHandle property, const char* mode) = 0;   // slot 18
};

} // namespace imaqkit
