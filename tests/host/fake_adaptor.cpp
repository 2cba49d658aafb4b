#include "fake_adaptor.h"

#include <cstring>
#include <new>
#include <utility>

namespace hosttest {

namespace {

FakeConfig currentConfig;
FakeLog currentLog;
std::atomic<int> initializations{0};
std::atomic<int> uninitializations{0};

template <class T, class... Args>
T* makeImaq(Args&&... args)
{
    void* storage = imaqkit::imaqmalloc(sizeof(T));
    return storage ? new (storage) T(std::forward<Args>(args)...) : nullptr;
}

class FakeGet final : public imaqkit::IPropCustomGetFcn {
public:
    void getValue(imaqkit::IPropInfo* info, void* value) override
    {
        const std::string name = info->getPropertyName();
        log().add("get " + name);
        if (config().onGet) config().onGet(name, value);
    }
};

class FakeSet final : public imaqkit::IPropPostSetListener {
public:
    void notify(imaqkit::IPropInfo* info, void* newValue) override
    {
        const std::string name = info->getPropertyName();
        log().add("set " + name);
        if (config().onSet) config().onSet(name, newValue);
    }
};

// Restarts a running capture when the source changes, as adaptors do.
class FakeSourceListener final : public imaqkit::IEnginePropPostSetListener {
public:
    explicit FakeSourceListener(FakeAdaptor* adaptor) : adaptor_(adaptor) {}
    void notify(imaqkit::IPropInfo*, void* newValue) override
    {
        log().add(std::string("source ") + static_cast<const char*>(newValue));
        imaqkit::IAdaptorManager* manager = adaptor_->manager();
        if (manager->isAcquisitionActive() && manager->isCaptureRunning()) {
            manager->haltCapture();
            manager->restartCapture();
        }
    }

private:
    FakeAdaptor* adaptor_;
};

void defaultDiscovery(imaqkit::IHardwareInfo* hardware)
{
    imaqkit::IDeviceInfo* camera = hardware->createDeviceInfo(1, "Fake Camera");
    camera->setDeviceFileSupport(true);
    camera->addDeviceFormat(camera->createDeviceFormat(1, "Y800 (8x6)"), false);
    camera->addDeviceFormat(camera->createDeviceFormat(2, "RGB24 (8x6)"), false);
    hardware->addDevice(camera);
    imaqkit::IDeviceInfo* broken = hardware->createDeviceInfo(2, "Broken Camera");
    broken->createDeviceFormat(1, "never added");
}

bool fakeInitialize()
{
    ++initializations;
    return config().initializeResult;
}

void fakeUninitialize()
{
    ++uninitializations;
}

void fakeGetAvailHW(imaqkit::IHardwareInfo* hardware)
{
    if (config().discover)
        config().discover(hardware);
    else
        defaultDiscovery(hardware);
}

void fakeGetDeviceAttributes(imaqkit::IDeviceInfo*, const char*, imaqkit::IPropFactory* factory,
                             imaqkit::IVideoSourceInfo* sources, imaqkit::ITriggerInfo*)
{
    if (config().declare) config().declare(factory);
    std::int32_t id = 1;
    for (const std::string& source : config().sources) sources->addAdaptorSource(source.c_str(), id++);
}

imaqkit::IAdaptor* fakeCreateInstance(imaqkit::IEngine* engine, imaqkit::IDeviceInfo* deviceInfo,
                                      const char* formatName)
{
    if (config().createReturnsNull) return nullptr;
    log().createdDevice = deviceInfo->getDeviceName();
    log().createdFormat = formatName;
    void* storage = imaqkit::imaqmalloc(sizeof(FakeAdaptor));
    if (!storage) return nullptr;
    try {
        return new (storage) FakeAdaptor(engine, formatName);
    } catch (...) {
        imaqkit::imaqfree(storage);
        throw;
    }
}

} // namespace

void FakeLog::add(std::string event)
{
    std::lock_guard lock(mutex);
    events.push_back(std::move(event));
}

std::vector<std::string> FakeLog::snapshot()
{
    std::lock_guard lock(mutex);
    return events;
}

FakeConfig& config()
{
    return currentConfig;
}

FakeLog& log()
{
    return currentLog;
}

void reset()
{
    currentConfig = FakeConfig{};
    std::lock_guard lock(currentLog.mutex);
    currentLog.events.clear();
    currentLog.stopThreads.clear();
    currentLog.deliveryThreads.clear();
    currentLog.starts = 0;
    currentLog.stops = 0;
    currentLog.framesSent = 0;
    currentLog.framesRefused = 0;
    currentLog.activeAtStart = currentLog.runningAtStart = currentLog.activeAtStop = false;
    currentLog.createdDevice.clear();
    currentLog.createdFormat.clear();
    currentLog.grants = 1;
    initializations = 0;
    uninitializations = 0;
}

void grantFrame()
{
    std::lock_guard lock(currentLog.mutex);
    ++currentLog.grants;
    currentLog.granted.notify_all();
}

imaqhost::EntryPoints fakeEntryPoints()
{
    return {fakeInitialize, fakeUninitialize, fakeGetAvailHW, fakeGetDeviceAttributes,
            fakeCreateInstance};
}

int initializeCalls()
{
    return initializations.load();
}

int uninitializeCalls()
{
    return uninitializations.load();
}

FakeAdaptor::FakeAdaptor(imaqkit::IEngine* engine, const char*)
{
    adaptorManager = imaqkit::createAdaptorManager(this, engine);
    const FakeConfig& settings = config();
    source_ = settings.source;
    if (source_.empty()) {
        const int bpp = settings.frameType == imaqkit::kMono8    ? 1
                        : settings.frameType == imaqkit::kMono16 ? 2
                        : settings.frameType == imaqkit::kRgb24Packed ? 3
                                                                      : 4;
        source_.resize(static_cast<std::size_t>(settings.width * settings.height * bpp));
        for (std::size_t i = 0; i < source_.size(); ++i) source_[i] = static_cast<std::uint8_t>(i);
    }
    registerListeners(engine);
}

FakeAdaptor::~FakeAdaptor()
{
    stopThread();
}

void FakeAdaptor::registerListeners(imaqkit::IEngine* engine)
{
    engine->getEnginePropContainer()->addListener("SelectedSourceName",
                                                  makeImaq<FakeSourceListener>(this));
    imaqkit::IPropContainer* container = engine->getAdaptorPropContainer();
    std::vector<const char*> names(static_cast<std::size_t>(container->getNumberProps()));
    container->getPropNames(names.data());
    for (const char* name : names) {
        if (!container->getIPropInfo(name)->isDeviceSpecific()) continue;
        container->setCustomGetFcn(name, makeImaq<FakeGet>());
        container->addListener(name, makeImaq<FakeSet>());
    }
}

bool FakeAdaptor::closeDevice()
{
    stopThread();
    return true;
}

bool FakeAdaptor::startCapture()
{
    ++log().starts;
    {
        std::lock_guard lock(log().mutex);
        log().activeAtStart = adaptorManager->isAcquisitionActive();
        log().runningAtStart = adaptorManager->isCaptureRunning();
    }
    if (adaptorManager->isCaptureRunning() || config().refuseStart) return false;
    stopThread();
    stopRequested_ = false;
    delivery_ = std::thread([this] { deliveryLoop(); });
    return true;
}

void FakeAdaptor::getROI(std::int32_t* x, std::int32_t* y, std::int32_t* width,
                         std::int32_t* height)
{
    if (config().hardwareRegion) return IAdaptor::getROI(x, y, width, height);
    *x = 0;
    *y = 0;
    *width = config().width;
    *height = config().height;
}

bool FakeAdaptor::stopCapture()
{
    ++log().stops;
    {
        std::lock_guard lock(log().mutex);
        log().stopThreads.push_back(std::this_thread::get_id());
        log().activeAtStop = adaptorManager->isAcquisitionActive();
    }
    if (adaptorManager->isAcquisitionActive()) stopThread();
    return true;
}

void FakeAdaptor::stopThread()
{
    {
        std::lock_guard lock(log().mutex);
        stopRequested_ = true;
        log().granted.notify_all();
    }
    if (delivery_.joinable()) delivery_.join();
}

bool FakeAdaptor::awaitGrant()
{
    std::unique_lock lock(log().mutex);
    log().granted.wait(lock, [&] { return log().grants > 0 || stopRequested_; });
    if (stopRequested_) return false;
    --log().grants;
    return true;
}

void FakeAdaptor::deliveryLoop()
{
    {
        std::lock_guard lock(log().mutex);
        log().deliveryThreads.push_back(std::this_thread::get_id());
    }
    const FakeConfig& settings = config();
    const std::int32_t sourceWidth = settings.sourceWidth ? settings.sourceWidth : settings.width;
    const std::int32_t sourceHeight = settings.sourceHeight ? settings.sourceHeight : settings.height;
    while (!stopRequested_) {
        const bool lost = settings.loseDeviceAfter >= 0 &&
                          log().framesSent.load() >= settings.loseDeviceAfter;
        if (lost) {
            imaqkit::adaptorWarn("ORXadaptor:constructor", "The device is lost.");
            break;
        }
        if (settings.deliver && adaptorManager->isSendFrame()) {
            if (settings.lockstep && !awaitGrant()) break;
            imaqkit::IFrame* frame =
                engine()->makeFrame(settings.frameType, settings.width, settings.height);
            if (frame) {
                if (settings.stampFrameNumber && source_.size() >= 4) {
                    const auto number = static_cast<std::uint32_t>(log().framesSent.load());
                    for (int i = 0; i < 4; ++i)
                        source_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(number >> (8 * i));
                }
                frame->copyData(source_.data(), sourceWidth, sourceHeight, settings.x, settings.y);
                frame->setTime(settings.stamp ? settings.stamp() : imaqkit::getCurrentTime());
                engine()->receiveFrame(frame);
                adaptorManager->incrementFrameCount();
                ++log().framesSent;
            } else {
                ++log().framesRefused;
            }
        }
        std::this_thread::sleep_for(settings.framePeriod);
    }
}

} // namespace hosttest
