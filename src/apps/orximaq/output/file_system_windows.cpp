// Windows: folders and files are opened with CreateFileW and handed to the C
// runtime as descriptors, so that the writers work on both systems alike.
#include "output/file_system.h"

#include <windows.h>

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <string>

namespace orximaq {
namespace {

constexpr const wchar_t* kLockName = L".orximaq.lock";

int errnoOf(DWORD error) noexcept
{
    switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EWOULDBLOCK;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    default: return EIO;
    }
}

int failWith(DWORD error) noexcept
{
    errno = errnoOf(error);
    return -1;
}

// The C runtime's descriptor for a handle, which it then owns.
int descriptorOf(HANDLE handle, int flags) noexcept
{
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (fd < 0) {
        ::CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
}

// Where the open folder is now, then "\name": the entry is reached through the
// folder that was opened, whatever its path named then.
bool entryPath(int folderFd, const wchar_t* name, std::wstring& path) noexcept
{
    try {
        const auto folder = reinterpret_cast<HANDLE>(::_get_osfhandle(folderFd));
        if (folder == INVALID_HANDLE_VALUE) {
            errno = EBADF;
            return false;
        }
        path.assign(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length = ::GetFinalPathNameByHandleW(folder, path.data(), static_cast<DWORD>(path.size()),
                                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            if (length == 0) {
                failWith(::GetLastError());
                return false;
            }
            if (length < path.size()) {
                path.resize(length);
                break;
            }
            path.assign(length + 1, L'\0');
        }
        if (!path.empty() && path.back() != L'\\')
            path += L'\\';
        path += name;
        return true;
    } catch (...) {
        errno = ENOMEM;
        return false;
    }
}

bool entryPath(int folderFd, const char* name, std::wstring& path) noexcept
{
    try {
        return entryPath(folderFd, std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(name)))
                                       .wstring()
                                       .c_str(),
                         path);
    } catch (...) {
        errno = EINVAL;
        return false;
    }
}

} // namespace

// Without FILE_SHARE_DELETE: nobody renames or removes the folder meanwhile.
int openFolderDescriptor(const std::filesystem::path& folder) noexcept
{
    const HANDLE handle = ::CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return failWith(::GetLastError());
    return descriptorOf(handle, _O_RDONLY);
}

int duplicateDescriptor(int fd) noexcept
{
    return ::_dup(fd);
}

// CREATE_NEW fails on any entry of that name; FILE_FLAG_OPEN_REPARSE_POINT
// keeps a planted link or junction from being followed. FILE_SHARE_DELETE
// lets an immediate exit remove the file while a writer still holds it.
int createNewFile(int folderFd, const char* name) noexcept
{
    std::wstring path;
    if (!entryPath(folderFd, name, path))
        return -1;
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return failWith(::GetLastError());
    return descriptorOf(handle, _O_WRONLY | _O_BINARY);
}

int renameEntry(int folderFd, const char* from, const char* to) noexcept
{
    std::wstring source;
    std::wstring target;
    if (!entryPath(folderFd, from, source) || !entryPath(folderFd, to, target))
        return -1;
    if (!::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return failWith(::GetLastError());
    return 0;
}

int removeEntry(int folderFd, const char* name) noexcept
{
    std::wstring path;
    if (!entryPath(folderFd, name, path))
        return -1;
    if (!::DeleteFileW(path.c_str()))
        return failWith(::GetLastError());
    return 0;
}

// A lock file that no one else may open while this process holds it; the
// system removes it when the last handle closes, at the latest when the
// process ends.
int lockFolderDescriptor(int folderFd) noexcept
{
    std::wstring path;
    if (!entryPath(folderFd, kLockName, path))
        return -1;
    const HANDLE handle =
        ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return failWith(::GetLastError());
    return descriptorOf(handle, _O_RDWR | _O_BINARY);
}

} // namespace orximaq
