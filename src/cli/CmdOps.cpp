#include "cli/CmdOps.h"

#include "cli/CliSupport.h"
#include "operations/VmAuswahl.h"
#include "operations/VmHLW.h"
#include "operations/VmLauf.h"
#include "operations/VmMerge.h"
#include "operations/VmQuali.h"
#include "operations/VmSummary.h"


namespace vm::cli {

namespace {

const char* kSaveHelp =
    "  -o OUT.ERG   write the result to OUT instead of writing FILE back (with backup)\n";

// Parses "1,2,5-10,21" into a reset set; false on anything else.
bool ParseItems(const std::string& text, TResetSet& out) {
    out = 0;
    std::size_t pos = 0;
    if (text.empty()) return false;
    while (pos <= text.size()) {
        std::size_t end = text.find(',', pos);
        if (end == std::string::npos) end = text.size();
        const std::string part = text.substr(pos, end - pos);
        const std::size_t dash = part.find('-');
        auto number = [](const std::string& s, int& v) {
            if (s.empty() || s.size() > 2) return false;
            for (char ch : s)
                if (ch < '0' || ch > '9') return false;
            v = std::stoi(s);
            return v >= 1 && v <= 21;
        };
        int a = 0, b = 0;
        if (dash == std::string::npos) {
            if (!number(part, a)) return false;
            b = a;
        } else if (!number(part.substr(0, dash), a) || !number(part.substr(dash + 1), b) || b < a) {
            return false;
        }
        out |= ResetRange(a, b);
        pos = end + 1;
    }
    return true;
}

} // namespace

int CmdQualify(const std::vector<std::string>& args) {
    TCommandSpec cmd{"qualify FILE [--quota Q] [--mode 0|1|2] [-o OUT.ERG]",
                     "Qualification: admits per age class the Q best participants (ranking order,\n"
                     "directly qualified ones always first, whatever the age class's setting) and\n"
                     "sets or clears their property 'startberechtigt'. Participants tied with the\n"
                     "last admitted one and directly qualified ones beyond the quota are admitted\n"
                     "too (an overflow message names the age class); nobody without points is.\n"
                     "  --quota Q    admitted participants per age class, 1..100\n"
                     "               (default: 3 x the competition's number of lanes)\n"
                     "  --mode M     0 both actions: set the property, then delete everybody not\n"
                     "                 admitted (default)\n"
                     "               1 only set the property 'startberechtigt'\n"
                     "               2 only delete the participants whose property is not set\n" +
                         std::string(kSaveHelp),
                     {"--quota", "--mode", "-o"},
                     {},
                     1,
                     1};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    long long mode = 0, quota = 0;
    if (!GetInt(a, cmd, "--mode", qmBeide, 0, 2, mode, status)) return status;
    if (!GetInt(a, cmd, "--quota", 1, 1, 100, quota, status)) return status;
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    TQualiSettings s = DefaultQualiSettings(*c);
    if (a.Has("--quota")) s.quota = static_cast<int>(quota);
    s.mode = static_cast<int>(mode);
    const TOperationBefore before = Before(*c);
    QualifyCompetition(*c, s);
    if (const int status = SaveCompetition(*c, a.positional[0], a)) return status;
    Summary(QualifySummary(*c, before));
    return 0;
}

int CmdHeats(const std::vector<std::string>& args) {
    TCommandSpec cmd{
        "heats FILE [--start-heat H] [--start-position P] [--alphabetical] [--reverse]\n"
        "       [--all-disciplines] [-o OUT.ERG]",
        "Heat and lane assignment: every age class gets a block of consecutive heats\n"
        "in the order of the age classes; the strongest participants swim in the last\n"
        "heat of the block, and a heat fills its lanes from the middle outwards.\n"
        "Without --all-disciplines only discipline 1 is assigned and the heats and\n"
        "lanes of disciplines 2 to 5 are cleared.\n"
        "  --start-heat H      number of the first heat, 0..1000 (default 1)\n"
        "  --start-position P  seeding position at which the first age class starts,\n"
        "                      0..1000; below 1 counts as 1 (default 1)\n"
        "  --alphabetical      take the participants by name instead of by points\n"
        "  --reverse           reverse order of the heats: the strongest swim first\n"
        "  --all-disciplines   assign disciplines 2 to 5 too, the heat numbers\n"
        "                      running on from discipline to discipline\n" +
            std::string(kSaveHelp),
        {"--start-heat", "--start-position", "-o"},
        {"--alphabetical", "--reverse", "--all-disciplines"},
        1,
        1};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    long long heat = 0, position = 0;
    if (!GetInt(a, cmd, "--start-heat", 1, 0, 1000, heat, status)) return status;
    if (!GetInt(a, cmd, "--start-position", 1, 0, 1000, position, status)) return status;
    THeatSettings s;
    s.startHeat = static_cast<int>(heat);
    s.startPosition = static_cast<int>(position);
    if (a.Has("--alphabetical")) s.options |= lbAlphabetisch;
    if (a.Has("--reverse")) s.options |= lbUmgekehrt;
    if (a.Has("--all-disciplines")) s.options |= lbFortlaufend;
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    AssignHeats(*c, s);
    if (const int status = SaveCompetition(*c, a.positional[0], a)) return status;
    Summary(HeatsSummary(*c));
    return 0;
}

int CmdHlw(const std::vector<std::string>& args) {
    TCommandSpec cmd{
        "hlw FILE [--start HH:MM] [--station N] [--duration MIN] [--measures K] [--block]\n"
        "       [-o OUT.ERG]",
        "HLW heat assignment: gives every participant of the age classes with HLW\n"
        "scoring a start time and a station, pass by pass over the competition's\n"
        "HLW stations; each participant or team takes K consecutive station slots.\n"
        "The duration and the measures are stored in the competition.\n"
        "  --start HH:MM     start time of the first pass (default 08:00)\n"
        "  --station N       first station, 1..99 (default 1)\n"
        "  --duration MIN    minutes per pass, 0..30 (default 15)\n"
        "  --measures K      measures per participant or team, 1..9\n"
        "                    (default 1, in a team competition 4)\n"
        "  --block           the participants of one Gliederung as one block in name\n"
        "                    order, the Gliederungen by short code; participants\n"
        "                    without a Gliederung follow last\n" +
            std::string(kSaveHelp),
        {"--start", "--station", "--duration", "--measures", "-o"},
        {"--block"},
        1,
        1};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    long long station = 0, duration = 0, measures = 0;
    if (!GetInt(a, cmd, "--station", 1, 1, 99, station, status)) return status;
    if (!GetInt(a, cmd, "--duration", 15, 0, 30, duration, status)) return status;
    if (!GetInt(a, cmd, "--measures", 1, 1, 9, measures, status)) return status;
    std::string start = a.Get("--start", "08:00");
    if (start.size() == 4 && start[1] == ':') start = "0" + start;
    const int startTime = HLWTimeFromText(start);
    if (startTime < 0)
        return UsageError(cmd, "invalid value for --start: " + a.Get("--start") + " (HH:MM)");
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    THLWSettings s = DefaultHLWSettings(*c);
    s.startTime = startTime;
    s.firstStation = static_cast<int>(station);
    s.duration = static_cast<int>(duration);
    if (a.Has("--measures")) s.measures = static_cast<int>(measures);
    s.block = a.Has("--block");
    AssignHLW(*c, s);
    if (const int status = SaveCompetition(*c, a.positional[0], a)) return status;
    Summary(HlwSummary(*c));
    return 0;
}

int CmdReset(const std::vector<std::string>& args) {
    TCommandSpec cmd{"reset FILE (--option 0..3 | --items LIST) [-o OUT.ERG]",
                     "Sets chosen entries of every participant back to 0 and recalculates.\n"
                     "The HLW start time and station are never touched.\n"
                     "  --option 0   times, penalties and HLW points (items 1-10 and 21)\n"
                     "  --option 1   heats and lanes (items 11-20)\n"
                     "  --option 2   everything including HLW (items 1-21)\n"
                     "  --option 3   individually: the items of --items (none without it)\n"
                     "  --items LIST the items to reset, e.g. 1,6,11-20 (implies option 3):\n"
                     "               1-5 time of discipline 1-5, 6-10 penalty 1-5,\n"
                     "               11-15 heat 1-5, 16-20 lane 1-5, 21 HLW points\n" +
                         std::string(kSaveHelp),
                     {"--option", "--items", "-o"},
                     {},
                     1,
                     1};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    if (!a.Has("--option") && !a.Has("--items"))
        return UsageError(cmd, "--option or --items is required");
    long long option = 3;
    if (!GetInt(a, cmd, "--option", 3, 0, 3, option, status)) return status;
    TResetSet items = 0;
    if (a.Has("--items")) {
        if (option != 3) return UsageError(cmd, "--items goes only with --option 3");
        if (!ParseItems(a.Get("--items"), items))
            return UsageError(cmd, "invalid value for --items: " + a.Get("--items") +
                                       " (numbers 1..21, ranges a-b)");
    } else {
        items = ResetSetForOption(static_cast<int>(option));
    }
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    const TOperationBefore before = Before(*c);
    ResetCompetition(*c, items);
    if (const int status = SaveCompetition(*c, a.positional[0], a)) return status;
    Summary(ResetSummary(*c, before));
    return 0;
}

int CmdStrike(const std::vector<std::string>& args) {
    TCommandSpec cmd{"strike FILE [--mode 0|1|2] [-o OUT.ERG]",
                     "Deals with participants who were not present.\n"
                     "  --mode 0   set \"n.a.\" for all disciplines of everybody without any time\n"
                     "             (default)\n"
                     "  --mode 1   delete everybody without any time\n"
                     "  --mode 2   delete only those with \"n.a.\" set in every discipline\n" +
                         std::string(kSaveHelp),
                     {"--mode", "-o"},
                     {},
                     1,
                     1};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    long long mode = 0;
    if (!GetInt(a, cmd, "--mode", skMarkAbsent, 0, 2, mode, status)) return status;
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    const TOperationBefore before = Before(*c);
    StrikeCompetition(*c, static_cast<int>(mode));
    if (const int status = SaveCompetition(*c, a.positional[0], a)) return status;
    Summary(StrikeSummary(*c, before, mode == skMarkAbsent));
    return 0;
}

int CmdMerge(const std::vector<std::string>& args) {
    TCommandSpec cmd{
        "merge FILE SOURCE.ERG [--options BITS] [--gliederung CODE] [--qualify N] [-o OUT.ERG]",
        "Merges another result file: its participants move into the corresponding\n"
        "age classes (same name, years and sex). A team file cannot be merged into\n"
        "an individual competition or the other way round: exit status 1, nothing\n"
        "written.\n"
        "  --options BITS   sum of (default 3):\n"
        "                   1 add missing age classes\n"
        "                   2 add the participants\n"
        "                   4 including participants 'ausser Konkurrenz'\n"
        "                   8 including participants who do not enter ('meldet' off)\n"
        "                  16 including participants who did not start\n"
        "  --gliederung CODE  give every moved participant this Gliederung\n"
        "                   (at most 5 characters; default: keep theirs)\n"
        "  --qualify N      places 1..N of the source become directly qualified, all\n"
        "                   others not, 0..1000 (default 0: no change)\n" +
            std::string(kSaveHelp),
        {"--options", "--gliederung", "--qualify", "-o"},
        {},
        2,
        2};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    long long options = 0, qualify = 0;
    if (!GetInt(a, cmd, "--options", moAltersklassen | moTeilnehmer, 0, 31, options, status))
        return status;
    if (!GetInt(a, cmd, "--qualify", 0, 0, 1000, qualify, status)) return status;
    TMergeSettings s;
    s.options = static_cast<int>(options);
    s.qualify = static_cast<int>(qualify);
    s.gliederung = Utf8ToOem(a.Get("--gliederung"));
    if (s.gliederung.size() > 5) s.gliederung.resize(5);
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    const TOperationBefore before = Before(*c);
    if (!ReportingFailure(a.positional[1], "nicht zusammengeführt",
                          [&] { return MergeFile(*c, a.positional[1], s); }))
        return 1;
    if (const int status = SaveCompetition(*c, a.positional[0], a)) return status;
    Summary(MergeSummary(*c, before));
    return 0;
}

} // namespace vm::cli
