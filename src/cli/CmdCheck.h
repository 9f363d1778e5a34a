// The check command: the data checks of a competition, one line per finding.
#pragma once

#include <string>
#include <vector>

namespace vm::cli {

int CmdCheck(const std::vector<std::string>& args);

} // namespace vm::cli
