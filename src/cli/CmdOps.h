// The competition operations: qualify, heats, hlw, reset, strike, merge.
#pragma once

#include <string>
#include <vector>

namespace vm::cli {

int CmdQualify(const std::vector<std::string>& args);
int CmdHeats(const std::vector<std::string>& args);
int CmdHlw(const std::vector<std::string>& args);
int CmdReset(const std::vector<std::string>& args);
int CmdStrike(const std::vector<std::string>& args);
int CmdMerge(const std::vector<std::string>& args);

} // namespace vm::cli
