#include "content_rename.hpp"

#include "entry_name.hpp"
#include "report.hpp"

namespace {

int BrokenDataOrWrongId() {
  ReportError("Broken data or wrong uniqueId.\n");
  return -1;
}

}  // namespace

int CheckContents(const Folder& folder, int32_t unique_id) {
  const auto id = static_cast<uint32_t>(unique_id);
  for (const char* suffix : kContentEntries) {
    if (LookUp(folder, EntryName(kPlaceholderId, suffix)) != Entry::kPresent ||
        LookUp(folder, EntryName(id, suffix)) != Entry::kAbsent)
      return BrokenDataOrWrongId();
  }
  return 0;
}

int RenameContents(const Folder& folder, int32_t unique_id) {
  const auto id = static_cast<uint32_t>(unique_id);
  for (const char* suffix : kContentEntries) {
    if (!RenameIn(folder, EntryName(kPlaceholderId, suffix),
                  EntryName(id, suffix)))
      return BrokenDataOrWrongId();
  }
  return 0;
}
