// A test fixture that proves nothing leaked: SetUp records every resource
// counter of the seams and stand-ins, TearDown asserts that each is back where
// it started. A test that overrides SetUp or TearDown calls the base first
// (SetUp) or last (TearDown), after its own objects are gone.
#pragma once

#include "common/resource_counts.h"

#include <gtest/gtest.h>

#include <vector>

namespace orx::test {

// One named counter value; a snapshot is the list of all of them.
using LeakCounter = orx::apps::ResourceCount;

std::vector<LeakCounter> leakCounters();

// Non-fatal failures naming every counter that differs from `before`.
void expectNoLeaks(const std::vector<LeakCounter>& before);

class LeakCheckedTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Takes a new baseline, for a test that deliberately keeps something alive
    // across its own checkpoints.
    void rebaseLeakCounters() { before_ = leakCounters(); }

private:
    std::vector<LeakCounter> before_;
};

} // namespace orx::test
