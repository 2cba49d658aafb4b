// The fixture of the whole-adaptor GenICam tests: a host session on a rig of
// Aravis' in-process fake camera alone, inside a network namespace with no
// interface but loopback, and no Aravis object left behind.
#pragma once

#include "support/adaptor_session.h"
#include "support/network_namespace.h"
#include "vexcam/genicam.h"

#include <gtest/gtest.h>

namespace orx::test {

class GenicamSessionTest : public AdaptorSessionTest {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(onlyLoopback()) << "run under unshare -n"; }

    void SetUp() override
    {
        AdaptorSessionTest::SetUp();
        ASSERT_TRUE(vexcam::hasGenicamSupport());
        objectsBefore_ = vexcam::genicamLiveObjects();
        vexcam::Rig rig;
        rig.genicam = vexcam::GenicamSpec{{"Fake"}};
        vexcam::installRig(rig);
    }

    void TearDown() override
    {
        AdaptorSessionTest::TearDown();
        EXPECT_EQ(vexcam::genicamLiveObjects(), objectsBefore_);
    }

private:
    std::int64_t objectsBefore_ = 0;
};

} // namespace orx::test
