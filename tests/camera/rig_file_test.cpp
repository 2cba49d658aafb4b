// A rig file is read only when it is a regular file of bounded size: other
// kinds of file are refused by name and kind, at once, before any reading.
#include "camera_fixture.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#if !defined(_WIN32)
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace vexcam::test {
namespace {

constexpr const char* kSmallRig = R"json({"devices": [{"name": "Linked Cam", "formats": ["Y800 (64x8)"]}]})json";

class RigFileTest : public orx::test::LeakCheckedTest {
protected:
    void SetUp() override
    {
        LeakCheckedTest::SetUp();
        folder_ = std::filesystem::path(::testing::TempDir()) / (std::string("vexsim_rig_file_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        LeakCheckedTest::TearDown();
    }

    // The RigError message loading `path` raises.
    static std::string loadError(const std::string& path)
    {
        try {
            loadRigFile(path);
        } catch (const RigError& error) {
            return error.what();
        }
        return "no error";
    }

    static void expectRefused(const std::string& path, const std::string& kind)
    {
        const std::string message = loadError(path);
        EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << message;
        EXPECT_NE(message.find(kind), std::string::npos) << message;
    }

    std::filesystem::path folder_;
};

TEST_F(RigFileTest, FolderIsNamedAsAFolder)
{
    expectRefused(folder_.string(), "a rig must be a regular file, this is a folder");
}

TEST_F(RigFileTest, MissingFileSaysSo)
{
    expectRefused((folder_ / "absent.json").string(), "cannot open the rig file");
}

// A file larger than the bound is refused from its size alone; a sparse
// file makes that cheap to test and would take long to read.
TEST_F(RigFileTest, OversizeFileIsRefusedUnread)
{
    const auto path = folder_ / "huge.json";
    std::ofstream(path) << kSmallRig;
    std::filesystem::resize_file(path, 16u * 1024u * 1024u + 1u);
    expectRefused(path.string(), "larger than 16777216 bytes");
}

// A file of exactly the bound is read whole.
TEST_F(RigFileTest, FileAtTheBoundIsRead)
{
    const auto path = folder_ / "full.json";
    const std::string rig = kSmallRig;
    std::ofstream(path) << rig << std::string(16u * 1024u * 1024u - rig.size(), ' ');
    ASSERT_EQ(std::filesystem::file_size(path), 16u * 1024u * 1024u);
    EXPECT_EQ(loadRigFile(path.string()).devices.at(0).name, "Linked Cam");
}

#if !defined(_WIN32)
TEST_F(RigFileTest, CharacterDeviceIsRefusedUnread)
{
    expectRefused("/dev/zero", "a character device");
}

// Without O_NONBLOCK opening a FIFO that has no writer would wait forever.
TEST_F(RigFileTest, FifoWithoutWriterIsRefusedAtOnce)
{
    const auto path = folder_ / "pipe.json";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    expectRefused(path.string(), "a FIFO");
}

TEST_F(RigFileTest, SocketIsRefused)
{
    const auto path = folder_ / "sock";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.string().size(), sizeof address.sun_path);
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    expectRefused(path.string(), "a socket");
    ::close(fd);
}

TEST_F(RigFileTest, SymlinksAreFollowed)
{
    const auto target = folder_ / "real.json";
    std::ofstream(target) << kSmallRig;
    const auto link = folder_ / "link.json";
    std::filesystem::create_symlink(target, link);
    EXPECT_EQ(loadRigFile(link.string()).devices.at(0).name, "Linked Cam");
    // A link to a device is judged by what it points to.
    const auto deviceLink = folder_ / "zero.json";
    std::filesystem::create_symlink("/dev/zero", deviceLink);
    expectRefused(deviceLink.string(), "a character device");
}

// ORX_SIM_RIG goes through the same checks: InitLibrary fails with the reason.
TEST_F(RigFileTest, EnvironmentRigIsChecked)
{
    ::setenv("ORX_SIM_RIG", "/dev/zero", 1);
    EXPECT_FALSE(Vexlib::InitLibrary());
    EXPECT_EQ(lastInitError(), "/dev/zero: a rig must be a regular file, this is a character device");
    Vexlib::ExitLibrary();
    ::unsetenv("ORX_SIM_RIG");
}
#endif

} // namespace
} // namespace vexcam::test
