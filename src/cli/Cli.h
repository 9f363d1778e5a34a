// velmora-cli: the command-line front end over the core.
#pragma once

#include <string>
#include <vector>

namespace vm::cli {

// Runs one command line (without the program name); returns the exit status:
// 0 done, 1 the operation failed, 2 usage error.
int Run(const std::vector<std::string>& args);

} // namespace vm::cli
