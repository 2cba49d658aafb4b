// The fixture of the host's tests: the fake adaptor reset, warnings kept
// quiet and cleared, and every resource counter checked at the end.
#pragma once

#include "fake_adaptor.h"
#include "imaqhost/testing/accounting.h"
#include "imaqhost/testing/video_input_inspector.h"
#include "imaqhost/session.h"
#include "imaqhost/warnings.h"
#include "support/leak_check.h"

#include <cstring>
#include <memory>

namespace hosttest {

class HostTest : public orx::test::LeakCheckedTest {
protected:
    void SetUp() override
    {
        reset();
        imaqhost::setWarningEcho(false);
        imaqhost::clearWarnings();
        LeakCheckedTest::SetUp();
    }

    void TearDown() override
    {
        LeakCheckedTest::TearDown();
        imaqhost::setWarningEcho(true);
        imaqhost::clearWarnings();
    }

    static std::unique_ptr<imaqhost::VideoInput> openFake(imaqhost::Session& session,
                                                         const imaqhost::OpenOptions& options = {})
    {
        return session.open(std::int32_t{1}, std::int32_t{1}, options);
    }

    static FakeAdaptor& fakeOf(imaqhost::VideoInput& input)
    {
        return dynamic_cast<FakeAdaptor&>(imaqhost::inspect(input).adaptor());
    }
};

inline std::int32_t readInt32(const void* buffer)
{
    std::int32_t value = 0;
    std::memcpy(&value, buffer, sizeof value);
    return value;
}

inline double readDouble(const void* buffer)
{
    double value = 0;
    std::memcpy(&value, buffer, sizeof value);
    return value;
}

inline void writeInt32(void* buffer, std::int32_t value)
{
    std::memcpy(buffer, &value, sizeof value);
}

} // namespace hosttest
