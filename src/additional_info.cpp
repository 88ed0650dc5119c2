#include "additional_info.hpp"

#include <array>

#include "entry_name.hpp"
#include "identifier.hpp"
#include "report.hpp"

namespace {

constexpr uint64_t kFlagOffset = 0;
constexpr uint64_t kBodyOffset = 8;
constexpr uint8_t kConverted = 1;

using Body = std::array<uint8_t, 16>;

void PutLittleEndian(uint64_t value, uint8_t* out) {
  for (int i = 0; i < 8; ++i)
    out[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Bytes 8 to 23: the changed id, then the mode widened to 64 bits.
Body EncodeBody(uint64_t changed_id, uint32_t mode) {
  Body body{};
  PutLittleEndian(changed_id, body.data());
  PutLittleEndian(mode, body.data() + 8);
  return body;
}

bool IsMarked(const File& file) {
  uint8_t flag = 0;
  return ReadByteAt(file, kFlagOffset, &flag) && flag != 0;
}

// Body, sync, folder sync, flag, sync: the flag never reaches storage
// before the body and the renames it vouches for.
bool WriteHeader(const Folder& folder, const File& file, const Body& body) {
  return WriteAt(file, kBodyOffset, body.data(), body.size()) &&
         SyncFile(file) && SyncFolder(folder) &&
         WriteAt(file, kFlagOffset, &kConverted, sizeof kConverted) &&
         SyncFile(file);
}

int Fail(File* file, const char* what) {
  CloseFile(file);
  ReportError(what);
  return -1;
}

}  // namespace

int OpenAdditionalInfo(const Folder& folder, uint32_t id, File* file) {
  switch (OpenRegularFile(folder, EntryName(id, kAdditionalInfo), file)) {
    case Opened::kYes:
      return 0;
    case Opened::kBusy:
      ReportError("Folder is busy.\n");
      return -1;
    case Opened::kRefused:
      break;
  }
  ReportError("Broken data.\n");
  return -1;
}

int UpdateAdditionalInfo(const char* target, const Folder& folder, File* file,
                         int32_t unique_id, uint32_t mode) {
  uint64_t changed_id = ChangeId(GenProgramId(unique_id), GetDirName(target));
  if (IsMarked(*file))
    return Fail(file, "Already new version.\n");
  if (!WriteHeader(folder, *file, EncodeBody(changed_id, mode)))
    return Fail(file, "Cannot write additional info.\n");
  if (!CloseFile(file)) {
    ReportError("Cannot write additional info.\n");
    return -1;
  }
  return 0;
}
