#include "cli/CmdCheck.h"

#include "cli/CliSupport.h"
#include "operations/VmPruefung.h"

#include <iostream>

namespace vm::cli {

int CmdCheck(const std::vector<std::string>& args) {
    TCommandSpec cmd{
        "check FILE",
        "Checks the competition before its results go out and prints every finding on\n"
        "standard output, one line each, naming the age class and the participant:\n"
        "a discipline without time and without status, a participant without heat or lane\n"
        "in a discipline that has heats, two participants on one heat and lane, a lane the\n"
        "pool does not have, a year of birth outside the age class, the same entry twice,\n"
        "HLW points missing in an HLW age class, a time faster than half the base time.\n"
        "Exit status 1 when there is any finding (or the file cannot be loaded), 0 with\n"
        "\"Keine Auffälligkeiten gefunden.\" otherwise.",
        {},
        {},
        1,
        1};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    const std::vector<TBefund> found = CheckCompetition(*c);
    for (const TBefund& b : found)
        std::cout << ToUtf8(b.text) << "\n";
    if (!found.empty()) return 1;
    std::cout << "Keine Auffälligkeiten gefunden.\n";
    return 0;
}

} // namespace vm::cli
