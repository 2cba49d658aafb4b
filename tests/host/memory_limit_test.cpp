// The session's frame-memory limit: frames beyond it are not logged, every
// one of them is counted, and a run of them is one Overrun event.
#include "host_test.h"

#include "imaqhost/host_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

namespace hosttest {
namespace {

using imaqhost::EventType;
using namespace std::chrono_literals;

class MemoryLimitTest : public HostTest {};

// By default a quarter of physical memory; settable, never zero.
TEST_F(MemoryLimitTest, DefaultIsAShareOfPhysicalMemory)
{
    imaqhost::Session session(fakeEntryPoints());
    ASSERT_GT(imaqhost::physicalMemory(), 0u);
    EXPECT_EQ(session.memoryLimit(), imaqhost::physicalMemory() / imaqhost::kDefaultMemoryShare);
    session.setMemoryLimit(12345);
    EXPECT_EQ(session.memoryLimit(), 12345u);
    EXPECT_THROW(session.setMemoryLimit(0), imaqhost::HostError);
    EXPECT_EQ(session.memoryInUse(), 0u);
}

// Two 48-byte frames fit in 100 bytes; the next ones are overruns, counted
// and reported once, until getData makes room and the third frame is logged.
TEST_F(MemoryLimitTest, StreamingFramesBeyondTheLimitAreCountedOverruns)
{
    imaqhost::Session session(fakeEntryPoints());
    session.setMemoryLimit(100);
    auto input = openFake(session);
    input->start(3);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (input->statistics().overrun < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    EXPECT_GE(input->statistics().overrun, 3);
    EXPECT_EQ(input->framesAcquired(), 2);
    EXPECT_EQ(session.memoryInUse(), 96u);
    input->getData(2, {});
    // The camera goes on streaming: the third frame may be logged at once.
    EXPECT_LE(session.memoryInUse(), 48u);
    ASSERT_TRUE(input->wait(5s));
    const auto stats = input->statistics();
    EXPECT_EQ(stats.received, 3);
    EXPECT_EQ(stats.end, imaqhost::AcquisitionEnd::Completed);
    EXPECT_EQ(session.memoryInUse(), 48u);
    input->getData(1, {});
    EXPECT_EQ(session.memoryInUse(), 0u);

    std::vector<EventType> types;
    std::string message;
    for (const auto& event : input->eventLog()) {
        types.push_back(event.type);
        if (event.type == EventType::Overrun) message = event.message;
    }
    EXPECT_THAT(types, ::testing::ElementsAre(EventType::Start, EventType::Trigger, EventType::Overrun,
                                              EventType::Stop));
    EXPECT_THAT(message, ::testing::HasSubstr("frame-memory limit"));
    input->flushData();
    EXPECT_EQ(session.memoryInUse(), 0u);
}

// Frames still held when the video input goes give their bytes back.
TEST_F(MemoryLimitTest, StreamingClosingAnInputReturnsItsMemory)
{
    imaqhost::Session session(fakeEntryPoints());
    {
        auto input = openFake(session);
        input->start(4);
        ASSERT_TRUE(input->wait(5s));
        EXPECT_EQ(session.memoryInUse(), 4u * 48u);
    }
    EXPECT_EQ(session.memoryInUse(), 0u);
}

} // namespace
} // namespace hosttest
