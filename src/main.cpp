// folder-migrate: converts one data folder from the placeholder-id layout
// to the unique-id layout.  See folder-migrate(1).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "additional_info.hpp"
#include "content_rename.hpp"
#include "entry_name.hpp"
#include "fs.hpp"
#include "report.hpp"

namespace {

// Returns the target path when it names an existing directory, pinned in
// `folder`, or null.
const char* CheckTargetDir(const char* target, Folder* folder) {
  if (OpenFolder(target, folder))
    return target;
  ReportError("Cannot open dir : " + std::string(target) + "\n");
  return nullptr;
}

// Hexadecimal as strtol reads it, with a signed 32-bit result: values out
// of range saturate to INT32_MAX, or to INT32_MIN for a "-" sign.  Read
// through strtoll, so that a 32-bit or a 64-bit long gives the same id.
int32_t ParseUniqueId(const char* text) {
  long long value = std::strtoll(text, nullptr, 16);
  if (value > INT32_MAX)
    return INT32_MAX;
  if (value < INT32_MIN)
    return INT32_MIN;
  return static_cast<int32_t>(value);
}

// Returns the unique id, or 0 when the text does not give one.
int32_t CheckUniqueId(const char* text) {
  int32_t unique_id = ParseUniqueId(text);
  if (unique_id != 0)
    return unique_id;
  ReportError("Invalid UniqueId : " + std::string(text) + "\n");
  return 0;
}

// Every decision below is taken under the folder's lock, so that runs on
// one folder behave as if run one after another.
int CheckNotBusy(const Folder& folder) {
  if (LockFolder(folder) != Lock::kBusy)
    return 0;  // held, or no locking on this file system
  ReportError("Folder is busy.\n");
  return -1;
}

// Mode 2: all three renames can go and the additional-info file is sound,
// or nothing is renamed.  The file stays open across the renames.
int RenameAll(const Folder& folder, int32_t unique_id, File* info) {
  if (CheckContents(folder, unique_id) < 0 ||
      OpenAdditionalInfo(folder, kPlaceholderId, info) < 0 ||
      RenameContents(folder, unique_id) < 0)
    return -1;
  return 0;
}

int Migrate(int argc, char** argv) {
  EnsureStandardStreams();
  if (argc < 3) {
    PrintUsage(argc > 0 ? argv[0] : "folder-migrate");
    return -1;
  }
  Folder folder;
  const char* target = CheckTargetDir(argv[1], &folder);
  if (target == nullptr)
    return -1;
  int32_t unique_id = CheckUniqueId(argv[2]);
  if (unique_id == 0 || CheckNotBusy(folder) < 0)
    return -1;

  auto id = static_cast<uint32_t>(unique_id);
  uint32_t mode = kModeAlreadyRenamed;
  File info;
  if (IsDirectoryIn(folder, EntryName(id, kContentDir))) {
    if (OpenAdditionalInfo(folder, id, &info) < 0)
      return -1;
  } else {
    mode = kModeRenamed;
    if (RenameAll(folder, unique_id, &info) < 0)
      return -1;
  }
  if (UpdateAdditionalInfo(target, folder, &info, unique_id, mode) < 0)
    return -1;
  return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** wide_argv) {
  std::vector<std::string> args = Utf8Arguments(argc, wide_argv);
  std::vector<char*> argv;
  for (auto& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  return Migrate(argc, argv.data());
}
#else
int main(int argc, char** argv) { return Migrate(argc, argv); }
#endif
