#include "content_rename.hpp"

#include "entry_path.hpp"
#include "fs.hpp"
#include "report.hpp"

static constexpr uint32_t kPlaceholderId = 0;

int RenameContents(const char* target, int32_t unique_id) {
  const auto id = static_cast<uint32_t>(unique_id);
  for (const char* suffix : {kContentDir, kContentData, kAdditionalInfo}) {
    std::string from = EntryPath(target, kPlaceholderId, suffix);
    std::string to = EntryPath(target, id, suffix);
    if (!RenameNoReplace(from, to)) {
      ReportError("Broken data or wrong uniqueId.\n");
      return -1;
    }
  }
  return 0;
}
