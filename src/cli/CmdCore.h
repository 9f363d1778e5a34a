// The basic commands: new, info, save-as, records.
#pragma once

#include <string>
#include <vector>

namespace vm::cli {

int CmdNew(const std::vector<std::string>& args);
int CmdInfo(const std::vector<std::string>& args);
// In CmdSaveAs.cpp: the save-as dispatch with the export options as flags.
int CmdSaveAs(const std::vector<std::string>& args);
int CmdRecords(const std::vector<std::string>& args);

} // namespace vm::cli
