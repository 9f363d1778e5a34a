// The printed lists as PDF files and the Gliederung statistics as text.
#pragma once

#include <string>
#include <vector>

namespace vm::cli {

// print FILE OUT.pdf --list result|qualification|heats|hlw|statistics [options]
int CmdPrint(const std::vector<std::string>& args);
// stats FILE --mode 0|1|3|4
int CmdStats(const std::vector<std::string>& args);

} // namespace vm::cli
