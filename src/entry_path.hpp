// Names of a folder's content entries.  An entry is addressed as the
// target path exactly as the user wrote it, one "/", the id text and a
// suffix: "" for the content directory, ".dat" for the content data file
// and "_.dat" for the additional-info file.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char* kContentDir = "";
inline constexpr const char* kContentData = ".dat";
inline constexpr const char* kAdditionalInfo = "_.dat";

// The id's 32-bit pattern as eight lower-case hexadecimal digits.
std::string IdText(uint32_t id);

std::string EntryPath(const char* target, uint32_t id, const char* suffix);
