// Heat and lane assignment: every age class gets a block of consecutive heats, the
// strongest participants are seeded into one end of the block, and within a heat
// the lanes fill from the middle of the pool outwards.
#pragma once

#include "model/VmWettk.h"

#include <cstdint>

namespace vm {

// Options of the heat assignment dialog.
enum : int {
    lbMischen = 1,      // "je zwei Altersklassen ggf. &mischen (m/w)": never set, no effect
    lbTauschen = 2,     // "Bahnen in den Wettkämpfen &tauschen": never set, no effect
    lbAlphabetisch = 4, // "&zufällige Laufbesetzung (alphabetisch)": order by name
    lbUmgekehrt = 8,    // "&umgekehrte Reihenfolge der Läufe": strongest in the first heat
    lbFortlaufend = 16, // "Läufe für die Wettkämpfe &fortlaufend nummerieren": disciplines 2-5 too
};

// The settings of the heat assignment dialog.
struct THeatSettings {
    int startHeat = 1;     // "&Lauf" (0..1000)
    int startPosition = 1; // "&Bahn", the seeding position (0..1000; below 1 counts as 1)
    int options = 0;
};

// The block a run carries from one age class to the next.
struct THeatBlock {
    std::int16_t discipline = 1;   // 1..5
    std::int16_t nextHeat = 1;     // where the next age class starts
    std::int16_t nextPosition = 1; // seeding position (1-based) of the next age class
    std::int16_t lanes = 5;
    std::int16_t options = 0;
};

// The lane of a seeding position: the middle lane first, then alternately right and
// left of it (even lane counts) or left and right (odd counts); outside 1..10 lanes
// the lane is the position.
int LaneOrder(int lanes, int position);

// One age class for the block's discipline; moves the block on to the next age class.
void AssignAgeClassHeats(TAltersklasse& ac, THeatBlock& block);
// The whole run: discipline 1 of every age class, with lbFortlaufend then
// disciplines 2 to 5, the heat numbers running on.
void AssignHeats(TWettkampf& c, const THeatSettings& s);

} // namespace vm
