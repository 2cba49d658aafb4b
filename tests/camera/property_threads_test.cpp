// The property tree used from several threads at once, as when property
// writes arrive while the camera delivers frames and reads the offsets.
#include "property_test_support.h"

#include <atomic>
#include <thread>

namespace vexcam::test {
namespace {

class StreamingPropertyAccess : public orx::test::LeakCheckedTest {
protected:
    std::shared_ptr<PropertyStore> store_ = makeStore();
};

constexpr int kRounds = 2000;

// Writers through COM objects, readers through the store and through other
// objects, and a walker of the whole tree run together; every value read is
// one that was written, and nothing leaks.
TEST_F(StreamingPropertyAccess, ConcurrentReadsAndWritesStayConsistent)
{
    std::atomic<bool> wrong{false};
    const auto writer = [&](LONG item, LONG element) {
        auto range = typedInterface<Vexlib::IntegerRangeInterface>(elementAt(*store_, item, element),
                                                                   Vexlib::IntegerRangeInterfaceId);
        ASSERT_TRUE(range);
        for (int i = 0; i < kRounds; ++i) {
            if (range->put_Value(i % 200) != S_OK) wrong = true;
            LONG value = -1;
            if (range->get_Value(&value) != S_OK || value < 0 || value >= 200) wrong = true;
        }
    };
    const auto cameraReader = [&] {
        for (int i = 0; i < kRounds; ++i) {
            const auto offset = store_->partialScanOffset();
            const auto adjust = store_->patternAdjust();
            if (!offset || offset->cx < 0 || offset->cx >= 200 || adjust.brightness < -128 || adjust.brightness > 72)
                wrong = true;
            (void)store_->autoCenter();
        }
    };
    const auto walker = [&] {
        for (int i = 0; i < kRounds / 20; ++i) {
            auto items = itemsOf(*store_);
            LONG count = 0;
            if (items->get_Count(&count) != S_OK || count != 7) wrong = true;
            for (LONG p = 1; p <= count; ++p) {
                orx::Bstr name;
                if (itemAt(items, p)->get_Name(name.put()) != S_OK) wrong = true;
            }
            store_->setFaults({});
        }
    };

    std::thread threads[] = {std::thread(writer, 1, 1), std::thread(writer, 7, 2), std::thread(cameraReader),
                             std::thread(walker)};
    for (auto& thread : threads) thread.join();
    EXPECT_FALSE(wrong);
}

// References taken and dropped on one object from several threads balance:
// the object goes away exactly once, after the last Release.
TEST_F(StreamingPropertyAccess, ReferenceCountingIsAtomic)
{
    const auto start = liveComObjects();
    auto element = elementAt(*store_, 2, 2);
    const auto shared = element.get();
    const auto churn = [shared] {
        for (int i = 0; i < kRounds * 5; ++i) {
            shared->AddRef();
            shared->Release();
        }
    };
    std::thread a(churn), b(churn), c(churn);
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(referenceCount(shared), 1u);
    element.reset();
    EXPECT_EQ(liveComObjects(), start);
}

// The last reference may be dropped on another thread than the one that made
// the object.
TEST_F(StreamingPropertyAccess, ObjectsMayBeReleasedOnAnyThread)
{
    auto range = typedInterface<Vexlib::IntegerRangeInterface>(elementAt(*store_, 1, 1),
                                                               Vexlib::IntegerRangeInterfaceId);
    ASSERT_TRUE(range);
    std::thread([moved = std::move(range)]() mutable {
        LONG value = 0;
        EXPECT_EQ(moved->get_Value(&value), S_OK);
        moved.reset();
    }).join();
}

} // namespace
} // namespace vexcam::test
