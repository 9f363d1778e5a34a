#include "cli/CmdCore.h"

#include "cli/CliSupport.h"
#include "file/VmWFile.h"
#include "io/VmHtmlExport.h"
#include "io/VmTxtExport.h"
#include "output/VmPdfExport.h"

#include <filesystem>
#include <map>
#include <optional>

namespace vm::cli {

namespace {

// Which --type each option belongs to.
const std::map<std::string, std::set<std::string>>& OptionTypes() {
    static const std::map<std::string, std::set<std::string>> types = {
        {"--charset", {"csv"}},
        {"--separator", {"csv"}},
        {"--quote-char", {"csv"}},
        {"--no-quotes", {"csv"}},
        {"--no-header", {"csv"}},
        {"--non-starters", {"csv"}},
        {"--no-disciplines", {"csv", "htm"}},
        {"--text-form", {"htm"}},
        {"--no-links", {"htm"}},
        {"--heat-lane", {"htm"}},
        {"--background-colour", {"htm"}},
        {"--background-picture", {"htm"}},
    };
    return types;
}

// The type an extension of OUT stands for, any case; empty when it stands for none.
std::string TypeFromExtension(const std::string& out) {
    static const std::map<std::string, std::string> types = {
        {".ERG", "erg"}, {".CSV", "csv"}, {".HTM", "htm"},   {".HTML", "htm"},
        {".DBF", "dbf"}, {".XLS", "xls"}, {".XLSX", "xlsx"}, {".PDF", "pdf"}};
    auto it = types.find(UpperText(std::filesystem::path(out).extension().string()));
    return it == types.end() ? std::string() : it->second;
}

// The file type a --type value names; none for an unknown one.
std::optional<TFileType> FileTypeFromName(const std::string& type) {
    static const std::map<std::string, TFileType> types = {
        {"erg", TFileType::Ergebnis}, {"copy", TFileType::Kopie}, {"csv", TFileType::Text},
        {"htm", TFileType::Html},     {"dbf", TFileType::Dbf},    {"xls", TFileType::Xls},
        {"xlsx", TFileType::Xlsx},    {"pdf", TFileType::Pdf}};
    auto it = types.find(type);
    if (it == types.end()) return std::nullopt;
    return it->second;
}

} // namespace

int CmdSaveAs(const std::vector<std::string>& args) {
    TCommandSpec cmd{
        "save-as FILE OUT [--type erg|copy|csv|htm|dbf|xls|xlsx|pdf] [options]",
        "Saves the competition under another name or file type. Without --type the type\n"
        "follows the extension of OUT, in any case: .ERG erg, .CSV csv, .HTM or .HTML htm,\n"
        ".DBF dbf, .XLS xls, .XLSX xlsx, .PDF pdf.\n"
        "  erg   result file (the saved file becomes the document)\n"
        "  copy  result file written as a copy\n"
        "  csv   delimited text, one line per participant or team (lines end LF CR)\n"
        "  htm   HTML page with the results of every age class\n"
        "  dbf   dBase III table, one record per participant or team\n"
        "  xls   Excel worksheet (BIFF3), one row per participant or team\n"
        "  xlsx  Excel workbook: a sheet with every participant or team, then one sheet\n"
        "        per age class; numbers as number cells\n"
        "  pdf   the result list as PDF\n"
        "Text export (csv), defaults as in the dialog:\n"
        "  --charset dos|win|utf8 dos: code page 850 as stored; win: Windows 1252 (default);\n"
        "                         utf8: UTF-8 with a byte-order mark\n"
        "  --separator S          one character, {TAB} or {LEER} (blank); default ;\n"
        "  --quote-char C         one character enclosing every value; default \"\n"
        "  --no-quotes            values without the enclosing character\n"
        "  --no-header            no line with the column names\n"
        "  --no-disciplines       without the results of the disciplines\n"
        "  --non-starters         include participants that did not start\n"
        "HTML export (htm):\n"
        "  --text-form            result-list lines instead of tables\n"
        "  --no-links             no links to the age classes\n"
        "  --no-disciplines       without the results of the disciplines\n"
        "  --heat-lane            heat and lane columns in the tables\n"
        "  --background-colour C  Voreinstellung, schwarz, weiß, rot, grün, blau, "
        "gelb,\n"
        "                         magenta or cyan (weiss, gruen also accepted)\n"
        "  --background-picture F picture file shown behind the page",
        {"--type", "--charset", "--separator", "--quote-char", "--background-colour",
         "--background-picture"},
        {"--no-quotes", "--no-header", "--no-disciplines", "--non-starters", "--text-form",
         "--no-links", "--heat-lane"},
        2,
        2};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;

    const std::string type = a.Has("--type") ? a.Get("--type") : TypeFromExtension(a.positional[1]);
    if (type.empty())
        return UsageError(cmd, "the extension of " + a.positional[1] +
                                   " names no type; give --type "
                                   "erg|copy|csv|htm|dbf|xls|xlsx|pdf");
    const std::optional<TFileType> fileType = FileTypeFromName(type);
    if (!fileType) return UsageError(cmd, "unknown type " + type);
    for (const auto& [option, types] : OptionTypes())
        if (a.Has(option) && !types.count(type))
            return UsageError(cmd, "option " + option + " does not apply to --type " + type);

    if (ExportWouldOverwriteResult(a.positional[1], *fileType))
        return UsageError(cmd, a.positional[1] +
                                   " is a result file; an export never writes over one, "
                                   "choose another name");

    TSaveOptions options;
    TTextExportOptions& text = options.Text;
    if (a.Has("--charset")) {
        const std::string cs = a.Get("--charset");
        if (cs == "dos")
            text.Charset = TTextExportOptions::csDos;
        else if (cs == "win")
            text.Charset = TTextExportOptions::csWindows;
        else if (cs == "utf8")
            text.Charset = TTextExportOptions::csUtf8;
        else
            return UsageError(cmd, "--charset takes dos, win or utf8");
    }
    if (a.Has("--separator")) {
        const std::string sep = a.Get("--separator");
        if (sep.size() != 1 && sep != "{TAB}" && sep != "{LEER}")
            return UsageError(cmd, "--separator takes one character, {TAB} or {LEER}");
        text.Separator = SeparatorFromText(sep);
    }
    if (a.Has("--quote-char")) {
        const std::string q = a.Get("--quote-char");
        if (q.size() != 1) return UsageError(cmd, "--quote-char takes one character");
        text.QuoteChar = q[0];
    }
    text.QuoteFields = !a.Has("--no-quotes");
    text.WithHeader = !a.Has("--no-header");
    text.WithDisciplines = !a.Has("--no-disciplines");
    text.WithNonStarters = a.Has("--non-starters");

    THtmlExportOptions& html = options.Html;
    html.TableForm = !a.Has("--text-form");
    html.AgeClassLinks = !a.Has("--no-links");
    html.WithDisciplines = !a.Has("--no-disciplines");
    html.WithHeatLane = a.Has("--heat-lane");
    if (a.Has("--background-colour")) {
        const std::string colour = a.Get("--background-colour");
        bool known = colour == "weiss" || colour == "gruen";
        for (const std::string& e : HtmlColourEntries())
            known = known || e == colour;
        if (!known) return UsageError(cmd, "unknown background colour " + colour);
        html.BackgroundColour = colour;
    }
    if (a.Has("--background-picture")) {
        html.BackgroundPicture = a.Get("--background-picture");
        if (html.BackgroundPicture.empty())
            return UsageError(cmd, "--background-picture needs a file name");
    }

    TVmFile doc;
    if (!OpenDocument(doc, a.positional[0])) return 1;
    // The options step of the PDF export, as the desktop runs it before its dialog.
    if (*fileType == TFileType::Pdf) FillPdfInfo(options.Pdf, doc.Competition());
    return SaveDocumentAs(doc, a.positional[1], *fileType, options) ? 0 : 1;
}

} // namespace vm::cli
