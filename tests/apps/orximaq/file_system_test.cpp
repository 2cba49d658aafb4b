// The file-system calls that safe writing and the folder lock stand on,
// against a real folder, with the same expectations on POSIX and Windows.
#include "output/file_system.h"

#include "support/leak_check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace orximaq {
namespace {

namespace fs = std::filesystem;

// A descriptor closed when it goes.
struct Fd {
    int fd;
    explicit Fd(int value) : fd(value) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    void reset()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

std::string contents(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class FileSystemTest : public orx::test::LeakCheckedTest {
protected:
    void SetUp() override
    {
        LeakCheckedTest::SetUp();
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("orximaq-fs-" + std::to_string(::getpid()) + "-" + test->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        LeakCheckedTest::TearDown();
    }

    void write(const std::string& name, const std::string& text) const
    {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }

    fs::path folder_;
};

// A new name gives an empty file that takes what is written; a name that
// any entry holds (file or folder) is refused with EEXIST, its entry untouched.
TEST_F(FileSystemTest, NewFileOnlyUnderAFreeName)
{
    const Fd folder(openFolderDescriptor(folder_));
    ASSERT_GE(folder.fd, 0) << std::strerror(errno);
    write("taken", "old");
    fs::create_directory(folder_ / "folder");
    for (const char* name : {"taken", "folder"}) {
        errno = 0;
        Fd refused(createNewFile(folder.fd, name));
        EXPECT_LT(refused.fd, 0) << name;
        EXPECT_EQ(errno, EEXIST) << name << ": " << std::strerror(errno);
    }
    EXPECT_EQ(contents(folder_ / "taken"), "old");
    EXPECT_TRUE(fs::is_directory(folder_ / "folder"));

    Fd fresh(createNewFile(folder.fd, "fresh"));
    ASSERT_GE(fresh.fd, 0) << std::strerror(errno);
    EXPECT_EQ(::write(fresh.fd, "a\nb", 3), 3);
    fresh.reset();
    EXPECT_EQ(contents(folder_ / "fresh"), "a\nb") << "written byte for byte";
}

// A rename replaces the file that held the target name; removing takes
// the entry away, and a missing one is ENOENT.
TEST_F(FileSystemTest, RenameReplacesAndRemoveRemoves)
{
    const Fd folder(openFolderDescriptor(folder_));
    ASSERT_GE(folder.fd, 0);
    write("final", "old contents");
    write("fresh", "new");
    EXPECT_EQ(renameEntry(folder.fd, "fresh", "final"), 0) << std::strerror(errno);
    EXPECT_EQ(contents(folder_ / "final"), "new");
    EXPECT_FALSE(fs::exists(folder_ / "fresh"));
    EXPECT_EQ(removeEntry(folder.fd, "final"), 0);
    EXPECT_TRUE(fs::is_empty(folder_));
    errno = 0;
    EXPECT_EQ(removeEntry(folder.fd, "final"), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(openFolderDescriptor(folder_ / "missing"), -1);
}

// One holder at a time: a second opening of the folder cannot take the lock
// while the first holds it (EWOULDBLOCK), and can once the first let go,
// which leaves the folder as it was.
TEST_F(FileSystemTest, LockIsExclusiveUntilReleased)
{
    Fd first(openFolderDescriptor(folder_));
    const Fd second(openFolderDescriptor(folder_));
    ASSERT_GE(first.fd, 0);
    ASSERT_GE(second.fd, 0);
    Fd held(lockFolderDescriptor(first.fd));
    ASSERT_GE(held.fd, 0) << std::strerror(errno);
    errno = 0;
    Fd refused(lockFolderDescriptor(second.fd));
    EXPECT_LT(refused.fd, 0);
    EXPECT_EQ(errno, EWOULDBLOCK) << std::strerror(errno);
    held.reset();
    first.reset();
    Fd later(lockFolderDescriptor(second.fd));
    EXPECT_GE(later.fd, 0) << std::strerror(errno);
    later.reset();
    EXPECT_TRUE(fs::is_empty(folder_)) << "the lock leaves nothing behind";
}

#if defined(_WIN32)
// On Windows the folder that a run writes into cannot be swapped for
// another while it is open: neither renamed nor removed.
TEST_F(FileSystemTest, OpenFolderStaysWhereItIs)
{
    const auto inner = folder_ / "o";
    fs::create_directory(inner);
    Fd open(openFolderDescriptor(inner));
    ASSERT_GE(open.fd, 0);
    std::error_code error;
    fs::rename(inner, folder_ / "elsewhere", error);
    EXPECT_TRUE(error) << "renamed while open";
    EXPECT_FALSE(fs::remove(inner, error));
    EXPECT_TRUE(fs::is_directory(inner));
    open.reset();
    EXPECT_TRUE(fs::remove(inner, error)) << error.message();
}
#endif

} // namespace
} // namespace orximaq
