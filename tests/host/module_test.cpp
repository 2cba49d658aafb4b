// Loading adaptor modules by path and resolving their entry points by name.
#include "host_test.h"

#include "imaqhost/adaptor_module.h"
#include "imaqhost/host_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

namespace hosttest {
namespace {

using imaqhost::AdaptorModule;
using imaqhost::HostError;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

class ModuleTest : public HostTest {};

TEST_F(ModuleTest, MissingFileIsNamed)
{
    EXPECT_THAT([] { AdaptorModule::load("/nonexistent/ORXImaq.so"); },
                ThrowsMessage<HostError>(
                    HasSubstr("Cannot load adaptor module \"/nonexistent/ORXImaq.so\": ")));
}

#if defined(ORX_FAKE_MODULE_COMPLETE) && defined(ORX_FAKE_MODULE_PARTIAL)

TEST_F(ModuleTest, MissingEntryPointIsNamed)
{
    EXPECT_THAT([] { AdaptorModule::load(ORX_FAKE_MODULE_PARTIAL); },
                ThrowsMessage<HostError>(HasSubstr("does not export \"getDeviceAttributes\".")));
}

// A whole module loads, and a session over it runs its entry points.
TEST_F(ModuleTest, CompleteModuleServesASession)
{
    const AdaptorModule module = AdaptorModule::load(ORX_FAKE_MODULE_COMPLETE);
    EXPECT_EQ(module.entryPoints().firstMissing(), nullptr);
    EXPECT_EQ(module.path(), ORX_FAKE_MODULE_COMPLETE);

    imaqhost::Session session = imaqhost::Session::load(ORX_FAKE_MODULE_COMPLETE);
    const auto& devices = session.discover();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].name, "Module Camera");
    const auto attributes = session.attributes(std::int32_t{1}, std::string("Y800 (4x4)"));
    ASSERT_EQ(attributes.sources.size(), 1u);
    EXPECT_THAT([&] { session.open(std::int32_t{1}, std::int32_t{1}); },
                ThrowsMessage<HostError>(HasSubstr("could not create a video input")));
}

#endif

#if !defined(_WIN32)
TEST_F(ModuleTest, ModuleWithoutEntryPointsIsRefused)
{
    // Any shared library that is not an adaptor will do: the host kit itself.
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&imaqkit::imaqmalloc), &info), 0);
    EXPECT_THAT([&] { AdaptorModule::load(info.dli_fname); },
                ThrowsMessage<HostError>(HasSubstr("does not export \"initializeAdaptor\".")));
}
#endif

} // namespace
} // namespace hosttest
