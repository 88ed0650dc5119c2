#include "identifier.hpp"

#include <cstdlib>

namespace {
constexpr uint64_t kMaskHigh = 0x913E0C7B;
constexpr uint64_t kMaskLow = 0x2B6D81A4;
constexpr uint64_t kIdentifierMask = kMaskHigh << 32 | kMaskLow;
constexpr uint64_t kProgramIdHigh = 0x00040000;
}  // namespace

uint64_t GetDirName(const char* target) {
  uint64_t dir_number = 0;
  const char* pos = target;
  for (;;) {
    char* end = nullptr;
    uint64_t value = std::strtoull(pos, &end, 10);
    if (value != 0)
      dir_number = value;
    if (*end == '\0')
      return dir_number;
    pos = end + 1;  // the character that ended the read is never read
  }
}

uint64_t GenProgramId(int32_t unique_id) {
  uint32_t low = static_cast<uint32_t>(unique_id) << 8;
  return kProgramIdHigh << 32 | low;
}

uint64_t ChangeId(uint64_t program_id, uint64_t dir_number) {
  return program_id ^ dir_number ^ kIdentifierMask;
}
