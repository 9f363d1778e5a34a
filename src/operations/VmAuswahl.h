// Resetting entries of every participant, striking absent participants, and the
// selection lists from which the HLW assignment, the heat view and the start and heat
// lists take their participants.
#pragma once

#include "model/VmWettk.h"

#include <cstdint>
#include <set>
#include <string_view>
#include <vector>

namespace vm {

// ---- reset -----------------------------------------------------------------------

// A set of the reset items 1..21 (bit i stands for item i): 1-5 time of discipline
// 1-5, 6-10 penalty, 11-15 heat, 16-20 lane, 21 HLW points.
using TResetSet = std::uint32_t;

enum : int {
    rsZeit = 1,
    rsAbzug = 6,
    rsLauf = 11,
    rsBahn = 16,
    rsHLW = 21,
};

constexpr TResetSet ResetItem(int item) {
    return item >= 1 && item <= 21 ? TResetSet{1} << item : 0;
}
constexpr TResetSet ResetRange(int first, int last) {
    TResetSet s = 0;
    for (int i = first; i <= last; ++i)
        s |= ResetItem(i);
    return s;
}
constexpr bool HasResetItem(TResetSet s, int item) {
    return (s & ResetItem(item)) != 0;
}

// The reset dialog's options: 0 "&Zeiten, Strafpunkte und HLW" (items 1-10 and 21),
// 1 "&Laufbesetzung (Lauf und Bahn)" (11-20), 2 "&Alles einschließlich  HLW" (all);
// 3 "&Individuell" is whatever the user ticks and gives the empty set here.
TResetSet ResetSetForOption(int option);

// Sets the chosen entries of one participant to 0; the HLW start time and station
// are never touched.
void ResetParticipant(TTeilnehmer& p, TResetSet items);
// Every participant of every age class, each age class recalculated afterwards.
void ResetCompetition(TWettkampf& c, TResetSet items);

// ---- strike ----------------------------------------------------------------------

// Modes of the strike dialog.
enum : int {
    skMarkAbsent = 0,       // "n.a." for every discipline of those without any time
    skDelete = 1,           // delete those without any time
    skDeleteNotStarted = 2, // delete those marked "n.a." everywhere
};

void StrikeAgeClass(TAltersklasse& ac, int mode);
// Strikes in every age class.
void StrikeCompetition(TWettkampf& c, int mode);

// ---- selection -------------------------------------------------------------------

// Orders of a selection; ties always by name ascending (byte order).
enum : int {
    soPunkte = 0,  // total points descending
    soName = 1,    // name ascending
    soLauf = 2,    // heat * 10 + lane of the selection's discipline ascending
    soHLWZeit = 6, // HLW start time * 10 + HLW station ascending
};

// One of the orders above, with the discipline (1..5) of order 2.
struct TSelectionOrder {
    int order = soPunkte;
    int discipline = 1;
};

// The order of two participants in a selection (−1 puts a first).
int CompareSelection(const TSelectionOrder& order, const TTeilnehmer& a, const TTeilnehmer& b);

// An entry of a selection, pointing into a competition that the selection only reads.
struct TListEntry {
    const TAltersklasse* ageClass = nullptr;
    const TTeilnehmer* participant = nullptr;
};
using TListSelection = std::vector<TListEntry>;

// The age classes a list takes its participants from.
enum class TListAgeClasses { All, WithHLW };

// Every participant of those age classes in `order`, exactly as a TSelection holds
// them after marking those age classes and selecting into its empty list (equal
// entries: the one added later first).
TListSelection SelectForList(const TWettkampf& c, TListAgeClasses ageClasses,
                             const TSelectionOrder& order);

// True when the entry's age class is one of the competition's and holds the
// entry's participant: every entry a list or an operation works on must.
bool PointsInto(const TWettkampf& c, const TAltersklasse* ac, const TTeilnehmer* p);
template <class Entry> bool PointsInto(const TWettkampf& c, const Entry& e) {
    return PointsInto(c, e.ageClass, e.participant);
}

// A selection list built up step by step: the entries in their order and the age
// classes marked for selecting. It belongs to whoever builds it (the heat view, the
// HLW assignment), never to the competition, which it only reads; its owner keeps
// it no longer than the competition it points into stays as it is.
struct TSelection {
    TListSelection entries;
    TSelectionOrder order;
    std::set<const TAltersklasse*> marked;

    bool Marked(const TAltersklasse& ac) const { return marked.count(&ac) != 0; }
};

// Sets the order (and the discipline of order 2) and re-sorts the list.
void SetSelectionOrder(TSelection& s, int order, int discipline = 1);
// Adds one entry at its place: before the first entry that compares equal.
void InsertSelection(TSelection& s, const TAltersklasse& ac, const TTeilnehmer& p);

void MarkAllAgeClasses(TSelection& s, const TWettkampf& c, bool selected);
// Every age class is marked exactly when it has the HLW scoring.
void MarkHLWAgeClasses(TSelection& s, const TWettkampf& c);

// Each adds the matching participants of the marked age classes.
void SelectParticipants(TSelection& s, const TWettkampf& c);
void SelectHLWParticipants(TSelection& s, const TWettkampf& c);
void SelectGliederung(TSelection& s, const TWettkampf& c, std::string_view code);
// Participants whose heat in discipline d (1..5) is `heat`; heat 0 gives those
// without a heat.
void SelectHeat(TSelection& s, const TWettkampf& c, int heat, int discipline);
// Empties the list; its order and the marks stay.
void ClearSelection(TSelection& s);

// The smallest and largest heat number over all participants for discipline d
// (1..5), or over all five when d is 0; {32767, 0} when there is none.
struct THeatRange {
    int first = 32767;
    int last = 0;
};
THeatRange HeatRange(const TWettkampf& c, int discipline);

} // namespace vm
