#include "cli/CmdEntries.h"

#include "cli/CliSupport.h"
#include "io/VmMeldebogen.h"

#include <cstdio>
#include <iostream>

namespace vm::cli {

int CmdEntryForm(const std::vector<std::string>& args) {
    TCommandSpec cmd{
        "entry-form FILE OUT.xlsx [--gliederung CODE]",
        "Writes the entry form of the competition FILE for the clubs: a workbook with\n"
        "the sheet \"Hinweise\" (the competition, its age classes with years and\n"
        "disciplines, how to fill in) and the sheet \"Meldungen\" with room for 500\n"
        "entries and lists for Altersklasse, Geschlecht and Gliederung. `velmora-cli\n"
        "import FILE OUT.xlsx` reads the returned form.\n"
        "  --gliederung CODE  fills every row's Gliederung with CODE (at most 5 characters)",
        {"--gliederung"},
        {},
        2,
        2};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    std::string code = a.Get("--gliederung");
    if (!code.empty()) {
        bool bad = false;
        const std::string oem = UpperCode(DecodeToOem(code, TTextEncoding::Utf8, &bad));
        if (bad || oem.size() > 5)
            return UsageError(cmd, "--gliederung takes a code of at most 5 characters");
        code = OemToUtf8(oem);
    }
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    const std::string& out = a.positional[1];
    if (!ReportingFailure(out, "nicht geschrieben", [&] { return WriteMeldebogen(*c, out, code); }))
        return 1;
    Summary("Meldebogen: " + CountText(c->Count(), "Altersklasse", "Altersklassen") + ", Platz für " +
            IntToText(MeldRows) + " Meldungen.");
    return 0;
}

int ImportEntryForm(TWettkampf& c, const std::string& input, bool skipErrors,
                    std::string& summary) {
    summary.clear();
    TEntrySheet sheet;
    std::string failure;
    ResetSystemError();
    if (!ReadEntryFile(input, sheet, failure)) {
        std::cerr << failure << std::endl;
        ReportFileFailure(input, "kein Meldebogen");
        return 1;
    }
    const TEntryReport r = ImportEntries(c, sheet, skipErrors);
    if (!r.read) {
        std::cerr << r.failure << std::endl;
        return 1;
    }
    for (const TEntryProblem& p : r.errors)
        std::cerr << ProblemLine(p) << std::endl;
    for (const std::string& note : r.notes)
        std::cerr << note << std::endl;
    if (!r.errors.empty() && !skipErrors) {
        std::cerr << "Nichts importiert: "
                  << CountText(r.rowsWithErrors, "Zeile", "Zeilen") << " mit Fehlern "
                  << "(--skip-errors übernimmt die fehlerfreien Zeilen)." << std::endl;
        return 1;
    }
    if (r.rowsWithErrors > 0)
        std::cerr << CountText(r.rowsWithErrors, "fehlerhafte Zeile", "fehlerhafte Zeilen")
                  << " übersprungen." << std::endl;
    summary = r.SummaryLine();
    return 0;
}

bool IsEntryForm(const std::string& input) {
    std::FILE* f = std::fopen(input.c_str(), "rb");
    if (!f) return false;
    std::string head(4096, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), f));
    std::fclose(f);
    return head.substr(0, 4) == std::string("PK\x03\x04", 4) || LooksLikeEntryCsv(head);
}

} // namespace vm::cli
