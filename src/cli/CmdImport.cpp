#include "cli/CmdImport.h"

#include "cli/CliSupport.h"
#include "operations/VmSummary.h"
#include "cli/CmdEntries.h"
#include "file/VmErg.h"
#include "io/VmImport.h"

#include <map>

namespace vm::cli {

namespace {
// ".TXT" and ".CSV" (in any case) are text files; everything else is binary.
bool IsTextName(const std::string& name) {
    const std::size_t slash = name.find_last_of('/');
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    const std::string ext = UpperText(name.substr(dot));
    return ext == ".TXT" || ext == ".CSV";
}
} // namespace

int CmdImport(const std::vector<std::string>& args) {
    TCommandSpec cmd{
        "import FILE INPUT [--format text|binary|entries] [--charset utf8|win|dos]\n"
        "       [--skip-errors] [-o OUT.ERG]",
        "Adds the participants or teams of INPUT to the competition FILE, each into\n"
        "the age class it names, and saves FILE (with backup) or OUT. Entries that\n"
        "cannot be filed are reported; the others are imported.\n"
        "  --format entries  a returned entry form (see entry-form): the sheet\n"
        "                   \"Meldungen\" of a workbook, or a CSV saved from it. Every\n"
        "                   row is checked first; when any row has an error, nothing is\n"
        "                   imported, every error is listed and the exit status is 1.\n"
        "                   Entries already there (same age class, name, first name and\n"
        "                   year; teams: name and Zusatz) are updated, not added twice.\n"
        "  --skip-errors    with an entry form: import the good rows, list the others\n"
        "  --format text    semicolon-separated lines after a header line\n"
        "  --format binary  96-byte participant records of the older program\n"
        "  default: entries for a workbook or a text file with the form's header, text\n"
        "                   for INPUT ending in .TXT or .CSV (any case), else binary\n"
        "  --charset utf8|win|dos  the text file's character set: UTF-8, Windows\n"
        "                   1252 or code page 850; default: UTF-8 when the file is\n"
        "                   valid UTF-8, else 1252 or 850 by its German letters",
        {"--format", "--charset", "-o"},
        {"--skip-errors"},
        2,
        2};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    const std::string& input = a.positional[1];
    TLoadFormat format =
        IsTextName(input) ? TLoadFormat::TeilnehmerText : TLoadFormat::TeilnehmerBinaer;
    bool entries = !a.Has("--format") && IsEntryForm(input);
    if (a.Has("--format")) {
        const std::string f = a.Get("--format");
        if (f == "entries")
            entries = true;
        else if (f == "text")
            format = TLoadFormat::TeilnehmerText;
        else if (f == "binary")
            format = TLoadFormat::TeilnehmerBinaer;
        else
            return UsageError(cmd, "unknown format " + f);
    }
    std::optional<TTextEncoding> encoding;
    if (a.Has("--charset")) {
        static const std::map<std::string, TTextEncoding> charsets = {
            {"utf8", TTextEncoding::Utf8},
            {"win", TTextEncoding::Windows},
            {"dos", TTextEncoding::Dos}};
        const auto cs = charsets.find(a.Get("--charset"));
        if (cs == charsets.end()) return UsageError(cmd, "--charset takes utf8, win or dos");
        if (format != TLoadFormat::TeilnehmerText)
            return UsageError(cmd, "--charset applies to text files only");
        encoding = cs->second;
    }
    if (entries && a.Has("--charset"))
        return UsageError(cmd, "--charset applies to text files only");
    if (!entries && a.Has("--skip-errors"))
        return UsageError(cmd, "--skip-errors applies to entry forms only");
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    if (entries) {
        std::string summary;
        if (const int status = ImportEntryForm(*c, input, a.Has("--skip-errors"), summary))
            return status;
        if (const int status = SaveCompetition(*c, a.positional[0], a)) return status;
        Summary(summary);
        return 0;
    }
    const TOperationBefore before = Before(*c);
    if (!ReportingFailure(input, "nicht importiert", [&] {
            return encoding ? ImportTextFile(input, *c, encoding) : LoadInto(input, *c, format);
        }))
        return 1;
    if (const int status = SaveCompetition(*c, a.positional[0], a)) return status;
    Summary(ImportSummary(*c, before));
    return 0;
}

} // namespace vm::cli
