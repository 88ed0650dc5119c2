// folder-migrate: converts one data folder from the placeholder-id layout
// to the unique-id layout.  See folder-migrate(1).
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "additional_info.hpp"
#include "content_rename.hpp"
#include "entry_path.hpp"
#include "fs.hpp"
#include "report.hpp"

// Returns the target path when it names an existing directory, or null.
static const char* CheckTargetDir(const char* target) {
  if (IsDirectory(target))
    return target;
  ReportError("Cannot open dir : %s\n", target);
  return nullptr;
}

// strtol in base 16 with a signed 32-bit result: out-of-range values
// saturate to INT32_MAX, or to INT32_MIN for a "-" sign.
static int32_t ParseUniqueId(const char* text) {
  long value = std::strtol(text, nullptr, 16);
  if (value > INT32_MAX)
    return INT32_MAX;
  if (value < INT32_MIN)
    return INT32_MIN;
  return static_cast<int32_t>(value);
}

// Returns the unique id, or 0 when the text does not give one.
static int32_t CheckUniqueId(const char* text) {
  int32_t unique_id = ParseUniqueId(text);
  if (unique_id != 0)
    return unique_id;
  ReportError("Invalid UniqueId : %s\n", text);
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("Usage: %s <TargetDir> <UniqueId>\n",
                argc > 0 ? argv[0] : "folder-migrate");
    return -1;
  }
  const char* target = CheckTargetDir(argv[1]);
  if (target == nullptr)
    return -1;
  int32_t unique_id = CheckUniqueId(argv[2]);
  if (unique_id == 0)
    return -1;

  uint32_t mode = kModeAlreadyRenamed;
  auto id = static_cast<uint32_t>(unique_id);
  if (!IsDirectory(EntryPath(target, id, kContentDir))) {
    mode = kModeRenamed;
    if (RenameContents(target, unique_id) < 0)
      return -1;
  }
  if (UpdateAdditionalInfo(target, unique_id, mode) < 0)
    return -1;
  return 0;
}
