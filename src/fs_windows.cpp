// The system calls on Windows.  Names travel as UTF-8 through the tool and
// become UTF-16 at each call; only the W functions are used.  The folder
// is held open without delete sharing, so it cannot be renamed or removed
// during the run, and entries are named under the path that handle
// resolves to.
#include <cstdio>
#include <cwchar>
#include <vector>

#include <windows.h>

#include "fs.hpp"

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty())
    return {};
  int size = MultiByteToWideChar(CP_UTF8, 0, text.data(),
                                 static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                      wide.data(), size);
  return wide;
}

std::string Utf8(const wchar_t* wide) {
  int size =
      WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1)
    return {};
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr,
                      nullptr);
  text.pop_back();  // the terminating NUL
  return text;
}

HANDLE Handle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);  // NOLINT(performance-no-int-to-ptr)
}

std::intptr_t Value(HANDLE handle) {
  return reinterpret_cast<std::intptr_t>(handle);
}

std::wstring EntryPath(const Folder& folder, const std::string& name) {
  return Wide(folder.path + "\\" + name);
}

// The path the open directory resolves to, or the path as given.
std::string FinalPath(HANDLE dir, const std::string& given) {
  DWORD size = GetFinalPathNameByHandleW(dir, nullptr, 0, 0);
  if (size == 0)
    return given;
  std::vector<wchar_t> path(size + 1);
  if (GetFinalPathNameByHandleW(dir, path.data(), size + 1, 0) == 0)
    return given;
  return Utf8(path.data());
}

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
}

// The file lock sits far beyond any header, so that readers are never
// blocked by it.
constexpr uint64_t kLockOffset = uint64_t{0x7FFFFFFF} << 32;

bool IsSoundFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileType(file) == FILE_TYPE_DISK &&
         GetFileInformationByHandle(file, &info) != 0 &&
         (info.dwFileAttributes &
          (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
         info.nNumberOfLinks == 1;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i)
    args.push_back(Utf8(argv[i]));
  return args;
}

void EnsureStandardStreams() {}

void PrintOut(const std::string& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (out == INVALID_HANDLE_VALUE || GetConsoleMode(out, &mode) == 0) {
    std::fputs(text.c_str(), stdout);  // a file or a pipe: UTF-8, text mode
    return;
  }
  std::wstring wide;
  for (wchar_t c : Wide(text)) {
    if (c == L'\n')
      wide += L'\r';
    wide += c;
  }
  DWORD written = 0;
  WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written,
                nullptr);
}

bool OpenFolder(const char* path, Folder* folder) {
  std::wstring wide = Wide(path);
  DWORD attributes =
      wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    return false;
  HANDLE dir = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (dir == INVALID_HANDLE_VALUE)
    return false;
  folder->handle = Value(dir);
  folder->path = FinalPath(dir, path);
  return true;
}

void CloseFolder(Folder* folder) {
  CloseHandle(Handle(folder->handle));
  folder->handle = -1;
}

// A named mutex per folder, named by the folder's volume and file id, so
// that every path to one folder meets the same lock.  It is released
// when the run ends, however it ends.
Lock LockFolder(const Folder& folder) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(Handle(folder.handle), &info) == 0)
    return Lock::kUnavailable;
  // Global: runs in every session meet it; Local where that is not allowed.
  HANDLE mutex = nullptr;
  for (const wchar_t* scope : {L"Global", L"Local"}) {
    wchar_t name[80];
    std::swprintf(name, sizeof name / sizeof name[0],
                  L"%ls\\folder-migrate-%08lx-%08lx%08lx", scope,
                  info.dwVolumeSerialNumber, info.nFileIndexHigh,
                  info.nFileIndexLow);
    mutex = CreateMutexW(nullptr, FALSE, name);
    if (mutex != nullptr)
      break;
  }
  if (mutex == nullptr)
    return Lock::kUnavailable;
  switch (WaitForSingleObject(mutex, 0)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // a run that was killed
      return Lock::kHeld;
    case WAIT_TIMEOUT:
      return Lock::kBusy;
    default:
      return Lock::kUnavailable;
  }
}

Entry LookUp(const Folder& folder, const std::string& name) {
  if (GetFileAttributesW(EntryPath(folder, name).c_str()) !=
      INVALID_FILE_ATTRIBUTES)
    return Entry::kPresent;
  DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
             ? Entry::kAbsent
             : Entry::kUnknown;
}

bool IsDirectoryIn(const Folder& folder, const std::string& name) {
  DWORD attributes = GetFileAttributesW(EntryPath(folder, name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool RenameIn(const Folder& folder, const std::string& from,
              const std::string& to) {
  // Without MOVEFILE_REPLACE_EXISTING an existing entry is never replaced.
  return MoveFileExW(EntryPath(folder, from).c_str(),
                     EntryPath(folder, to).c_str(), 0) != 0;
}

Opened OpenRegularFile(const Folder& folder, const std::string& name,
                       File* file) {
  // Delete sharing lets this run rename the file while it holds it open.
  HANDLE h = CreateFileW(
      EntryPath(folder, name).c_str(), GENERIC_READ | GENERIC_WRITE,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return Opened::kRefused;
  if (!IsSoundFile(h)) {
    CloseHandle(h);
    return Opened::kRefused;
  }
  OVERLAPPED at = At(kLockOffset);
  if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                 0, &at) == 0 &&
      GetLastError() == ERROR_LOCK_VIOLATION) {
    CloseHandle(h);
    return Opened::kBusy;
  }
  file->handle = Value(h);
  return Opened::kYes;
}

bool ReadByteAt(const File& file, uint64_t offset, uint8_t* byte) {
  OVERLAPPED at = At(offset);
  DWORD read = 0;
  return ReadFile(Handle(file.handle), byte, 1, &read, &at) != 0 && read == 1;
}

bool WriteAt(const File& file, uint64_t offset, const void* data, size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  while (size > 0) {
    OVERLAPPED at = At(offset);
    DWORD written = 0;
    if (WriteFile(Handle(file.handle), p, static_cast<DWORD>(size), &written,
                  &at) == 0 ||
        written == 0)
      return false;
    p += written;
    offset += written;
    size -= written;
  }
  return true;
}

bool SyncFile(const File& file) {
  if (FlushFileBuffers(Handle(file.handle)) != 0)
    return true;
  DWORD error = GetLastError();
  return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

// Windows offers no sync of a directory; NTFS journals its renames.
bool SyncFolder(const Folder&) { return true; }

bool CloseFile(File* file) {
  HANDLE h = Handle(file->handle);
  file->handle = -1;
  return CloseHandle(h) != 0;
}
