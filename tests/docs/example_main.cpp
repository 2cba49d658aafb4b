// Runs a C++ example of the docs (its main renamed) and fails if it left any
// runtime resource behind or let an exception out.
#include "common/resource_counts.h"

#include <cstdio>
#include <exception>

int orx_docs_example_main(int argc, char** argv);

int main(int argc, char** argv)
{
    const auto before = orx::apps::resourceCounts();
    int status = 1;
    try {
        status = orx_docs_example_main(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "the example threw: %s\n", error.what());
        return 1;
    }
    const auto leaks = orx::apps::leakReport(before, orx::apps::resourceCounts());
    if (!leaks.empty()) {
        std::fprintf(stderr, "the example left behind: %s\n", leaks.c_str());
        return 1;
    }
    return status;
}
