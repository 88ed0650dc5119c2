// Messages on standard output: every failure is the line "Error." and one
// line that names it; the usage line stands alone.
#pragma once

#include <string>

// Prints "Error.\n", then `line`.
void ReportError(const std::string& line);

// Prints "Usage: <program> <TargetDir> <UniqueId>\n".
void PrintUsage(const std::string& program);
