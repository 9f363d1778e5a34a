// Qualification: limits every age class to a number of admitted participants by
// setting or clearing their start permission and, if wanted, deleting the others.
#pragma once

#include "model/VmWettk.h"

namespace vm {

// Modes of the qualification dialog.
enum : int {
    qmBeide = 0,    // "&beide folgenden Aktionen"
    qmSetzen = 1,   // "Eigenschaft 'startberechtigt' setzen"
    qmLoeschen = 2, // "nicht startberechtigte Teilnehmer löschen"
};

// The settings of the qualification dialog.
struct TQualiSettings {
    int quota = 15; // admitted participants per age class (the dialog allows 1..100)
    int mode = qmBeide;
};

// The dialog's preset: three times the number of lanes.
TQualiSettings DefaultQualiSettings(const TWettkampf& c);

// One age class; returns true when the quota was exceeded (the overflow message
// naming the age class has then been shown).
bool QualifyAgeClass(TAltersklasse& ac, int quota, int mode);
// Every age class in list order. A run that deletes participants also empties the
// selection list, whose references would otherwise outlive them.
void QualifyCompetition(TWettkampf& c, const TQualiSettings& s);

} // namespace vm
