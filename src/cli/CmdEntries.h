// The clubs' entry form: `entry-form` writes it for a competition; its import is part
// of the `import` command.
#pragma once

#include "model/VmWettk.h"

#include <string>
#include <vector>

namespace vm::cli {

int CmdEntryForm(const std::vector<std::string>& args);

// Imports a returned entry form (workbook or CSV) into `c`, every problem and note on
// standard error. Answers the exit status: 1 when the file is no entry form or, without
// `skipErrors`, when any row has an error (the competition then stays as it was); 0
// otherwise, with the summary line for after the save in `summary`.
int ImportEntryForm(TWettkampf& c, const std::string& input, bool skipErrors,
                    std::string& summary);
// Whether INPUT is an entry form: a workbook, or a text file with the form's header.
bool IsEntryForm(const std::string& input);

} // namespace vm::cli
