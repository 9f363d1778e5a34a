// HLW heat assignment: start times and stations for the resuscitation event, packed
// pass by pass onto the stations, optionally one block per Gliederung.
#pragma once

#include "model/VmWettk.h"

#include <string_view>

namespace vm {

// The settings of the HLW dialog.
struct THLWSettings {
    int startTime = 800;  // "Anfangs&zeit (1. Durchgang):", hours * 100 + minutes
    int firstStation = 1; // "beginne mit HLW-&Station:" (1..99)
    int duration = 15;    // "&Dauer (in Min.) pro Durchgang:" (0..30)
    int measures = 1;     // "Anzahl Maßnahmen pro &Mannschaft:" (1..9)
    bool block = false;   // "Teilnehmer einer Gliederung im &Block"
};

// The dialog's preset: four measures in a team competition, one otherwise.
THLWSettings DefaultHLWSettings(const TWettkampf& c);

// "08:00" -> 800: characters 1-2 are the hours, 4-5 the minutes. -1 when the text
// is not of that form or names no time of day.
int HLWTimeFromText(std::string_view text);

// The state of a run, carried from one participant (and block) to the next.
struct THLWRun {
    int stations = 5;
    int time = 800;  // hours * 100 + minutes of the current pass
    int station = 1; // current station
    int duration = 15;
    int measures = 1;
    int sequence = 1; // running number stored as HLW-Lauf
};

// Gives the participant the current slot and moves on by its measures.
void PackParticipant(TTeilnehmer& p, THLWRun& run);

// The whole run. The duration and the measures are stored in the competition.
// In block mode the Gliederung list is brought up to date.
void AssignHLW(TWettkampf& c, const THLWSettings& s);

} // namespace vm
