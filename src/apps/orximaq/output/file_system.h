// The few file-system calls whose form differs between POSIX and Windows.
// Files and folders are open descriptors here on both: a folder stays open
// for the whole run, and every file goes into it by name through that
// descriptor. file_system_posix.cpp and file_system_windows.cpp implement
// them. A failure returns -1 with errno set.
#pragma once

#include <filesystem>

namespace orximaq {

// Opens a folder for the calls below. On Windows the folder cannot be
// renamed or removed while it is open.
int openFolderDescriptor(const std::filesystem::path& folder) noexcept;

// A second descriptor of the same open file or folder.
int duplicateDescriptor(int fd) noexcept;

// Creates a new, empty file for writing; fails with EEXIST when any entry
// holds the name, a link included (never followed).
int createNewFile(int folderFd, const char* name) noexcept;

// Renames an entry of the folder over `to`, replacing the entry that held
// that name (a link is replaced, not followed).
int renameEntry(int folderFd, const char* from, const char* to) noexcept;

// Removes a file of the folder. Safe in a POSIX signal handler.
int removeEntry(int folderFd, const char* name) noexcept;

// Takes this process's exclusive lock on the folder, which lasts while the
// returned descriptor (and the folder's) stays open, and goes with the
// process however it ends. EWOULDBLOCK when another process holds it.
int lockFolderDescriptor(int folderFd) noexcept;

} // namespace orximaq
