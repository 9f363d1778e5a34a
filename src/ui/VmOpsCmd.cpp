#include "ui/VmOpsCmd.h"

#include "file/VmErg.h"
#include "operations/VmMerge.h"
#include "output/VmPdfExport.h"
#include "ui/VmHinzuDlg.h"
#include "ui/VmMain.h"
#include "ui/VmMeldDlg.h"
#include "ui/VmOpsDlg.h"
#include "ui/VmOptDlg.h"
#include "ui/VmUiSeam.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace vm::ui {

namespace {

std::string LocalName(const QString& fileName) {
    return QFile::encodeName(fileName).toStdString();
}

long ParticipantCount(const TWettkampf& c) {
    long n = 0;
    for (const TAltersklasse& ac : c)
        n += ac.Count();
    return n;
}

// Under "Alle Dateien" a ".TXT" or ".CSV" file is text, anything else a file of
// participant records of the older program.
bool IsTextFile(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix();
    return suffix.compare(QLatin1String("TXT"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QLatin1String("CSV"), Qt::CaseInsensitive) == 0;
}

// The import dialog's entries, 1 the first.
enum : int { kFilterErgebnis = 1, kFilterText = 2, kFilterMeldebogen = 3, kFilterAlle = 4 };

// Under "Meldebogen" the file is an entry form; under "Alle Dateien" a workbook or a
// text file with the form's header is one too.
bool IsMeldebogen(int filterIndex, const QString& fileName) {
    if (filterIndex == kFilterMeldebogen) return true;
    if (filterIndex != kFilterAlle) return false;
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(4096);
    return head.startsWith(QByteArrayLiteral("PK\x03\x04")) ||
           LooksLikeEntryCsv(std::string_view(head.constData(), static_cast<std::size_t>(head.size())));
}

// The participant import for the import dialog's filter entry and the chosen file;
// none under "Ergebnisdateien", where the file is merged instead.
std::optional<TLoadFormat> ImportFormatOfFilter(int filterIndex, const QString& fileName) {
    if (filterIndex == kFilterErgebnis) return std::nullopt;
    return filterIndex == kFilterText || IsTextFile(fileName) ? TLoadFormat::TeilnehmerText
                                                    : TLoadFormat::TeilnehmerBinaer;
}

// An operation on the whole competition: its dialog with the preset, then the run
// through the gate. Cancel changes nothing.
template <class Dlg, class Preset, class Run>
void Operate(TMainForm& form, Preset preset, Run run) {
    TVmFile* doc = form.Document();
    if (!doc) return;
    TWettkampf& c = doc->Competition();
    auto settings = preset(c);
    if (!Dlg::Open(&form, settings)) return;
    form.RunCommand([&] {
        run(c, settings);
        return true;
    });
}

} // namespace

void CmdQualifikation(TMainForm& form) {
    Operate<TQualifikationDlg>(form, DefaultQualiSettings, QualifyCompetition);
}

void CmdLaufbesetzung(TMainForm& form) {
    Operate<TLaufbesetzungDlg>(
        form, [](const TWettkampf&) { return THeatSettings{}; }, AssignHeats);
}

void CmdHLWLaufbesetzung(TMainForm& form) {
    Operate<THLWLaufbesetzungDlg>(form, DefaultHLWSettings, AssignHLW);
}

void CmdZuruecksetzen(TMainForm& form) {
    Operate<TZuruecksetzenDlg>(
        form, [](const TWettkampf&) { return TResetSet{0}; }, ResetCompetition);
}

void CmdStreichen(TMainForm& form) {
    Operate<TStreichenDlg>(
        form, [](const TWettkampf&) { return int{skMarkAbsent}; }, StrikeCompetition);
}

void CmdImportieren(TMainForm& form) {
    TVmFile* doc = form.Document();
    if (!doc) return;
    TFileRequest req;
    req.caption = QStringLiteral("Datei importieren");
    req.filter = QStringLiteral(
        "Ergebnisdateien (*.ERG);;Textdateien (*.TXT);;Meldebogen (*.XLSX);;Alle Dateien (*)");
    req.defaultSuffix = QStringLiteral("ERG");
    req.filterIndex = 1;
    req.mustExist = true;
    const QString name = AskFileName(&form, req);
    if (name.isEmpty()) return;
    const std::string file = LocalName(name);
    TWettkampf& c = doc->Competition();
    if (IsMeldebogen(req.filterIndex, name)) {
        ImportMeldebogen(form, file);
    } else if (const std::optional<TLoadFormat> format = ImportFormatOfFilter(req.filterIndex, name)) {
        form.RunCommand([&] {
            const long before = ParticipantCount(c);
            LoadInto(file, c, *format);
            return ParticipantCount(c) != before;
        });
    } else {
        TMergeSettings s;
        if (!THinzufuegenDlg::Open(&form, s)) return;
        // A file that cannot be loaded or a refused merge has changed nothing and
        // leaves the modified flag as it was.
        form.RunCommand([&] { return MergeFile(c, file, s); });
    }
    form.SelectAgeClass(0);
}

bool SaveAsWithOptions(TMainForm& form, const QString& fileName, TFileType fileType) {
    TVmFile* doc = form.Document();
    if (!doc) return false;
    // The text and HTML dialogs start at their defaults every time; the PDF information
    // is the window's, kept from one export to the next.
    TSaveOptions options;
    bool loadPdf = false;
    switch (fileType) {
    case TFileType::Text:
        if (!TOptTXTDlg::Open(&form, options.Text)) return false;
        break;
    case TFileType::Html:
        if (!TOptHTMLDlg::Open(&form, options.Html)) return false;
        break;
    case TFileType::Pdf:
        FillPdfInfo(form.PdfInfo(), doc->Competition());
        if (!TOptPDFDlg::Open(&form, form.PdfInfo(), &loadPdf)) return false;
        options.Pdf = form.PdfInfo();
        break;
    default:
        break;
    }
    bool ok = false;
    form.RunCommand([&] {
        ok = doc->SaveAs(LocalName(fileName), fileType, options);
        return false;
    });
    if (ok && loadPdf) TOptPDFDlg::LoadPdf(fileName);
    return ok;
}

} // namespace vm::ui
