#include "entry_name.hpp"

#include <cstdio>

std::string IdText(uint32_t id) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(id));
  return text;
}

std::string EntryName(uint32_t id, const char* suffix) {
  return IdText(id) + suffix;
}
