// The competitions, age classes and participants the suites build, made through the
// model API. Every suite builds on the same few pieces: AgeClass and Person, and the
// small competitions below that are made of them.
#pragma once

#include "model/VmWettk.h"
#include "support/TestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace vmtest {

// ---- the pieces -----------------------------------------------------------------------

// An age class with its name, years, properties and discipline count; the disciplines
// themselves are left empty.
std::unique_ptr<vm::TAltersklasse> AgeClass(const std::string& name, int yearFrom, int yearTo,
                                            std::int16_t props = 0, int disciplines = 0);

// A participant, or a team when `team` is set (name is then the Mannschaft and
// second the Zusatz; birth is not used).
struct TPerson {
    std::string name;
    std::string second; // Vorname or Zusatz
    std::string birth;
    std::string glied;
    std::string ageClass; // empty: the age class it is inserted into sets it
    bool female = false;
    bool team = false;
};
std::unique_ptr<vm::TTeilnehmer> Person(const TPerson& who);

// ---- entries ranked by points (operations) --------------------------------------------
// Totals are set through the HLW points so that each entry has exactly the points a
// test needs.

std::unique_ptr<vm::TWettkampf> Competition(int lanes = 5, bool team = false);
// Inserts a new age class into c; throws when the competition refuses it.
vm::TAltersklasse& AddAgeClass(vm::TWettkampf& c, const std::string& name, int von, int bis,
                               std::int16_t props = 0, int disciplines = 1);
// An entry "name", first name "V" + name, with `points` whole points (0 gives a total of 0).
vm::TTeilnehmer& AddEntrant(vm::TAltersklasse& ac, const std::string& name, int points,
                            const std::string& code = "", std::int16_t flags = 0);
vm::TTeilnehmer* Find(const vm::TAltersklasse& ac, const std::string& name);
// Names of the entries in list order.
std::vector<std::string> Names(const vm::TAltersklasse& ac);

// ---- entries ranked by times (reports) ------------------------------------------------

struct TEntry {
    std::string name;
    std::string first;
    std::string birth;
    std::string glied;
    vm::TZeit t1 = 0;
    vm::TZeit t2 = 0;
    std::int16_t pen1 = 0;
    std::int16_t pen2 = 0;
};

// A female age class (yearFrom .. yearFrom + 1) with `disciplines` disciplines scored by
// the new method with the base time 0:27,00 (1000 points; twice the base time gives 400).
std::unique_ptr<vm::TAltersklasse> MakeAgeClass(const std::string& name, int disciplines, bool hlw,
                                                int yearFrom = 1990);
// A female participant with the times and penalties of the first two disciplines.
vm::TTeilnehmer& AddEntry(vm::TAltersklasse& ac, const TEntry& e);
// A competition with one age class "AK 13/14w" of n participants with falling results
// (the k-th has times 2700 + 10k and 5400 + 10k), Gliederungen cycling through four codes.
std::unique_ptr<vm::TWettkampf> MakeCompetition(bool team, int n, int disciplines = 2,
                                                bool hlw = false);

// ---- the export competition -----------------------------------------------------------

// Three age classes in competition order: "AK 13/14 M\x84" "dchen" (female, HLW, two
// disciplines, 3 entries), "AK 15/16" (empty), "AK offen" (one discipline, 1 entry);
// umlauts, markup, separators and quote characters in names, a participant that did
// not start and one disqualified.
std::unique_ptr<vm::TWettkampf> ExportCompetition(bool team = false);

// ---- result files (desktop program) ---------------------------------------------------

// A participant born 2012 with one time per discipline (hundredths) in the first three.
std::unique_ptr<vm::TTeilnehmer> Swimmer(const std::string& name, const std::string& vorname,
                                         const std::string& gld, int time);
// The default championship (individual, youth and seniors) with three participants in
// the first age class, one in the third and none elsewhere; saved as NAME in dir.
std::string SmallCompetitionFile(const TempDir& dir, const std::string& name = "Tag1.ERG",
                                 bool team = false);

} // namespace vmtest
