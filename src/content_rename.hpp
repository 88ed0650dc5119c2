// Moves a folder's three content entries from the placeholder id to the
// unique id, all or nothing.
#pragma once

#include <cstdint>

#include "fs.hpp"

// Checks, before anything is renamed, that the three placeholder entries
// exist and that none of the three unique-id names is taken by any entry.
// Otherwise reports and returns -1.  Returns 0 when the renames can go.
int CheckContents(const Folder& folder, int32_t unique_id);

// Renames the content directory, the content data file and the
// additional-info file, in that order, never replacing an entry.  Stops
// at the first rename that fails (only a folder changed under the run
// makes one fail after the check): reports it and returns -1.  Returns 0
// when all three succeeded.
int RenameContents(const Folder& folder, int32_t unique_id);
