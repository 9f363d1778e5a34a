// The data checks an organiser runs before a result list goes on the wall: results
// missing, heats and lanes missing, given twice or impossible, years of birth outside
// the age class, entries made twice, HLW points missing, times too fast to be true.
#pragma once

#include "model/VmWettk.h"

#include <string>
#include <string_view>
#include <vector>

namespace vm {

// What a finding is about, in the order the findings of one participant are listed.
enum TPruefArt : int {
    paKeineZeit = 1,     // no time and no status in a discipline of the age class
    paOhneLauf = 2,      // heats were assigned in a discipline, a starter has none there
    paBahnDoppelt = 3,   // heat and lane of a discipline given to a second participant
    paBahnUngueltig = 4, // a lane the competition does not have
    paJahrgang = 5,      // year of birth outside the age class's years
    paDoppelt = 6,       // the same entry twice in the competition
    paOhneHLW = 7,       // an age class with HLW scoring, HLW points missing
    paZuSchnell = 8,     // faster than half the base time of the discipline
};

struct TBefund {
    TPruefArt kind = paKeineZeit;
    TAltersklasse* ageClass = nullptr;
    TTeilnehmer* participant = nullptr;
    int discipline = 0; // 1..5; 0 when the finding concerns no single discipline
    std::string text;   // one line in the stored code page, naming age class and participant
};

// Every finding of the competition: age classes in list order, participants in their
// order, the findings of one participant by kind and discipline.
std::vector<TBefund> CheckCompetition(const TWettkampf& c);

// The discipline (1..5) still lacks a result: no time and no status code.
inline bool LacksResult(const TTeilnehmer& p, int discipline) {
    const auto k = static_cast<std::size_t>(discipline - 1);
    return p.Zeit[k] == 0 && p.Abzug[k] >= 0;
}

// The text without the blanks around it (names as stored, fields as typed).
std::string_view TrimBlanks(std::string_view s);

// "AK 12w: Meier, Leni (NI)": the age class, the name (and first name, or the team
// name) and the Gliederung, as a finding names them.
std::string FindingSubject(const TWettkampf& c, const TAltersklasse& ac, const TTeilnehmer& p);

} // namespace vm
