#include "fs.hpp"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Some file systems (network and FUSE mounts) reject the no-replace flag.
static bool NoReplaceUnsupported(int err) {
  return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

// Refuses when `to` exists as any entry, a dangling symbolic link
// included, then renames.  Only for file systems without the flag.
static bool RenameIfAbsent(const std::string& from, const std::string& to) {
  struct stat st {};
  if (lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  if (errno != ENOENT)
    return false;
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(),
                RENAME_NOREPLACE) == 0)
    return true;
  if (!NoReplaceUnsupported(errno))
    return false;
  return RenameIfAbsent(from, to);
}

int OpenForUpdate(const std::string& path) {
  return open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

bool IsRegularFile(int fd) {
  struct stat st {};
  return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

bool LockExclusive(int fd) {
  while (flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR)
      return false;
  }
  return true;
}

bool ReadByteAt(int fd, off_t offset, uint8_t* byte) {
  if (lseek(fd, offset, SEEK_SET) != offset)
    return false;
  ssize_t n;
  do {
    n = read(fd, byte, 1);
  } while (n < 0 && errno == EINTR);
  return n == 1;
}

bool WriteAt(int fd, off_t offset, const void* data, size_t size) {
  if (lseek(fd, offset, SEEK_SET) != offset)
    return false;
  const auto* p = static_cast<const unsigned char*>(data);
  while (size > 0) {
    ssize_t n = write(fd, p, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// ENOTSUP and EOPNOTSUPP are one value on Linux.
static bool SyncUnsupported(int err) {
  return err == EINVAL || err == EOPNOTSUPP || err == ENOSYS;
}

bool SyncToStorage(int fd) { return fsync(fd) == 0 || SyncUnsupported(errno); }

bool CloseFile(int fd) {
  // After a failed close the descriptor is gone: never retry it.
  return close(fd) == 0;
}
