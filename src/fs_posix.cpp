// The system calls on POSIX systems.  renameat2 and flock are Linux and
// BSD calls: the build detects them (HAVE_RENAMEAT2, HAVE_FLOCK) and this
// file does without them where they are missing.
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef HAVE_FLOCK
#include <sys/file.h>
#endif

#include "fs.hpp"

namespace {

int Fd(const Folder& folder) { return static_cast<int>(folder.handle); }
int Fd(const File& file) { return static_cast<int>(file.handle); }

// Errors of a file system that cannot do a call at all, as opposed to a
// call that failed.  ENOTSUP and EOPNOTSUPP are one value on Linux.
bool Unsupported(int err) {
  return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP || err == ENOTSUP;
}

// Refuses when `to` exists as any entry, a dangling symbolic link
// included, then renames.  For file systems without the no-replace flag;
// the folder lock keeps other runs out between the two calls.
bool RenameIfAbsent(int dir, const char* from, const char* to) {
  struct stat st {};
  if (fstatat(dir, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
    errno = EEXIST;
    return false;
  }
  return errno == ENOENT && renameat(dir, from, dir, to) == 0;
}

}  // namespace

void EnsureStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF &&
        open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
      _exit(-1);
  }
}

void PrintOut(const std::string& text) { std::fputs(text.c_str(), stdout); }

bool OpenFolder(const char* path, Folder* folder) {
  int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_PATH
  // A directory that may be searched but not read.
  if (fd < 0 && errno == EACCES)
    fd = open(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
#endif
  if (fd < 0)
    return false;
  folder->handle = fd;
  return true;
}

void CloseFolder(Folder* folder) {
  close(Fd(*folder));
  folder->handle = -1;
}

Lock LockFolder(const Folder& folder) {
#ifdef HAVE_FLOCK
  while (flock(Fd(folder), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK)
      return Lock::kBusy;
    if (errno != EINTR)
      return Lock::kUnavailable;  // no locking here, or an O_PATH descriptor
  }
  return Lock::kHeld;
#else
  (void)folder;
  return Lock::kUnavailable;
#endif
}

Entry LookUp(const Folder& folder, const std::string& name) {
  struct stat st {};
  if (fstatat(Fd(folder), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
    return Entry::kPresent;
  return errno == ENOENT ? Entry::kAbsent : Entry::kUnknown;
}

bool IsDirectoryIn(const Folder& folder, const std::string& name) {
  struct stat st {};
  return fstatat(Fd(folder), name.c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode);
}

bool RenameIn(const Folder& folder, const std::string& from,
              const std::string& to) {
#ifdef HAVE_RENAMEAT2
  if (renameat2(Fd(folder), from.c_str(), Fd(folder), to.c_str(),
                RENAME_NOREPLACE) == 0)
    return true;
  if (!Unsupported(errno))
    return false;
#endif
  return RenameIfAbsent(Fd(folder), from.c_str(), to.c_str());
}

Opened OpenRegularFile(const Folder& folder, const std::string& name,
                       File* file) {
  int fd = openat(Fd(folder), name.c_str(),
                  O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0)
    return Opened::kRefused;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
    close(fd);
    return Opened::kRefused;
  }
  file->handle = fd;
  return Opened::kYes;
}

bool ReadByteAt(const File& file, uint64_t offset, uint8_t* byte) {
  ssize_t n;
  do {
    n = pread(Fd(file), byte, 1, static_cast<off_t>(offset));
  } while (n < 0 && errno == EINTR);
  return n == 1;
}

bool WriteAt(const File& file, uint64_t offset, const void* data, size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  while (size > 0) {
    ssize_t n = pwrite(Fd(file), p, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    p += n;
    offset += static_cast<uint64_t>(n);
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool SyncFile(const File& file) {
  return fsync(Fd(file)) == 0 || Unsupported(errno);
}

// An O_PATH descriptor cannot be synced (EBADF): no failure either.
bool SyncFolder(const Folder& folder) {
  return fsync(Fd(folder)) == 0 || Unsupported(errno) || errno == EBADF;
}

bool CloseFile(File* file) {
  // After a failed close the descriptor is gone: never retry it.
  int fd = Fd(*file);
  file->handle = -1;
  return close(fd) == 0;
}
