// Times as the pool produces them: the official time from up to three hand-held
// watches per lane, and the per-heat files of timing consoles, read into results of
// the heat-wise entry.
#pragma once

#include "operations/VmLaufEingabe.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// Up to three watches of one lane; 0 is a watch left empty.
using TUhren = std::array<TZeit, 3>;

// The limit above which the watches of a lane are looked at before a heat is
// confirmed: 0,30 s.
inline constexpr TZeit kSpreadLimit = 30;

// The official time from the watches of one lane, empty watches not counted: one watch
// gives its time, two their mean with a half hundredth rounded to the slower time,
// three the middle time (which is the time two of them agree on, when they do).
// Without hundredths the result is rounded up to the slower tenth. 0 without a watch.
TZeit OfficialTime(std::span<const TZeit> watches, bool withHundredths);
// How far the counted watches lie apart (slowest minus fastest); 0 with fewer than two.
TZeit WatchSpread(std::span<const TZeit> watches);
inline bool WatchesDeviate(std::span<const TZeit> watches, TZeit limit) {
    return WatchSpread(watches) > limit;
}

// ---- files of timing consoles ----------------------------------------------------------

// One lane of a console file as it stands in the file.
struct TZeitmessungZeile {
    int line = 0; // 1-based line number in the file
    int heat = 0;
    int lane = 0;
    TUhren watches{};             // Zeit, Zeit2, Zeit3 (0 where empty)
    std::optional<TAbzug> status; // a status code from the Status column
};

struct TZeitmessungDatei {
    std::vector<TZeitmessungZeile> rows;
    // Lines that could not be read, each "Zeile N: why" (UTF-8).
    std::vector<std::string> problems;
};

// Reads the text of a console file: a header line naming the columns (Lauf/Heat,
// Bahn/Lane, Zeit/Time, optionally Zeit2/Backup1, Zeit3/Backup2 and Status, in any
// case and order, other columns ignored), then one line per lane, separated by ";" or
// "," as the header is. Times read as m:ss,hh, m:ss.hh or ss.hh; status DQ, DNS, DNF
// or the program's own marks. False, with `error` (UTF-8), when the text is not such
// a file at all; lines that cannot be read are listed in `out.problems`.
bool ReadTimingText(std::string_view text, TZeitmessungDatei& out, std::string& error);
// The same for a file on disk; the error names why the file could not be read.
bool ReadTimingFile(const std::string& fileName, TZeitmessungDatei& out, std::string& error);

// The file's lanes matched to the heats of discipline d of a competition.
struct TZeitmessungAbgleich {
    std::vector<TLaufErgebnis> results; // one per lane taken over, watches included
    std::vector<int> heats;             // the heats results were taken for, ascending
    // Lanes whose watches lie further apart than the limit, "Lauf 3, Bahn 4: ..." (UTF-8).
    std::vector<std::string> deviating;
    // Lines reported and skipped: unknown heats, lanes nobody swims on, ... (UTF-8).
    std::vector<std::string> skipped;
};
// Each lane's time is derived from its watches as OfficialTime does; a status sets the
// penalty code (DQ disq., DNS n.a., DNF n.er.) and keeps the time; a time without
// status replaces an "n.a." the participant had (they did start), other penalties stay.
TZeitmessungAbgleich MatchTiming(const TWettkampf& c, int discipline, const TZeitmessungDatei& file,
                                 TZeit spreadLimit = kSpreadLimit);

// "Zeitmessung: 8 Zeiten in Lauf 3 übernommen, 1 Bahn mit abweichenden Zeiten." (UTF-8)
std::string TimingSummary(const TZeitmessungAbgleich& m);

} // namespace vm
