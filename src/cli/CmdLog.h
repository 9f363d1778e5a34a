// velmora-cli log: the change journal beside a result file.
#pragma once

#include <string>
#include <vector>

namespace vm::cli {

int CmdLog(const std::vector<std::string>& args);

} // namespace vm::cli
