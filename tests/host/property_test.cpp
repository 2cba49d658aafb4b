// Declared properties: types, constraints and read-only modes are enforced by
// the host before any listener of the adaptor hears of a write; reads go
// through the adaptor's custom get function.
#include "host_test.h"
#include "imaqhost/testing/video_input_inspector.h"

#include "imaqhost/host_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace hosttest {
namespace {

using imaqhost::HostError;
using imaqhost::PropertyType;
using imaqhost::ReadOnlyMode;
using ::testing::HasSubstr;

void publish(imaqkit::IPropFactory* factory, imaqkit::PropertyHandle handle, const char* mode)
{
    factory->setReadOnlyMode(handle, mode);
    factory->publishProperty(handle);
}

void declareCameraProperties(imaqkit::IPropFactory* factory)
{
    publish(factory, factory->newIntProperty("SerialNo", 0, 1), "always");
    auto rate = factory->newEnumProperty("FrameRate", "30.00", 1);
    factory->appendEnumValue(rate, "15.00", 0);
    factory->appendEnumValue(rate, " 7.50", 2);
    publish(factory, rate, "whileRunning");
    publish(factory, factory->newIntRangeProperty("Brightness", 0, 255, 128, 1), "never");
    publish(factory, factory->newDoubleRangeProperty("Gamma", 0.5, 2.5, 1.0), "never");
    auto balance = factory->newEnumProperty("WhiteBalanceAuto", "On", 1);
    factory->appendEnumValue(balance, "Off", 0);
    publish(factory, balance, "never");
}

class PropertyTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        config().declare = declareCameraProperties;
    }

    // The listener events of the fake, "set X" and "get X" only.
    static std::vector<std::string> traffic()
    {
        auto events = log().snapshot();
        events.erase(std::remove_if(events.begin(), events.end(),
                                    [](const std::string& event) {
                                        return event.rfind("set ", 0) != 0 &&
                                               event.rfind("get ", 0) != 0;
                                    }),
                     events.end());
        return events;
    }
};

// Each kind of property arrives with its constraint, mode and default.
TEST_F(PropertyTest, AttributesDescribeTypesConstraintsModesAndDefaults)
{
    imaqhost::Session session(fakeEntryPoints());
    const auto attributes = session.attributes(std::int32_t{1}, std::string("Y800 (8x6)"));
    ASSERT_EQ(attributes.properties.size(), 5u);
    EXPECT_TRUE(attributes.declarationIssues.empty());

    const auto& serial = attributes.properties[0];
    EXPECT_EQ(serial.name, "SerialNo");
    EXPECT_EQ(serial.type, PropertyType::Integer);
    EXPECT_EQ(serial.readOnly, ReadOnlyMode::Always);
    EXPECT_EQ(serial.intFlags, 1);

    const auto& rate = attributes.properties[1];
    EXPECT_EQ(rate.type, PropertyType::Enumeration);
    EXPECT_EQ(rate.readOnly, ReadOnlyMode::WhileRunning);
    EXPECT_EQ(rate.enumValues, (std::vector<imaqhost::EnumValue>{{"30.00", 1}, {"15.00", 0}, {" 7.50", 2}}));
    EXPECT_EQ(imaqhost::defaultValueOf(rate), imaqhost::PropertyValue(std::string("30.00")));

    const auto& brightness = attributes.properties[2];
    EXPECT_EQ(brightness.type, PropertyType::IntegerRange);
    EXPECT_EQ(brightness.intLower, 0);
    EXPECT_EQ(brightness.intUpper, 255);
    EXPECT_EQ(imaqhost::defaultValueOf(brightness), imaqhost::PropertyValue(std::int32_t{128}));

    const auto& gamma = attributes.properties[3];
    EXPECT_EQ(gamma.type, PropertyType::DoubleRange);
    EXPECT_EQ(gamma.doubleLower, 0.5);
    EXPECT_EQ(gamma.doubleUpper, 2.5);
    EXPECT_EQ(imaqhost::defaultValueOf(gamma), imaqhost::PropertyValue(1.0));

    ASSERT_EQ(attributes.sources.size(), 1u);
    EXPECT_EQ(attributes.sources[0].name, "input1");
    EXPECT_EQ(attributes.sources[0].id, 1);
    EXPECT_TRUE(attributes.triggers.empty());
}

// Impossible declarations get no handle; calls with foreign handles or
// unknown modes change nothing. Each is reported once.
TEST_F(PropertyTest, FactoryRefusesImpossibleDeclarations)
{
    config().declare = [](imaqkit::IPropFactory* factory) {
        EXPECT_EQ(factory->newIntRangeProperty("Inverted", 10, 5, 7, 1), nullptr);
        EXPECT_EQ(factory->newIntRangeProperty("Outside", 0, 5, 6, 1), nullptr);
        EXPECT_EQ(factory->newDoubleRangeProperty("Unordered", NAN, 1.0, 0.5), nullptr);
        EXPECT_EQ(factory->newDoubleRangeProperty("BadDefault", 0.0, 1.0, 1.5), nullptr);
        EXPECT_EQ(factory->newEnumProperty(nullptr, "A", 0), nullptr);
        int foreign = 0;
        factory->publishProperty(&foreign);
        factory->appendEnumValue(&foreign, "X", 1);
        factory->publishProperty(nullptr);
        auto kept = factory->newIntRangeProperty("Kept", 0, 0, 0, 1);
        factory->setReadOnlyMode(kept, "sometimes");
        factory->publishProperty(kept);
    };
    imaqhost::Session session(fakeEntryPoints());
    const auto attributes = session.attributes(std::int32_t{1}, std::int32_t{1});
    ASSERT_EQ(attributes.properties.size(), 1u);
    EXPECT_EQ(attributes.properties[0].name, "Kept");
    EXPECT_EQ(attributes.properties[0].readOnly, ReadOnlyMode::Never);
    EXPECT_EQ(attributes.declarationIssues.size(), 9u);
}

// The last published declaration of a name wins, in the place of the first;
// a declaration that is never published replaces nothing.
TEST_F(PropertyTest, LaterPublicationOfANameReplacesTheEarlierInPlace)
{
    config().declare = [](imaqkit::IPropFactory* factory) {
        publish(factory, factory->newIntRangeProperty("Gain", 0, 10, 5, 1), "never");
        publish(factory, factory->newIntRangeProperty("Other", 0, 1, 0, 1), "never");
        publish(factory, factory->newDoubleRangeProperty("Gain", 0.0, 4.0, 2.0), "never");
        factory->newEnumProperty("Gain", "never published", 0);
    };
    imaqhost::Session session(fakeEntryPoints());
    const auto properties = session.attributes(std::int32_t{1}, std::int32_t{1}).properties;
    ASSERT_EQ(properties.size(), 2u);
    EXPECT_EQ(properties[0].name, "Gain");
    EXPECT_EQ(properties[0].type, PropertyType::DoubleRange);
    EXPECT_EQ(properties[1].name, "Other");
}

// A value given again with its id adds nothing; the same text under another
// id is a value of its own (a rate a camera lists twice).
TEST_F(PropertyTest, EnumerationKeepsEachTextIdPairOnce)
{
    config().declare = [](imaqkit::IPropFactory* factory) {
        auto list = factory->newEnumProperty("Mode", "B", 1);
        factory->appendEnumValue(list, "A", 0);
        factory->appendEnumValue(list, "B", 1);
        factory->appendEnumValue(list, "B", 3);
        publish(factory, list, "never");
    };
    imaqhost::Session session(fakeEntryPoints());
    const auto properties = session.attributes(std::int32_t{1}, std::int32_t{1}).properties;
    ASSERT_EQ(properties.size(), 1u);
    EXPECT_EQ(properties[0].enumValues,
              (std::vector<imaqhost::EnumValue>{{"B", 1}, {"A", 0}, {"B", 3}}));

    auto input = openFake(session);
    config().onGet = [](const std::string&, void* buffer) { writeInt32(buffer, 3); };
    EXPECT_EQ(input->get("Mode"), imaqhost::PropertyValue(std::string("B")));
    EXPECT_EQ(input->getEnumId("Mode"), 3);
}

// Out-of-range and ill-typed integer writes never reach the listener.
TEST_F(PropertyTest, IntegerWritesAreCheckedBeforeTheListener)
{
    std::vector<std::int32_t> seen;
    config().onSet = [&](const std::string&, void* value) { seen.push_back(readInt32(value)); };
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);

    try {
        input->set("Brightness", std::int32_t{300});
        FAIL() << "out-of-range value accepted";
    } catch (const HostError& error) {
        EXPECT_STREQ(error.what(), "Value 300 is out of range [0, 255] for property \"Brightness\".");
    }
    EXPECT_THROW(input->set("Brightness", std::int32_t{-1}), HostError);
    EXPECT_THROW(input->set("Brightness", 2.5), HostError);
    EXPECT_THROW(input->set("Brightness", std::string("200")), HostError);
    EXPECT_TRUE(seen.empty());

    input->set("Brightness", std::int32_t{255});
    input->set("Brightness", 7.0);
    EXPECT_EQ(seen, (std::vector<std::int32_t>{255, 7}));
    EXPECT_EQ(input->get("Brightness"), imaqhost::PropertyValue(std::int32_t{7}));
}

TEST_F(PropertyTest, DoubleWritesAreCheckedBeforeTheListener)
{
    std::vector<double> seen;
    config().onSet = [&](const std::string&, void* value) { seen.push_back(readDouble(value)); };
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);

    EXPECT_THAT([&] { input->set("Gamma", 2.6); },
                ::testing::ThrowsMessage<HostError>(
                    "Value 2.6 is out of range [0.5, 2.5] for property \"Gamma\"."));
    EXPECT_THROW(input->set("Gamma", std::nan("")), HostError);
    EXPECT_THROW(input->set("Gamma", std::string("fast")), HostError);
    EXPECT_TRUE(seen.empty());

    input->set("Gamma", std::int32_t{2});
    input->set("Gamma", 0.5);
    EXPECT_EQ(seen, (std::vector<double>{2.0, 0.5}));
}

// Enumerations take a value's text (any letter case if that is unique) and
// hand the adaptor its id.
TEST_F(PropertyTest, EnumerationWritesTakeTextsAndPassIds)
{
    std::vector<std::int32_t> seen;
    config().onSet = [&](const std::string&, void* value) { seen.push_back(readInt32(value)); };
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);

    input->set("WhiteBalanceAuto", std::string("Off"));
    input->set("WhiteBalanceAuto", std::string("ON"));
    EXPECT_EQ(seen, (std::vector<std::int32_t>{0, 1}));

    EXPECT_THAT([&] { input->set("WhiteBalanceAuto", std::string("Maybe")); },
                ::testing::ThrowsMessage<HostError>(HasSubstr("choose one of \"On\", \"Off\"")));
    EXPECT_THROW(input->set("WhiteBalanceAuto", std::int32_t{1}), HostError);
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(PropertyTest, ReadOnlyPropertiesRefuseWrites)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    EXPECT_THAT([&] { input->set("SerialNo", std::int32_t{5}); },
                ::testing::ThrowsMessage<HostError>("Property \"SerialNo\" is read-only."));
    EXPECT_TRUE(traffic().empty());
}

// "whileRunning" refuses writes only while an acquisition is active.
TEST_F(PropertyTest, StreamingWhileRunningModeRefusesWritesDuringAcquisition)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    // Capture ends at the last requested frame, before a consumer of acquire
    // may run, so the writes happen during an acquisition that runs until stop.
    std::string refusal;
    input->start(imaqhost::VideoInput::kUnlimitedFrames);
    try {
        input->set("FrameRate", std::string("15.00"));
    } catch (const HostError& error) {
        refusal = error.what();
    }
    input->set("Brightness", std::int32_t{3}); // "never" stays writable
    input->stop();
    input->flushData();
    EXPECT_EQ(refusal, "Property \"FrameRate\" is read-only while an acquisition runs.");
    input->set("FrameRate", std::string("15.00"));
    EXPECT_EQ(traffic(), (std::vector<std::string>{"set Brightness", "set FrameRate"}));
}

// The custom get function sees the stored value in its buffer, so leaving
// the buffer alone reads the stored value.
TEST_F(PropertyTest, ReadsGoThroughTheCustomGetFunctionWithTheStoredValue)
{
    std::vector<std::int32_t> prefilled;
    config().onGet = [&](const std::string& name, void* buffer) {
        if (name == "Brightness") prefilled.push_back(readInt32(buffer));
        if (name == "Gamma") {
            EXPECT_EQ(readDouble(buffer), 1.0);
        }
    };
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);

    EXPECT_EQ(input->get("Brightness"), imaqhost::PropertyValue(std::int32_t{128}));
    input->set("Brightness", std::int32_t{9});
    EXPECT_EQ(input->get("Brightness"), imaqhost::PropertyValue(std::int32_t{9}));
    EXPECT_EQ(prefilled, (std::vector<std::int32_t>{128, 9}));
    EXPECT_EQ(input->get("Gamma"), imaqhost::PropertyValue(1.0));

    config().onGet = [](const std::string&, void* buffer) { writeInt32(buffer, 2); };
    EXPECT_EQ(input->get("FrameRate"), imaqhost::PropertyValue(std::string(" 7.50")));
    EXPECT_EQ(input->get("Brightness"), imaqhost::PropertyValue(std::int32_t{2}));

    config().onGet = [](const std::string&, void* buffer) { writeInt32(buffer, 9); };
    EXPECT_THAT([&] { input->get("FrameRate"); },
                ::testing::ThrowsMessage<HostError>(HasSubstr("none of its values")));
}

// A status the adaptor throws becomes a HostError; a failed write keeps the
// value the property had.
TEST_F(PropertyTest, AdaptorFailuresBecomeHostErrors)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);

    config().onGet = [](const std::string&, void*) { throw std::int32_t{-2147467259}; };
    EXPECT_THAT([&] { input->get("Brightness"); },
                ::testing::ThrowsMessage<HostError>(HasSubstr("status -2147467259 (0x80004005)")));

    config().onGet = nullptr;
    config().onSet = [](const std::string&, void*) { throw std::runtime_error("camera gone"); };
    EXPECT_THAT([&] { input->set("Brightness", std::int32_t{17}); },
                ::testing::ThrowsMessage<HostError>(HasSubstr("camera gone")));
    EXPECT_EQ(input->get("Brightness"), imaqhost::PropertyValue(std::int32_t{128}));
}

// A property whose information object says it is not the adaptor's own gets
// no listeners, and its reads never reach the adaptor.
TEST_F(PropertyTest, PropertiesNotDeviceSpecificGetNoListeners)
{
    imaqhost::Session session(fakeEntryPoints());
    imaqhost::OpenOptions options;
    options.notDeviceSpecific = {"Gamma"};
    auto input = openFake(session, options);

    EXPECT_FALSE(imaqhost::inspect(*input).hasCustomGetFunction("Gamma"));
    EXPECT_EQ(imaqhost::inspect(*input).postSetListenerCount("Gamma"), 0u);
    EXPECT_TRUE(imaqhost::inspect(*input).hasCustomGetFunction("Brightness"));
    EXPECT_EQ(imaqhost::inspect(*input).postSetListenerCount("Brightness"), 1u);
    EXPECT_EQ(input->get("Gamma"), imaqhost::PropertyValue(1.0));
    EXPECT_TRUE(traffic().empty());
}

TEST_F(PropertyTest, UnknownNamesAreClearErrors)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    EXPECT_THAT([&] { input->get("Nope"); },
                ::testing::ThrowsMessage<HostError>("There is no property \"Nope\"."));
    EXPECT_THROW(input->set("Nope", std::int32_t{1}), HostError);
    EXPECT_THROW(input->describe("Nope"), HostError);
    imaqhost::OpenOptions options;
    options.notDeviceSpecific = {"Nope"};
    EXPECT_THROW(session.open(std::int32_t{1}, std::int32_t{1}, options), HostError);
}

// Text values are parsed by the property's type, strictly.
TEST_F(PropertyTest, TextValuesAreParsedByType)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setFromText("Brightness", "200");
    input->setFromText("Gamma", "1.25");
    input->setFromText("WhiteBalanceAuto", "off");
    EXPECT_EQ(input->get("Brightness"), imaqhost::PropertyValue(std::int32_t{200}));
    EXPECT_EQ(input->get("Gamma"), imaqhost::PropertyValue(1.25));
    EXPECT_EQ(input->get("WhiteBalanceAuto"), imaqhost::PropertyValue(std::string("Off")));
    for (const char* bad : {"2.0", "abc", "", " 5", "99999999999"}) {
        EXPECT_THROW(input->setFromText("Brightness", bad), HostError) << bad;
    }
    for (const char* bad : {"1.5x", "", "nan"}) {
        EXPECT_THROW(input->setFromText("Gamma", bad), HostError) << bad;
    }
}

// The listeners the adaptor hands over belong to the host and go with the
// video input.
TEST_F(PropertyTest, ListenersAreDeletedWithTheVideoInput)
{
    imaqhost::Session session(fakeEntryPoints());
    const auto before = imaqhost::outstandingImaqBlocks();
    auto input = openFake(session);
    // The adaptor, the source listener and two listeners per device property.
    EXPECT_EQ(imaqhost::outstandingImaqBlocks() - before, 1 + 1 + 2 * 5);
    input.reset();
    EXPECT_EQ(imaqhost::outstandingImaqBlocks(), before);
}

// The engine property names the selected source; a change reaches the
// adaptor's listener, an unknown source is refused.
TEST_F(PropertyTest, SelectedSourceNameFollowsTheSelection)
{
    config().sources = {"input1", "input2"};
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    EXPECT_EQ(input->selectedSource(), "input1");
    input->selectSource("input2");
    EXPECT_EQ(input->selectedSource(), "input2");
    EXPECT_EQ(log().snapshot().back(), "source input2");
    EXPECT_THAT([&] { input->selectSource("input3"); },
                ::testing::ThrowsMessage<HostError>(HasSubstr("\"input1\", \"input2\"")));
    EXPECT_EQ(input->selectedSource(), "input2");
}

} // namespace
} // namespace hosttest
