// Error reports: every failure is the line "Error." and one line that
// names it, both on standard output.
#pragma once

// Prints "Error.\n", then the line made from `format` as printf makes it.
[[gnu::format(printf, 1, 2)]] void ReportError(const char* format, ...);
