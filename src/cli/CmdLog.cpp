#include "cli/CmdLog.h"

#include "cli/CliSupport.h"
#include "journal/VmJournal.h"

#include <iostream>

namespace vm::cli {

int CmdLog(const std::vector<std::string>& args) {
    TCommandSpec cmd{"log FILE",
                     "Prints the change journal of the result file FILE: the text file beside it\n"
                     "named like the backup copy with the extension .LOG (Tag1.ERG -> Tag1.LOG).\n"
                     "Every save by Velmora or by a velmora-cli command that changes the file\n"
                     "appends a block: date and time, the command and the program, then one line\n"
                     "per changed field, per participant added or deleted. Exit status 1 when\n"
                     "there is no journal.",
                     {},
                     {},
                     1,
                     1};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    std::string text, error;
    if (!ReadJournal(a.positional[0], text, error)) {
        std::cerr << error << std::endl;
        return 1;
    }
    std::cout << text;
    std::cout.flush();
    return std::cout ? 0 : 1;
}

} // namespace vm::cli
