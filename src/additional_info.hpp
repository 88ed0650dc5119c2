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

#include "fs.hpp"

// Migration modes.
inline constexpr uint32_t kModeAlreadyRenamed = 1;
inline constexpr uint32_t kModeRenamed = 2;

// Opens the additional-info file of the id in the folder: a regular file
// with one link, not a link.  Returns 0, or -1 after a report.
int OpenAdditionalInfo(const Folder& folder, uint32_t id, File* file);

// Writes the header into the open additional-info file, refusing a file
// that is already marked, and closes it.  The changed id and the mode,
// then the folder's entries, reach storage before the flag does, so a run
// cut short never leaves a flag over an incomplete header or over renames
// that were lost.  Returns 0 when the header is written, or -1 after a
// report.
int UpdateAdditionalInfo(const char* target, const Folder& folder, File* file,
                         int32_t unique_id, uint32_t mode);
