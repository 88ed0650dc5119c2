#include "additional_info.hpp"

#include <array>

#include "entry_path.hpp"
#include "fs.hpp"
#include "identifier.hpp"
#include "report.hpp"

namespace {

constexpr off_t kFlagOffset = 0;
constexpr off_t kBodyOffset = 8;
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

bool IsMarked(int fd) {
  uint8_t flag = 0;
  return ReadByteAt(fd, kFlagOffset, &flag) && flag != 0;
}

// Body, sync, flag, sync: the flag never reaches storage before the body.
bool WriteHeader(int fd, const Body& body) {
  return WriteAt(fd, kBodyOffset, body.data(), body.size()) &&
         SyncToStorage(fd) &&
         WriteAt(fd, kFlagOffset, &kConverted, sizeof kConverted) &&
         SyncToStorage(fd);
}

int Fail(int fd, const char* what) {
  CloseFile(fd);
  ReportError("%s", what);
  return -1;
}

}  // namespace

int UpdateAdditionalInfo(const char* target, int32_t unique_id, uint32_t mode) {
  uint64_t changed_id = ChangeId(GenProgramId(unique_id), GetDirName(target));
  std::string path =
      EntryPath(target, static_cast<uint32_t>(unique_id), kAdditionalInfo);

  int fd = OpenForUpdate(path);
  if (fd < 0) {
    ReportError("Broken data.\n");
    return -1;
  }
  if (!IsRegularFile(fd))
    return Fail(fd, "Broken data.\n");
  LockExclusive(fd);  // without locking on this file system, go on
  if (IsMarked(fd))
    return Fail(fd, "Already new version.\n");
  if (!WriteHeader(fd, EncodeBody(changed_id, mode)))
    return Fail(fd, "Cannot write additional info.\n");
  if (!CloseFile(fd)) {
    ReportError("Cannot write additional info.\n");
    return -1;
  }
  return 0;
}
