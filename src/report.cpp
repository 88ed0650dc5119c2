#include "report.hpp"

#include <cstdarg>
#include <cstdio>

void ReportError(const char* format, ...) {
  std::fputs("Error.\n", stdout);
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
}
