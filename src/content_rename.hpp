// Moves a folder's three content entries from the placeholder id to the
// unique id.
#pragma once

#include <cstdint>

// Renames the content directory, the content data file and the
// additional-info file, in that order, never replacing an entry.  Stops
// at the first rename that fails: reports it and returns -1.  Renames
// already done stay.  Returns 0 when all three succeeded.
int RenameContents(const char* target, int32_t unique_id);
