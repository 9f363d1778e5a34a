// The lists that prepare a competition: qualification list (per age class), heat
// list (whole competition by heat, discipline 1 or all five) and HLW start list (by
// start time), with their line texts.
#pragma once

#include "model/VmWettk.h"

#include <string>

namespace vm {

class TVmReport;

// Header (n = 0) or the n-th participant's qualification line; empty beyond the class.
std::string QualificationLine(const TWettkampf& c, const TAltersklasse& ac, int lineNumber);

// Heat list lines. p == nullptr: the column header. discipline == -1: the heat line
// above a group in mode B (heats of p in all five disciplines). Otherwise p's line:
// heat and lane of `discipline` (1..5) in mode A, the lanes of all five in mode B.
std::string HeatLine(const TWettkampf& c, int discipline, const TTeilnehmer* p, bool modeB);

// HLW start list line; p == nullptr gives the column header.
std::string HLWLine(const TWettkampf& c, const TTeilnehmer* p);

// The printed lists (cover and body) into a report of kind 1, 2 or 3.
void PrintQualificationList(TVmReport& report);
void PrintHeatList(TVmReport& report);
void PrintHLWStartList(TVmReport& report);

// What the heat list and the HLW start list print instead of groups when their
// selection holds nobody.
inline constexpr const char* NoHeatParticipantsText = "Keine Teilnehmer vorhanden.";
inline constexpr const char* NoHLWParticipantsText = "Keine Teilnehmer mit HLW-Wertung vorhanden.";

} // namespace vm
