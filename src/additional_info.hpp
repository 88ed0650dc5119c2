// The additional-info header that marks a folder as converted:
//
//   offset  size  field
//        0     1  version flag: 0 or absent, not converted; else converted
//        1     7  not written
//        8     8  changed id, least significant byte first
//       16     8  migration mode (1 or 2), least significant byte first
//       24     -  not written
#pragma once

#include <cstdint>

// Migration modes.
inline constexpr uint32_t kModeAlreadyRenamed = 1;
inline constexpr uint32_t kModeRenamed = 2;

// Writes the header into the additional-info file under the unique id,
// refusing a file that is already marked or that is not a regular file.
// The changed id and the mode reach storage before the flag does, so a
// run cut short never leaves a flag over an incomplete header.  Returns 0
// when the header is written, or -1 after a report.
int UpdateAdditionalInfo(const char* target, int32_t unique_id, uint32_t mode);
