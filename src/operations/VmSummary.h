// The one-line German outcome of an operation on the whole competition, as both front
// ends say it: velmora-cli on standard error, the desktop program on its status line.
// Texts are UTF-8.
#pragma once

#include "model/VmWettk.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>

namespace vm {

// "1 Lauf", "3 Läufe".
std::string CountText(int n, const std::string& one, const std::string& many);
// "3 Teilnehmer" or "3 Mannschaften", as the competition's kind has it; `dative` for
// "von 3 Teilnehmern".
std::string EntrantsText(const TWettkampf& c, int n, bool dative = false);
int EntrantCount(const TWettkampf& c);

// The entries an operation may change, per participant, to count afterwards whose
// entries it changed. Participants are held by their collections and keep their
// addresses while an operation re-sorts or deletes others.
using TEntryValues = std::tuple<std::array<std::int32_t, 5>, std::array<std::int16_t, 5>,
                                std::array<std::int16_t, 5>, std::array<std::int16_t, 5>,
                                std::int32_t>;
using TEntriesBefore = std::map<const TTeilnehmer*, TEntryValues>;
TEntriesBefore EntriesOf(const TWettkampf& c);
int ChangedEntries(const TWettkampf& c, const TEntriesBefore& before);

// What the competition looked like before an operation, as far as its summary needs.
struct TOperationBefore {
    int entrants = 0;
    int ageClasses = 0;
    TEntriesBefore entries;
};
TOperationBefore Before(const TWettkampf& c);

std::string QualifySummary(const TWettkampf& c, const TOperationBefore& before);
std::string HeatsSummary(const TWettkampf& c);
std::string HlwSummary(const TWettkampf& c);
std::string ResetSummary(const TWettkampf& c, const TOperationBefore& before);
// `marked`: the strike only set "n.a." (it deleted otherwise).
std::string StrikeSummary(const TWettkampf& c, const TOperationBefore& before, bool marked);
std::string MergeSummary(const TWettkampf& c, const TOperationBefore& before);
std::string ImportSummary(const TWettkampf& c, const TOperationBefore& before);

} // namespace vm
