// The shared counter list: every counter moves with its resource, and the
// report names exactly the counters that differ.
#include "common/resource_counts.h"

#include "common/bstr.h"
#include "support/leak_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

using orx::apps::ResourceCount;

class ResourceCounts : public orx::test::LeakCheckedTest {};

std::int64_t valueOf(const std::vector<ResourceCount>& counts, const char* name)
{
    for (const auto& count : counts)
        if (std::strcmp(count.name, name) == 0) return count.value;
    ADD_FAILURE() << "no counter " << name;
    return 0;
}

TEST_F(ResourceCounts, NamesAndKeysAreUniqueAndTheOrderFixed)
{
    const auto first = orx::apps::resourceCounts();
    const auto second = orx::apps::resourceCounts();
    ASSERT_EQ(first.size(), second.size());
    std::set<std::string> names;
    std::set<std::string> keys;
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_STREQ(first[i].name, second[i].name);
        names.insert(first[i].name);
        keys.insert(first[i].key);
    }
    EXPECT_EQ(names.size(), first.size());
    EXPECT_EQ(keys.size(), first.size());
}

TEST_F(ResourceCounts, ACounterFollowsItsResource)
{
    const auto before = orx::apps::resourceCounts();
    {
        orx::Bstr text(OLESTR("held"));
        const auto during = orx::apps::resourceCounts();
        EXPECT_EQ(valueOf(during, "BSTRs"), valueOf(before, "BSTRs") + 1);
        EXPECT_EQ(orx::apps::leakReport(before, during), "1 BSTRs");
        EXPECT_EQ(orx::apps::leakReport(during, before), "-1 BSTRs");
    }
    EXPECT_EQ(orx::apps::leakReport(before, orx::apps::resourceCounts()), "");
}

TEST(ResourceCountReport, NamesEveryDifferenceInListOrder)
{
    const std::vector<ResourceCount> before{{"a", "A", 1}, {"b", "B", 5}, {"c", "C", 0}};
    const std::vector<ResourceCount> after{{"a", "A", 3}, {"b", "B", 5}, {"c", "C", -2}};
    EXPECT_EQ(orx::apps::leakReport(before, after), "2 a, -2 c");
    EXPECT_EQ(orx::apps::leakReport(before, before), "");
    // Lists of different lengths (a counter added between builds) compare what both have.
    EXPECT_EQ(orx::apps::leakReport(before, {{"a", "A", 2}}), "1 a");
    EXPECT_EQ(orx::apps::leakReport({}, after), "");
}

} // namespace
