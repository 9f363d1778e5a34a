// Merging another competition into the open one: its participants move into the
// corresponding age classes, filtered and changed on the way.
#pragma once

#include "model/VmWettk.h"

#include <string>

namespace vm {

// Options of the merge dialog.
enum : int {
    moAltersklassen = 1,    // "fehlende Altersklassen hinzufügen"
    moTeilnehmer = 2,       // "fehlende Teilnehmer hinzufügen"
    moAusserKonkurrenz = 4, // "incl. Teilnehmer außer Konkurrenz"
    moNichtMeldend = 8,     // "incl. nicht meldende Teilnehmer"
    moNichtAngetreten = 16, // "incl. nicht angetretene Teilnehmer"
};

// The settings of the merge dialog.
struct TMergeSettings {
    int options = moAltersklassen | moTeilnehmer;
    std::string
        gliederung;  // code page 850; given to every moved participant (cut to 5), empty: no change
    int qualify = 0; // places 1..qualify become directly qualified, the others not; 0: no change
};

// Moves the source's participants into the target; the source is empty afterwards.
// False (after the message) when one is an individual and the other a team
// competition; nothing is changed then.
bool Merge(TWettkampf& target, TWettkampf& source, const TMergeSettings& s);

// Loads the result file and merges it. False when it cannot be loaded (the loader
// has said why) or the merge is refused; the target is unchanged then.
bool MergeFile(TWettkampf& target, const std::string& fileName, const TMergeSettings& s);

} // namespace vm
