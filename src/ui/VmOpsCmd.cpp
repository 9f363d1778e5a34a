#include "ui/VmOpsCmd.h"

#include "file/VmErg.h"
#include "model/VmGlied.h"
#include "operations/VmMerge.h"
#include "operations/VmSummary.h"
#include "output/VmPdfExport.h"
#include "ui/VmDlgKit.h"
#include "ui/VmGliedDlg.h"
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

// After an operation on the whole competition the status line says what it did, and
// how to take it back.
void Report(TMainForm& form, bool changed, const std::string& summary) {
    form.ShowStatus(changed ? QString::fromStdString(summary) + QStringLiteral(" – Rückgängig mit Strg+Z")
                            : QString::fromStdString(summary));
}

// An operation on the whole competition: its dialog with the preset, then the run
// through the gate. Cancel changes nothing.
template <class Dlg, class Preset, class Run, class Say>
void Operate(TMainForm& form, const QString& label, Preset preset, Run run, Say say) {
    const TVmFile* doc = form.Document();
    if (!doc) return;
    auto settings = preset(doc->Competition());
    if (!Dlg::Open(&form, settings)) return;
    std::string summary;
    const bool changed = form.RunCommand(
        label,
        [&](TWettkampf& c) {
            const TOperationBefore before = Before(c);
            run(c, settings);
            summary = say(c, before, settings);
        },
        TStepKind::Whole);
    Report(form, changed, summary);
}

} // namespace

void CmdQualifikation(TMainForm& form) {
    Operate<TQualifikationDlg>(
        form, QStringLiteral("Qualifikation"), DefaultQualiSettings, QualifyCompetition,
        [](const TWettkampf& c, const TOperationBefore& b, const auto&) { return QualifySummary(c, b); });
}

void CmdLaufbesetzung(TMainForm& form) {
    Operate<TLaufbesetzungDlg>(
        form, QStringLiteral("Laufbesetzung"), [](const TWettkampf&) { return THeatSettings{}; },
        AssignHeats, [](const TWettkampf& c, const TOperationBefore&, const auto&) { return HeatsSummary(c); });
}

void CmdHLWLaufbesetzung(TMainForm& form) {
    Operate<THLWLaufbesetzungDlg>(
        form, QStringLiteral("HLW Laufeinteilung"), DefaultHLWSettings, AssignHLW,
        [](const TWettkampf& c, const TOperationBefore&, const auto&) { return HlwSummary(c); });
}

void CmdZuruecksetzen(TMainForm& form) {
    Operate<TZuruecksetzenDlg>(
        form, QStringLiteral("Zurücksetzen"), [](const TWettkampf&) { return TResetSet{0}; },
        ResetCompetition,
        [](const TWettkampf& c, const TOperationBefore& b, const auto&) { return ResetSummary(c, b); });
}

void CmdStreichen(TMainForm& form) {
    Operate<TStreichenDlg>(
        form, QStringLiteral("Streichen"), [](const TWettkampf&) { return int{skMarkAbsent}; },
        StrikeCompetition, [](const TWettkampf& c, const TOperationBefore& b, int mode) {
            return StrikeSummary(c, b, mode == skMarkAbsent);
        });
}

void CmdImportieren(TMainForm& form) {
    const TVmFile* doc = form.Document();
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
    std::string summary;
    bool changed = false;
    if (IsMeldebogen(req.filterIndex, name)) {
        ImportMeldebogen(form, file);
    } else if (const std::optional<TLoadFormat> format = ImportFormatOfFilter(req.filterIndex, name)) {
        changed = form.RunCommand(
            QStringLiteral("Importieren"),
            [&](TWettkampf& c) {
                const TOperationBefore before = Before(c);
                if (LoadInto(file, c, *format)) summary = ImportSummary(c, before);
            },
            TStepKind::Whole);
    } else {
        TMergeSettings s;
        if (!THinzufuegenDlg::Open(&form, s)) return;
        // A file that cannot be loaded or a refused merge has changed nothing and
        // leaves the modified flag as it was.
        changed = form.RunCommand(
            QStringLiteral("Zusammenführen"),
            [&](TWettkampf& c) {
                const TOperationBefore before = Before(c);
                if (MergeFile(c, file, s)) summary = MergeSummary(c, before);
            },
            TStepKind::Whole);
    }
    form.SelectAgeClass(0);
    if (!summary.empty()) Report(form, changed, summary);
}

bool SaveAsWithOptions(TMainForm& form, const QString& fileName, TFileType fileType) {
    const TVmFile* doc = form.Document();
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
    const bool ok = form.SaveDocumentAs(fileName, fileType, options);
    if (ok && loadPdf) TOptPDFDlg::LoadPdf(fileName);
    return ok;
}

void CmdGliederungen(TMainForm& form) {
    const TVmFile* doc = form.Document();
    if (!doc) return;
    std::unique_ptr<TWettkampf> copy;
    {
        TBusyGuard busy;
        // The list of the Gliederungen is brought up to date with the participants on
        // the copy: the document itself changes only when the dialog is confirmed.
        copy = CopyCompetition(doc->Competition());
        ComputeStatistics(*copy, smMedaillen);
    }
    TGliederungenDlg dlg(&form, std::move(copy));
    if (ExecDialog(dlg) != QDialog::Accepted) return;
    std::unique_ptr<TWettkampf> edited = dlg.TakeCopy();
    // Kept in the order of the short codes, as the file keeps them: the medal order was
    // only for the dialog.
    edited->Gliederungen.SetMode(smKurz);
    form.RunReplace(QStringLiteral("Gliederungen"), std::move(edited));
}

} // namespace vm::ui
