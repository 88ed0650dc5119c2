#include "entry_path.hpp"

#include <cstdio>

std::string IdText(uint32_t id) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(id));
  return text;
}

std::string EntryPath(const char* target, uint32_t id, const char* suffix) {
  std::string path(target);
  path += '/';
  path += IdText(id);
  path += suffix;
  return path;
}
