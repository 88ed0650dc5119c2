// Names of a folder's content entries: the id text and a suffix, "" for
// the content directory, ".dat" for the content data file and "_.dat" for
// the additional-info file.  Entries are named relative to the pinned
// target folder.
#pragma once

#include <cstdint>
#include <string>

inline constexpr uint32_t kPlaceholderId = 0;

inline constexpr const char* kContentDir = "";
inline constexpr const char* kContentData = ".dat";
inline constexpr const char* kAdditionalInfo = "_.dat";

// The content entries, in the order they are renamed.
inline constexpr const char* kContentEntries[] = {kContentDir, kContentData,
                                                  kAdditionalInfo};

// The id's 32-bit pattern as eight lower-case hexadecimal digits.
std::string IdText(uint32_t id);

std::string EntryName(uint32_t id, const char* suffix);
