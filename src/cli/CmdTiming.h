// Files of timing consoles in, start lists for them out.
#pragma once

#include <string>
#include <vector>

namespace vm::cli {

int CmdTiming(const std::vector<std::string>& args);
int CmdStartlist(const std::vector<std::string>& args);

} // namespace vm::cli
