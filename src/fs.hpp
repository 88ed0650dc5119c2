// The system calls of a conversion, behind plain values: a folder pinned
// once, entries named relative to it, and results that say whether a call
// worked.  fs_posix.cpp implements it for POSIX systems, fs_windows.cpp for
// Windows; nothing else in the tool calls the system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A directory opened once.  Entries are named relative to it, so the path
// that named it is never resolved again.
struct Folder {
  std::intptr_t handle = -1;
  std::string path;  // where the platform names entries by full path
};

// An open regular file.
struct File {
  std::intptr_t handle = -1;
};

#ifdef _WIN32
// Windows hands a program its arguments as UTF-16: the tool works on
// them as UTF-8.
std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv);
#endif

// At start: a standard descriptor that is closed is opened on the null
// device, so that nothing the tool opens can become its standard output.
void EnsureStandardStreams();

// Writes UTF-8 text to standard output.
void PrintOut(const std::string& text);

// Opens and pins the directory that `path` names, following links in the
// path.  False when the path is empty or names no directory.
bool OpenFolder(const char* path, Folder* folder);

void CloseFolder(Folder* folder);

enum class Lock { kHeld, kBusy, kUnavailable };

// Takes the folder's exclusive lock without waiting, held until the run
// ends.  kBusy when another process holds it; kUnavailable where the file
// system or the platform offers no such lock.
Lock LockFolder(const Folder& folder);

enum class Entry { kAbsent, kPresent, kUnknown };

// Whether `name` exists in the folder as any entry, a dangling link
// included.  kUnknown when the system cannot tell.
Entry LookUp(const Folder& folder, const std::string& name);

// True when `name` in the folder is a directory (a link to one counts).
bool IsDirectoryIn(const Folder& folder, const std::string& name);

// Renames `from` to `to` within the folder, never replacing an entry.
bool RenameIn(const Folder& folder, const std::string& from,
              const std::string& to);

enum class Opened { kYes, kRefused, kBusy };

// Opens `name` in the folder for reading and writing: never through a
// link, never creating or truncating it, never blocking.  Refused unless
// it is a regular file with exactly one link.  Where the platform locks
// files rather than folders the file is also locked here, without waiting:
// kBusy when another process holds that lock.
Opened OpenRegularFile(const Folder& folder, const std::string& name,
                       File* file);

// Reads the byte at `offset`; false when there is none or the read fails.
bool ReadByteAt(const File& file, uint64_t offset, uint8_t* byte);

// Writes all `size` bytes at `offset`.
bool WriteAt(const File& file, uint64_t offset, const void* data, size_t size);

// Flush to storage.  A file system that cannot sync is not a failure.
bool SyncFile(const File& file);
bool SyncFolder(const Folder& folder);

bool CloseFile(File* file);
