// A small adaptor for the host's own tests: it declares what a test asks
// for, registers listeners like a real adaptor, and feeds frames from a
// thread of its own while capture runs.
#pragma once

#include "imaqhost/adaptor_module.h"
#include "platform/imaqkit.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace hosttest {

struct FakeConfig {
    bool initializeResult = true;
    // Discovery; the default reports "Fake Camera" (ID 1) with two formats
    // and creates "Broken Camera" (ID 2) without adding it.
    std::function<void(imaqkit::IHardwareInfo*)> discover;
    // Device attributes: properties through the factory, then the sources.
    std::function<void(imaqkit::IPropFactory*)> declare;
    std::vector<std::string> sources{"input1"};
    bool createReturnsNull = false;

    // What each frame is: type and size, and the source it is copied from.
    std::uint32_t frameType = imaqkit::kMono8;
    std::int32_t width = 8;
    std::int32_t height = 6;
    std::vector<std::uint8_t> source; // empty: a ramp of the frame's own size
    std::int32_t sourceWidth = 0;     // 0: the frame's width
    std::int32_t sourceHeight = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;

    // false: like a camera without a hardware region, getROI always
    // reports the full image.
    bool hardwareRegion = true;
    // Writes the number of the frame (0-based, as sent) into its first four
    // bytes, little-endian, so a test sees which camera frames were logged.
    bool stampFrameNumber = false;

    // The time each frame is stamped with; empty: the host's clock.
    std::function<double()> stamp;

    bool refuseStart = false;
    bool deliver = true;             // false: capture runs but sends nothing
    int loseDeviceAfter = -1;        // frames sent before "The device is lost."
    std::chrono::microseconds framePeriod{200};
    // Sends the next frame only after the test granted it (grantFrame): at
    // most one frame is then in flight.
    bool lockstep = false;

    // Property traffic; the listeners log and then call these.
    std::function<void(const std::string& name, void* buffer)> onGet;
    std::function<void(const std::string& name, void* newValue)> onSet;
};

// What the fake saw; written from the host thread and the delivery thread.
struct FakeLog {
    std::mutex mutex;
    std::vector<std::string> events;
    std::vector<std::thread::id> stopThreads;
    std::vector<std::thread::id> deliveryThreads;
    std::atomic<int> starts{0};
    std::atomic<int> stops{0};
    std::atomic<int> framesSent{0};
    std::atomic<int> framesRefused{0};
    bool activeAtStart = false;
    bool runningAtStart = false;
    bool activeAtStop = false;
    std::string createdDevice;
    std::string createdFormat;
    std::condition_variable granted;
    int grants = 1;

    void add(std::string event);
    std::vector<std::string> snapshot();
};

FakeConfig& config();
FakeLog& log();
// Back to the defaults; call before each test.
void reset();
// Lets a lockstep adaptor send one more frame.
void grantFrame();

imaqhost::EntryPoints fakeEntryPoints();
int initializeCalls();
int uninitializeCalls();

class FakeAdaptor final : public imaqkit::IAdaptor {
public:
    FakeAdaptor(imaqkit::IEngine* engine, const char* formatName);
    ~FakeAdaptor() override;

    std::int32_t getMaxWidth() const override { return config().width; }
    std::int32_t getMaxHeight() const override { return config().height; }
    std::uint32_t getFrameType() const override { return config().frameType; }
    std::int32_t getNumberOfBands() const override { return 1; }
    const char* getDriverDescription() const override { return "Fake adaptor"; }
    const char* getDriverVersion() const override { return "0.1"; }
    bool openDevice() override { return true; }
    bool closeDevice() override;
    bool startCapture() override;
    void getROI(std::int32_t* x, std::int32_t* y, std::int32_t* width,
                std::int32_t* height) override;
    bool stopCapture() override;

    imaqkit::IAdaptorManager* manager() const { return adaptorManager; }
    imaqkit::IEngine* engine() const { return adaptorManager->getEngine(); }

private:
    void registerListeners(imaqkit::IEngine* engine);
    void deliveryLoop();
    bool awaitGrant();
    void stopThread();

    std::thread delivery_;
    std::atomic<bool> stopRequested_{false};
    std::vector<std::uint8_t> source_;
};

} // namespace hosttest
