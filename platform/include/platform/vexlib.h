// The camera class library (namespace Vexlib), as the adaptor sees it.
//
// Items are values (copy, assign, destroy). Lists come in refcount_ptr
// holders that the caller copies and releases. Names go in as narrow text in
// COM task memory (dstringa); wide texts come back in task memory that the
// caller frees with CoTaskMemFree. Failures come as a false result or as an
// exception whose object is a 32-bit signed status.
#pragma once

#include "platform/refcount_ptr.h"
#include "platform/vexlib_properties.h"
#include "platform/win32.h"

#include <cstdint>
#include <memory>
#include <vector>

#if defined(_WIN32)
#if defined(VEXLIB_BUILD)
#define VEXLIB_API __declspec(dllexport)
#else
#define VEXLIB_API __declspec(dllimport)
#endif
#else
#define VEXLIB_API __attribute__((visibility("default")))
#endif

namespace Vexlib {

// The exception object of a failed camera call.
using StatusCode = std::int32_t;

VEXLIB_API bool InitLibrary();
VEXLIB_API void ExitLibrary();

// A narrow name that the caller keeps in COM task memory for the call.
class dstringa {
public:
    explicit dstringa(const char* text) noexcept : text_(text) {}
    const char* c_str() const noexcept { return text_ ? text_ : ""; }

private:
    const char* text_;
};

enum tColorformatEnum : std::int32_t {
    eInvalidColorformat = 0,
    eRGB32 = 1,
    eRGB24 = 2,
    eRGB565 = 3,
    eRGB555 = 4,
    eRGB8 = 5,
    eUYVY = 6,
    eY800 = 7,
    eBY8 = 8,
    eYGB1 = 9,
    eYGB0 = 10,
    eY16 = 11,
};

// The media-subtype identifier of a colour format; all zero when there is none.
VEXLIB_API GUID getSubtypeFromColorformat(tColorformatEnum colorformat);

template <class T>
using ListHandle = refcount_ptr<std::vector<T>>;

namespace detail {
struct DeviceData;
struct NormData;
struct FormatData;
struct ChannelData;
struct FormatDescData;
struct GrabberState;
struct SinkState;
} // namespace detail

class VEXLIB_API VideoCaptureDeviceItem {
public:
    VideoCaptureDeviceItem();
    explicit VideoCaptureDeviceItem(std::shared_ptr<const detail::DeviceData> data);
    const char* c_str() const;
    // Fills `serial` and answers true when the device has a serial number.
    bool getSerialNumber(std::int64_t& serial) const;
    bool isValid() const;

private:
    std::shared_ptr<const detail::DeviceData> data_;
};

class VEXLIB_API VideoNormItem {
public:
    VideoNormItem();
    explicit VideoNormItem(std::shared_ptr<const detail::NormData> data);
    const char* c_str() const;
    bool isValid() const;

private:
    std::shared_ptr<const detail::NormData> data_;
};

class VEXLIB_API VideoFormatItem {
public:
    VideoFormatItem();
    explicit VideoFormatItem(std::shared_ptr<const detail::FormatData> data);
    const char* c_str() const;
    // The format's text; the caller frees it with CoTaskMemFree.
    WCHAR* toString_() const;
    // The colour format's name ("Y800", "RGB24", ...); freed with CoTaskMemFree.
    WCHAR* getColorformatString_() const;
    SIZE getSize() const;
    GUID getSubtype() const;
    bool isValid() const;
    bool operator==(const VideoFormatItem& other) const;
    bool operator<(const VideoFormatItem& other) const;
    const detail::FormatData* data() const noexcept { return data_.get(); }

private:
    std::shared_ptr<const detail::FormatData> data_;
};

class VEXLIB_API AnalogChannelItem {
public:
    AnalogChannelItem();
    explicit AnalogChannelItem(std::shared_ptr<const detail::ChannelData> data);
    const char* c_str() const;
    // The channel's position in the device's channel list.
    std::int32_t getIndex() const;
    bool isValid() const;

private:
    std::shared_ptr<const detail::ChannelData> data_;
};

class VEXLIB_API VideoFormatDesc {
public:
    explicit VideoFormatDesc(std::shared_ptr<const detail::FormatDescData> data);
    SIZE getMinSize() const;
    SIZE getMaxSize() const;
    SIZE getStepSize() const;
    bool isValidSize(const SIZE& size) const;
    bool isROIFormat() const;
    GUID getSubtype() const;
    VideoFormatItem createVideoFormat(const SIZE& size) const;
    VideoFormatItem createVideoFormat(std::int32_t width, std::int32_t height) const;

private:
    std::shared_ptr<const detail::FormatDescData> data_;
};

using VideoFormatDescHandle = refcount_ptr<VideoFormatDesc>;

// One image buffer of a sink. The pixel pointer is slot 1.
class VEXLIB_API MemBuffer {
public:
    virtual ~MemBuffer();                                // slot 0
    virtual BYTE* getPtr() const = 0;                    // slot 1
    virtual bool lock() = 0;                             // slot 2
    virtual bool unlock() = 0;                           // slot 3
    virtual bool isLocked() const = 0;                   // slot 4
    virtual SIZE getSize() const = 0;                    // slot 5
    virtual std::int32_t getBitsPerPixel() const = 0;    // slot 6
    virtual std::size_t getBufferSize() const = 0;       // slot 7
    virtual GUID getSubtype() const = 0;                 // slot 8

protected:
    MemBuffer() = default;
};

class MemBufferCollection;

class VEXLIB_API GrabberSinkType {
public:
    virtual ~GrabberSinkType();

protected:
    GrabberSinkType() = default;
};

// One accepted frame type of a sink: 28 bytes.
struct FrameTypeInfo {
    GUID subtype;
    std::int32_t width;
    std::int32_t height;
    std::uint32_t bufferSize;
};
static_assert(sizeof(FrameTypeInfo) == 28);

// A list whose storage the creator allocates with CoTaskMemAlloc.
struct FrameTypeInfoArray {
    FrameTypeInfo* items;
    std::uint32_t count;
};

class VEXLIB_API FrameHandlerSink : public GrabberSinkType {
public:
    struct tCreateData {
        std::int32_t bufferCount;                 // images the sink keeps in its ring
        FrameTypeInfoArray frameTypes;            // accepted frame types; empty: the format's own
        refcount_ptr<MemBufferCollection> buffers; // caller-supplied buffers; empty: the sink's own
        FrameTypeInfoArray extraFrameTypes;        // not used by this library version
    };

    static refcount_ptr<FrameHandlerSink> create(const tCreateData& data);

    explicit FrameHandlerSink(std::shared_ptr<detail::SinkState> state);
    ~FrameHandlerSink() override;
    void setSnapMode(bool snap);
    bool getSnapMode() const;
    // The subtype that images are delivered in; all zero for the format's own.
    GUID getAcceptedSubtype() const;
    std::int32_t getBufferCount() const;
    detail::SinkState* state() const noexcept { return state_.get(); }

private:
    std::shared_ptr<detail::SinkState> state_;
};

class Grabber;

enum tListenerNotification : std::uint32_t {
    eDEVICELOST = 0x1u,
    eFRAMEREADY = 0x2u,
    eBUFFERDISCARDED = 0x4u,
    eALL = 0xFFFFFFFFu,
};

// Called by the library on its delivery thread while the grabber is live.
class VEXLIB_API GrabberListener {
public:
    virtual ~GrabberListener();                                                 // slot 0
    virtual void deviceLost(Grabber& caller);                                   // slot 1
    virtual void frameReady(Grabber& caller, refcount_ptr<MemBuffer> buffer,
                            std::uint32_t frameNumber);                         // slot 2
    // A buffer the sink dropped because no listener could take it in time.
    virtual void bufferDiscarded(Grabber& caller, refcount_ptr<MemBuffer> buffer); // slot 3

protected:
    GrabberListener() = default;
    GrabberListener(const GrabberListener&) = default;
    GrabberListener& operator=(const GrabberListener&) = default;
};

class VEXLIB_API Grabber {
public:
    Grabber();
    ~Grabber();
    Grabber(const Grabber&) = delete;
    Grabber& operator=(const Grabber&) = delete;

    // Device.
    bool openDev(const dstringa& name);
    bool closeDev();
    bool isDevValid() const;
    VideoCaptureDeviceItem getDev() const;
    ListHandle<VideoCaptureDeviceItem> getAvailableVideoCaptureDevices_() const;

    // Norms and formats.
    bool isVideoNormAvailableWithCurDev() const;
    ListHandle<VideoNormItem> getAvailableVideoNorms_() const;
    VideoNormItem getVideoNorm() const;
    bool setVideoNorm(const VideoNormItem& norm);
    bool setVideoNorm(const dstringa& name);
    ListHandle<VideoFormatItem> getAvailableVideoFormats_(const VideoNormItem& norm) const;
    ListHandle<VideoFormatDescHandle> getAvailableVideoFormatDescs_(const VideoNormItem& norm) const;
    VideoFormatItem getVideoFormat() const;
    bool setVideoFormat(const VideoFormatItem& format);
    bool setVideoFormat(const dstringa& name);

    // Frame rates and input channels.
    bool isFrameRateListAvailable() const;
    ListHandle<double> getAvailableFPS_(const VideoFormatItem& format) const;
    ListHandle<std::int32_t> getAvailableFrameRates_(const VideoFormatItem& format) const;
    std::int32_t getFrameRate() const;
    bool setFrameRate(std::int32_t frameRate);
    double getFPS() const;
    bool setFPS(double fps);
    bool isInputChannelAvailableWithCurDev() const;
    ListHandle<AnalogChannelItem> getAvailableInputChannels_() const;
    AnalogChannelItem getInputChannel() const;
    bool setInputChannel(std::uint32_t index);

    // Streaming.
    bool addListener(GrabberListener* listener, std::uint32_t mask);
    bool removeListener(GrabberListener* listener);
    bool setSinkType(const refcount_ptr<GrabberSinkType>& sink);
    bool setOverlayBitmapPathPosition(std::int32_t position);
    std::int32_t getOverlayBitmapPathPosition() const;
    bool startLive(bool showVideoWindow);
    // Returns once no listener callback is running any more.
    bool stopLive();
    bool isLive() const;

    // The camera's property items; the holder may be empty.
    smart_com<IVCDPropertyItems> getAvailableVCDProperties() const;

    detail::GrabberState* state() const noexcept { return state_.get(); }

private:
    std::unique_ptr<detail::GrabberState> state_;
};

} // namespace Vexlib
