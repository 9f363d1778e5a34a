// Results entered heat by heat, as the timekeepers hand them in: the lanes of one heat
// of a discipline, the stopwatch-style time entry, status letters for the penalty, and
// applying a heat's entries with the ranking of every age class it touches.
#pragma once

#include "model/VmWettk.h"

#include <array>
#include <map>
#include <string_view>
#include <vector>

namespace vm {

// One row of a heat: a lane and who swims there; an empty lane has no participant.
struct TLaufPlatz {
    int lane = 0;
    TAltersklasse* ageClass = nullptr;
    TTeilnehmer* participant = nullptr;
};

// The rows of heat `heat` of discipline d (1..5): lanes 1..lanes of the competition,
// each with its participants (two on one lane give two rows) or one empty row; then
// the heat's participants on lanes the competition does not have. Heat 0 lists the
// participants without a heat in d whose age class has discipline d, by lane, then
// by name.
std::vector<TLaufPlatz> HeatRows(const TWettkampf& c, int heat, int discipline);

// How far a heat is: its participants and how many of them still lack a result.
struct TLaufStand {
    int participants = 0;
    int missing = 0;
    int deviating = 0; // lanes whose watches lie too far apart (hand timing)
};
// Every heat number of discipline d that has a participant; heat 0 only counts the
// participants whose age class has discipline d, as HeatRows lists them.
std::map<int, TLaufStand> HeatProgress(const TWettkampf& c, int discipline);

// The time typed into a heat-entry field. Digits alone fill the time from the right,
// like a stopwatch: with hundredths "3520" is 0:35,20 and "12345" 1:23,45, without
// "3521" is 3:52,1. A ":" ends the minutes and a "," (or ".") the seconds, so
// "35,2" and "0:35,20" read as well. Empty gives 0. False for anything else, for
// seconds above 59, for more than 9 minutes or for hundredths typed in a competition
// that keeps tenths.
bool ParseTimeEntry(std::string_view text, bool withHundredths, TZeit& time);
// The penalty typed into a heat-entry field: a number 0..9999 or a status code -1..-4,
// the letters d (disq., -1), a (n.a., -3), e (n.er., -4) in either case, or the status
// marks themselves. Empty gives 0.
bool ParsePenaltyEntry(std::string_view text, TAbzug& penalty);

// A result of one participant in one discipline (1..5) as the heat hands it in.
struct TLaufErgebnis {
    TAltersklasse* ageClass = nullptr;
    TTeilnehmer* participant = nullptr;
    int discipline = 1;
    TZeit time = 0;
    TAbzug penalty = 0;
    // The watches the time was derived from (0 where empty); all 0 when the time was
    // typed as one. Kept so that the record of a confirmed heat can name them.
    std::array<TZeit, 3> watches{};
};
// Writes the results, recalculates the changed participants and ranks each age class
// touched once; answers whether anything changed.
bool ApplyHeatResults(const std::vector<TLaufErgebnis>& results);

} // namespace vm
