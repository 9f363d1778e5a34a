#include "cli/CmdTiming.h"

#include "cli/CliSupport.h"
#include "timing/VmStartliste.h"
#include "timing/VmZeitmessung.h"

#include <iostream>

namespace vm::cli {

namespace {

bool GetDiscipline(const TArgs& a, const TCommandSpec& cmd, int& discipline, int& status) {
    long long d = 0;
    if (!a.Has("--discipline")) {
        status = UsageError(cmd, "--discipline K is required (1..5)");
        return false;
    }
    if (!GetInt(a, cmd, "--discipline", 1, 1, 5, d, status)) return false;
    discipline = static_cast<int>(d);
    return true;
}

} // namespace

int CmdTiming(const std::vector<std::string>& args) {
    TCommandSpec cmd{
        "timing FILE INPUT --discipline K [--limit S] [-o OUT.ERG]",
        "Takes the times of a timing console's file INPUT into discipline K of the\n"
        "competition FILE and saves FILE (with backup) or OUT.\n"
        "INPUT: a header line naming the columns Lauf/Heat, Bahn/Lane, Zeit/Time and\n"
        "optionally Zeit2/Backup1, Zeit3/Backup2 and Status (DQ, DNS, DNF or disq., n.a.,\n"
        "n.er.), then one line per lane, separated by ';' or ','; times as m:ss,hh,\n"
        "m:ss.hh or ss.hh. Each lane's time comes from its watches: one gives its time,\n"
        "two their mean (a half hundredth to the slower time), three the middle time.\n"
        "Lines for heats or lanes nobody swims in are reported and skipped.\n"
        "  --discipline K  the discipline (1..5) whose heats the file belongs to\n"
        "  --limit S       watches further apart than S seconds are reported\n"
        "                  (default 0,30)\n"
        "  -o OUT.ERG      write the result to OUT instead of writing FILE back\n"
        "Exit status 1 when INPUT cannot be read at all or has no readable lane;\n"
        "nothing is written then.",
        {"--discipline", "--limit", "-o"},
        {},
        2,
        2};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    int discipline = 1;
    if (!GetDiscipline(a, cmd, discipline, status)) return status;
    TZeit limit = kSpreadLimit;
    if (a.Has("--limit") && !ParseTimeEntry(a.Get("--limit"), true, limit))
        return UsageError(cmd, "invalid value for --limit: " + a.Get("--limit") +
                                   " (seconds, e.g. 0,30)");
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    TZeitmessungDatei file;
    std::string error;
    if (!ReadTimingFile(a.positional[1], file, error)) {
        std::cerr << error << std::endl;
        return 1;
    }
    // Not one lane could be read: nothing to take over, and the file stays as it is.
    if (file.rows.empty()) {
        for (const std::string& line : file.problems)
            std::cerr << a.positional[1] << ": " << line << std::endl;
        std::cerr << a.positional[1] << ": keine lesbare Zeile" << std::endl;
        return 1;
    }
    const TZeitmessungAbgleich m = MatchTiming(*c, discipline, file, limit);
    for (const std::string& line : m.skipped)
        std::cerr << a.positional[1] << ": " << line << std::endl;
    for (const std::string& line : m.deviating)
        std::cerr << line << std::endl;
    ApplyHeatResults(m.results);
    if (const int status = SaveCompetition(*c, a.positional[0], a)) return status;
    Summary(TimingSummary(m));
    return 0;
}

int CmdStartlist(const std::vector<std::string>& args) {
    TCommandSpec cmd{"startlist FILE OUT.csv --discipline K",
                     "Writes the heats of discipline K as a start list for a timing console:\n"
                     "';' separated, UTF-8 with byte-order mark, ordered by heat and lane, the\n"
                     "columns Lauf, Bahn, Name, Vorname (Mannschaft in a team competition),\n"
                     "Gliederung and Altersklasse. A result file is never written over.\n"
                     "  --discipline K  the discipline (1..5)",
                     {"--discipline"},
                     {},
                     2,
                     2};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    int discipline = 1;
    if (!GetDiscipline(a, cmd, discipline, status)) return status;
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    TStartliste list;
    std::string error;
    if (!WriteStartList(a.positional[1], *c, discipline, list, error)) {
        std::cerr << error << std::endl;
        return 1;
    }
    Summary("Startliste: " + EntrantsText(*c, list.entries) + " in " +
            CountText(list.heats, "Lauf", "Läufen") + " geschrieben.");
    return 0;
}

} // namespace vm::cli
