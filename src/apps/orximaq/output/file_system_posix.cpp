#include "output/file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace orximaq {

int openFolderDescriptor(const std::filesystem::path& folder) noexcept
{
    return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int duplicateDescriptor(int fd) noexcept
{
    return ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
}

int createNewFile(int folderFd, const char* name) noexcept
{
    return ::openat(folderFd, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

int renameEntry(int folderFd, const char* from, const char* to) noexcept
{
    return ::renameat(folderFd, from, folderFd, to);
}

int removeEntry(int folderFd, const char* name) noexcept
{
    return ::unlinkat(folderFd, name, 0);
}

// flock belongs to the open folder: the duplicate holds it as well.
int lockFolderDescriptor(int folderFd) noexcept
{
    if (::flock(folderFd, LOCK_EX | LOCK_NB) != 0)
        return -1;
    return duplicateDescriptor(folderFd);
}

} // namespace orximaq
