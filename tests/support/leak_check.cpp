#include "support/leak_check.h"

namespace orx::test {

std::vector<LeakCounter> leakCounters()
{
    return orx::apps::resourceCounts();
}

void expectNoLeaks(const std::vector<LeakCounter>& before)
{
    const auto after = leakCounters();
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i].value, before[i].value) << "leaked " << after[i].name;
}

void LeakCheckedTest::SetUp()
{
    before_ = leakCounters();
}

void LeakCheckedTest::TearDown()
{
    expectNoLeaks(before_);
}

} // namespace orx::test
