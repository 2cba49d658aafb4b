// The adaptor manager with an engine that is not the host's (a test double):
// it answers that nothing runs, yet keeps counts and a region store, and it
// goes with the adaptor that owns it.
#include "host_test.h"

#include <gtest/gtest.h>

namespace hosttest {
namespace {

class ForeignEngine final : public imaqkit::IEngine {
public:
    static void* operator new(std::size_t bytes) { return ::operator new(bytes); }
    static void operator delete(void* block) noexcept { ::operator delete(block); }

    imaqkit::IFrame* makeFrame(std::uint32_t, std::int32_t, std::int32_t) override { return nullptr; }
    void receiveFrame(imaqkit::IFrame*) override {}
    void engineReserved3() override {}
    void engineReserved4() override {}
    imaqkit::IEnginePropContainer* getEnginePropContainer() override { return nullptr; }
    imaqkit::IPropContainer* getAdaptorPropContainer() override { return nullptr; }
};

class BareAdaptor final : public imaqkit::IAdaptor {
public:
    static void* operator new(std::size_t bytes) { return ::operator new(bytes); }
    static void operator delete(void* block) noexcept { ::operator delete(block); }

    explicit BareAdaptor(imaqkit::IEngine* engine)
    {
        adaptorManager = imaqkit::createAdaptorManager(this, engine);
    }
    std::int32_t getMaxWidth() const override { return 100; }
    std::int32_t getMaxHeight() const override { return 50; }
    std::uint32_t getFrameType() const override { return imaqkit::kMono8; }
    std::int32_t getNumberOfBands() const override { return 1; }
    const char* getDriverDescription() const override { return ""; }
    const char* getDriverVersion() const override { return ""; }
    bool openDevice() override { return true; }
    bool closeDevice() override { return true; }
    bool startCapture() override { return true; }
    bool stopCapture() override { return true; }
    imaqkit::IAdaptorManager* manager() const { return adaptorManager; }
};

class AdaptorManagerTest : public HostTest {};

TEST_F(AdaptorManagerTest, ForeignEngineGetsAnIdleManager)
{
    ForeignEngine engine;
    auto adaptor = std::make_unique<BareAdaptor>(&engine);
    imaqkit::IAdaptorManager* manager = adaptor->manager();
    EXPECT_EQ(manager->getEngine(), &engine);
    EXPECT_FALSE(manager->isAcquisitionActive());
    EXPECT_FALSE(manager->isCaptureRunning());
    EXPECT_FALSE(manager->isSendFrame());
    EXPECT_FALSE(manager->restartCapture());

    manager->incrementFrameCount();
    manager->incrementFrameCount();
    EXPECT_EQ(adaptor->framesDelivered(), 2);

    std::int32_t region[4] = {-1, -1, -1, -1};
    adaptor->getROI(&region[0], &region[1], &region[2], &region[3]);
    EXPECT_EQ(std::vector<std::int32_t>(region, region + 4), (std::vector<std::int32_t>{0, 0, 100, 50}));
    EXPECT_TRUE(adaptor->setROI(10, 10, 90, 40));
    EXPECT_FALSE(adaptor->setROI(10, 10, 91, 40));
    adaptor->getROI(&region[0], &region[1], &region[2], &region[3]);
    EXPECT_EQ(std::vector<std::int32_t>(region, region + 4), (std::vector<std::int32_t>{10, 10, 90, 40}));
    adaptor->getROI(nullptr, nullptr, nullptr, nullptr); // out-parameters may be absent
}

} // namespace
} // namespace hosttest
