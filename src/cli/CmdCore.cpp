#include "cli/CmdCore.h"

#include "cli/CliSupport.h"
#include "file/VmErg.h"
#include "file/VmWFile.h"
#include "model/VmGrid.h"
#include "model/VmRek.h"

#include <iostream>

namespace vm::cli {

namespace {

void PrintHeader(const TWettkampf& c) {
    const auto& h = c.Header;
    std::cout << "Veranstaltung: " << ToUtf8(h.Veranstaltung.Get()) << "\n";
    std::cout << "Art: " << (IsSingleCompetition(c) ? "Einzelwettbewerb" : "Mannschaftswettbewerb")
              << "\n";
    std::cout << "Veranstalter: " << ToUtf8(h.Veranstalter.Get()) << "\n";
    std::cout << "Ausrichter: " << ToUtf8(h.Ausrichter.Get()) << "\n";
    std::cout << "Datum: " << ToUtf8(h.Datum.Get()) << "\n";
    std::cout << "Veranstaltungsstätte: " << ToUtf8(h.Veranstaltungsstaette.Get()) << "\n";
    std::cout << "Bahnen: " << LaneCount(c) << "\n";
    std::cout << "Beckenlänge: " << (h.Beckenlaenge == 1 ? "50 m" : "25 m") << "\n";
    std::cout << "HLW-Stationen: " << StationCount(c) << "\n";
    std::cout << "Zeiten mit Hundertstel: " << (WithHundredths(c) ? "ja" : "nein") << "\n";
    std::cout << "Altersklassen: " << c.Count() << "\n";
}

void PrintAgeClass(const TWettkampf& c, const TAltersklasse& ac) {
    std::cout << "\n" << ToUtf8(AgeClassTitle(ac, true)) << "\n";
    std::cout << "Eigenschaften: " << AgeClassPropertiesText(ac) << "\n";
    for (int k = 0; k < ac.Data.DisciplineCount(); ++k)
        std::cout << "Disziplin " << (k + 1) << ": " << DisciplineInfoText(ac.Discipline(k))
                  << "\n";
    const auto cols = GridColumns(c, ac);
    const bool hundredths = WithHundredths(c);
    for (int row = 0; row <= ac.Count(); ++row) {
        for (std::size_t k = 0; k < cols.size(); ++k) {
            if (k) std::cout << '\t';
            std::cout << ToUtf8(FieldCell(ac, row, cols[k].key, hundredths));
        }
        std::cout << "\n";
    }
}

} // namespace

int CmdNew(const std::vector<std::string>& args) {
    TCommandSpec cmd{
        "new OUT.ERG [--type N] [--year YYYY]",
        "Creates a new competition from the rule-set presets and saves it.\n"
        "  --type N     0..15: Art (0 individual, 1 team) + 2 x range (0 youth, 1 seniors,\n"
        "               2 both) + 8 for age class 12 split into AK 10 and AK 12 (default 8)\n"
        "  --year YYYY  the competition year (default: the current year)",
        {"--type", "--year"},
        {},
        1,
        1};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    long long type = 0, year = 0;
    if (!GetInt(a, cmd, "--type", 8, 0, 15, type, status)) return status;
    if (!GetInt(a, cmd, "--year", CurrentYear(), 1800, CurrentYear() + 5, year, status))
        return status;
    TVmFile doc;
    doc.New(static_cast<int>(type), static_cast<int>(year));
    return SaveDocumentAs(doc, a.positional[0], TFileType::Ergebnis) ? 0 : 1;
}

int CmdInfo(const std::vector<std::string>& args) {
    TCommandSpec cmd{"info FILE",
                     "Prints the competition's header lines, then for every age class its title,\n"
                     "properties, disciplines and the evaluated grid (tab-separated, UTF-8).",
                     {},
                     {},
                     1,
                     1};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    PrintHeader(*c);
    for (const TAltersklasse& ac : *c)
        PrintAgeClass(*c, ac);
    return 0;
}

int CmdRecords(const std::vector<std::string>& args) {
    TCommandSpec cmd{"records FILE --take-over OTHER.ERG [-o OUT.ERG]",
                     "Takes the previous years' records over from another result file\n"
                     "(usually last year's) and saves FILE (with backup) or OUT.",
                     {"--take-over", "-o"},
                     {},
                     1,
                     1};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    if (!a.Has("--take-over")) return UsageError(cmd, "--take-over OTHER.ERG is required");
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    auto other = LoadCompetition(a.Get("--take-over"));
    if (!other) return 1;
    const int matched = TakeOverRecords(*c, *other);
    if (const int status = SaveCompetition(*c, a.positional[0], a)) return status;
    Summary("Rekorde: für " + IntToText(matched) + " von " +
            CountText(c->Count(), "Altersklasse", "Altersklassen") + " übernommen.");
    return 0;
}

} // namespace vm::cli
