// The system calls of a conversion, one small function each.  Functions
// that return bool return false with errno set by the failing call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <sys/types.h>

// True when the path is not empty and names a directory (a symbolic link
// to one counts).  Only inspects the path.
bool IsDirectory(const std::string& path);

// Renames `from` to `to`, never replacing an entry that holds `to`.
bool RenameNoReplace(const std::string& from, const std::string& to);

// Opens an existing file for reading and writing: never creates or
// truncates it, never blocks on a FIFO or device, never makes it the
// controlling terminal.  Returns the descriptor, or -1.
int OpenForUpdate(const std::string& path);

bool IsRegularFile(int fd);

// Takes an exclusive advisory lock, waiting for it.  Where the file
// system offers no locking this fails and the caller goes on without it.
bool LockExclusive(int fd);

// Reads the byte at `offset`; false when there is none or the read fails.
bool ReadByteAt(int fd, off_t offset, uint8_t* byte);

// Writes all `size` bytes at `offset`, resuming after short writes.
bool WriteAt(int fd, off_t offset, const void* data, size_t size);

// Flushes the file to storage.  A file system that cannot sync is not a
// failure.
bool SyncToStorage(int fd);

bool CloseFile(int fd);
