#include "report.hpp"

#include "fs.hpp"

void ReportError(const std::string& line) { PrintOut("Error.\n" + line); }

void PrintUsage(const std::string& program) {
  PrintOut("Usage: " + program + " <TargetDir> <UniqueId>\n");
}
