// The import command: participants from text files and legacy binary files.
#pragma once

#include <string>
#include <vector>

namespace vm::cli {

int CmdImport(const std::vector<std::string>& args);

} // namespace vm::cli
