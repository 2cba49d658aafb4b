// The session: the adaptor's lifetime bracket, discovery as the adaptor
// reported it, resolution of devices and formats, and opening video inputs.
#include "host_test.h"

#include "imaqhost/host_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace hosttest {
namespace {

using imaqhost::HostError;
using ::testing::ThrowsMessage;

class SessionTest : public HostTest {};

// uninitializeAdaptor waits for the session and every video input it opened.
TEST_F(SessionTest, AdaptorStaysInitialisedWhileAVideoInputLives)
{
    std::unique_ptr<imaqhost::VideoInput> input;
    {
        imaqhost::Session session(fakeEntryPoints());
        EXPECT_EQ(initializeCalls(), 1);
        input = openFake(session);
    }
    EXPECT_EQ(uninitializeCalls(), 0);
    input.reset();
    EXPECT_EQ(uninitializeCalls(), 1);
}

TEST_F(SessionTest, FailedInitialisationIsAnErrorWithoutUninitialise)
{
    config().initializeResult = false;
    EXPECT_THAT([] { imaqhost::Session session(fakeEntryPoints()); },
                ThrowsMessage<HostError>("The adaptor could not initialise."));
    EXPECT_EQ(uninitializeCalls(), 0);
}

TEST_F(SessionTest, MissingEntryPointIsNamed)
{
    auto entryPoints = fakeEntryPoints();
    entryPoints.getDeviceAttributes = nullptr;
    EXPECT_THAT([&] { imaqhost::Session session(entryPoints); },
                ThrowsMessage<HostError>("The adaptor has no entry point \"getDeviceAttributes\"."));
    EXPECT_EQ(initializeCalls(), 0);
}

// Every entry is recorded, added or not, with its formats and flags.
TEST_F(SessionTest, DiscoveryRecordsEveryEntry)
{
    imaqhost::Session session(fakeEntryPoints());
    const auto& devices = session.discover();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].id, 1);
    EXPECT_EQ(devices[0].name, "Fake Camera");
    EXPECT_TRUE(devices[0].added);
    EXPECT_EQ(devices[0].fileSupport, std::optional<bool>(true));
    ASSERT_EQ(devices[0].formats.size(), 2u);
    EXPECT_EQ(devices[0].formats[1].id, 2);
    EXPECT_EQ(devices[0].formats[1].name, "RGB24 (8x6)");
    EXPECT_TRUE(devices[0].formats[1].added);
    EXPECT_FALSE(devices[0].formats[1].isDefault);

    EXPECT_EQ(devices[1].name, "Broken Camera");
    EXPECT_FALSE(devices[1].added);
    EXPECT_FALSE(devices[1].fileSupport.has_value());
    ASSERT_EQ(devices[1].formats.size(), 1u);
    EXPECT_FALSE(devices[1].formats[0].added);
    EXPECT_TRUE(devices[1].addedFormats().empty());
}

// Adding a foreign entry, or adding twice, changes nothing.
TEST_F(SessionTest, DiscoveryIgnoresForeignAndRepeatedAdds)
{
    config().discover = [](imaqkit::IHardwareInfo* hardware) {
        imaqkit::IDeviceInfo* first = hardware->createDeviceInfo(1, "First");
        imaqkit::IDeviceInfo* second = hardware->createDeviceInfo(2, "Second");
        imaqkit::IDeviceFormat* format = second->createDeviceFormat(1, "F");
        first->addDeviceFormat(format, true); // another device's format
        first->addDeviceFormat(nullptr, true);
        hardware->addDevice(first);
        hardware->addDevice(first);
        hardware->addDevice(nullptr);
    };
    imaqhost::Session session(fakeEntryPoints());
    const auto& devices = session.discover();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_TRUE(devices[0].added);
    EXPECT_TRUE(devices[0].formats.empty());
    EXPECT_FALSE(devices[1].added);
    EXPECT_FALSE(devices[1].formats[0].added);
}

// Devices and formats resolve by ID or name among the added ones only.
TEST_F(SessionTest, ResolutionByIdOrNameWithClearErrors)
{
    imaqhost::Session session(fakeEntryPoints());
    const auto& device = session.resolveDevice(std::string("Fake Camera"));
    EXPECT_EQ(device.id, 1);
    EXPECT_EQ(session.resolveFormat(device, std::int32_t{2}).name, "RGB24 (8x6)");
    EXPECT_EQ(session.resolveFormat(device, std::string("Y800 (8x6)")).id, 1);

    EXPECT_THAT([&] { session.resolveDevice(std::int32_t{2}); },
                ThrowsMessage<HostError>("There is no device with ID 2."));
    EXPECT_THAT([&] { session.resolveDevice(std::string("ORX Elsewhere")); },
                ThrowsMessage<HostError>("There is no device named \"ORX Elsewhere\"."));
    EXPECT_THAT([&] { session.resolveFormat(device, std::int32_t{3}); },
                ThrowsMessage<HostError>("Device \"Fake Camera\" has no format with ID 3."));
    EXPECT_THAT([&] { session.open(std::int32_t{1}, std::string("Y16 (8x6)")); },
                ThrowsMessage<HostError>("Device \"Fake Camera\" has no format \"Y16 (8x6)\"."));
}

TEST_F(SessionTest, ParseRefTellsIdsFromNames)
{
    EXPECT_EQ(imaqhost::parseRef("12"), (std::variant<std::int32_t, std::string>(12)));
    EXPECT_EQ(imaqhost::parseRef("Cam 1"), (std::variant<std::int32_t, std::string>("Cam 1")));
    EXPECT_EQ(imaqhost::parseRef("-1"), (std::variant<std::int32_t, std::string>("-1")));
    EXPECT_EQ(imaqhost::parseRef("99999999999"),
              (std::variant<std::int32_t, std::string>("99999999999")));
}

// open() hands the adaptor the device entry and the format name, and the
// video input answers through the adaptor's slots.
TEST_F(SessionTest, OpenCreatesTheAdaptorForDeviceAndFormat)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = session.open(std::string("Fake Camera"), std::int32_t{2});
    EXPECT_EQ(log().createdDevice, "Fake Camera");
    EXPECT_EQ(log().createdFormat, "RGB24 (8x6)");
    EXPECT_EQ(input->formatName(), "RGB24 (8x6)");
    EXPECT_EQ(input->device().id, 1);
    EXPECT_EQ(input->maxWidth(), 8);
    EXPECT_EQ(input->maxHeight(), 6);
    EXPECT_EQ(input->frameType(), imaqkit::kMono8);
    EXPECT_EQ(input->driverDescription(), "Fake adaptor");
    EXPECT_EQ(input->driverVersion(), "0.1");
    EXPECT_TRUE(input->openDevice());
    EXPECT_TRUE(input->closeDevice());
}

// A test may hand the adaptor a format name the catalogue does not offer.
TEST_F(SessionTest, FormatNameOverrideSkipsFormatResolution)
{
    imaqhost::Session session(fakeEntryPoints());
    imaqhost::OpenOptions options;
    options.formatNameOverride = "NTSC:Y16 (9x9)";
    auto input = session.open(std::int32_t{1}, std::int32_t{99}, options);
    EXPECT_EQ(log().createdFormat, "NTSC:Y16 (9x9)");
    EXPECT_EQ(input->formatName(), "NTSC:Y16 (9x9)");
}

TEST_F(SessionTest, AdaptorThatCreatesNothingIsAnError)
{
    config().createReturnsNull = true;
    imaqhost::Session session(fakeEntryPoints());
    EXPECT_THAT([&] { openFake(session); },
                ThrowsMessage<HostError>("The adaptor could not create a video input on \"Fake "
                                         "Camera\" in format \"Y800 (8x6)\"."));
}

// A status thrown from getDeviceAttributes becomes one HostError; what was
// declared so far is released.
TEST_F(SessionTest, FailingAttributesAreAnError)
{
    config().declare = [](imaqkit::IPropFactory* factory) {
        factory->publishProperty(factory->newIntProperty("Partial", 0, 1));
        throw std::int32_t{-5};
    };
    imaqhost::Session session(fakeEntryPoints());
    EXPECT_THAT([&] { session.attributes(std::int32_t{1}, std::int32_t{1}); },
                ThrowsMessage<HostError>(::testing::HasSubstr("raised status -5")));
    EXPECT_THROW(openFake(session), HostError);
}

} // namespace
} // namespace hosttest
