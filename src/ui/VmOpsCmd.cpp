#include "ui/VmOpsCmd.h"

#include "file/VmErg.h"
#include "io/VmExport.h"
#include "io/VmImport.h"
#include "operations/VmMerge.h"
#include "output/VmPdfExport.h"
#include "ui/VmHinzuDlg.h"
#include "ui/VmMain.h"
#include "ui/VmOpsDlg.h"
#include "ui/VmOptDlg.h"
#include "ui/VmUiSeam.h"

#include <QFile>
#include <QFileInfo>

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
    req.filter = QStringLiteral("Ergebnisdateien (*.ERG);;Textdateien (*.TXT);;Alle Dateien (*)");
    req.defaultSuffix = QStringLiteral("ERG");
    req.filterIndex = 1;
    req.mustExist = true;
    const QString name = AskFileName(&form, req);
    if (name.isEmpty()) return;
    // The participant imports and the readers of older result files; installing them
    // again is harmless.
    InstallImporters();
    const std::string file = LocalName(name);
    TWettkampf& c = doc->Competition();
    if (req.filterIndex == 1) {
        TMergeSettings s;
        if (!THinzufuegenDlg::Open(&form, s)) return;
        // A file that cannot be loaded or a refused merge has changed nothing and
        // leaves the modified flag as it was.
        form.RunCommand([&] { return MergeFile(c, file, s); });
    } else {
        const int format = req.filterIndex == 2 || IsTextFile(name) ? LoadFormatTextImport
                                                                    : LoadFormatBinaryImport;
        form.RunCommand([&] {
            const long before = ParticipantCount(c);
            LoadInto(file, c, format);
            return ParticipantCount(c) != before;
        });
    }
    form.SelectAgeClass(0);
}

bool SaveAsWithOptions(TMainForm& form, const QString& fileName, int fileType) {
    TVmFile* doc = form.Document();
    if (!doc) return false;
    TTextExportOptions text;
    THtmlExportOptions html;
    bool loadPdf = false;
    switch (fileType) {
    case ftText:
        if (!TOptTXTDlg::Open(&form, text)) return false;
        break;
    case ftHtml:
        if (!TOptHTMLDlg::Open(&form, html)) return false;
        break;
    case ftPdf:
        FillPdfInfo(PdfInfo(), doc->Competition());
        if (!TOptPDFDlg::Open(&form, PdfInfo(), &loadPdf)) return false;
        break;
    default:
        break;
    }
    bool ok = false;
    form.RunCommand([&] {
        InstallExportWriters(text, html);
        // The record already holds what the user confirmed in the options dialog.
        SetExportWriter(
            12, [](TStream& s, TWettkampf& c) { return WriteResultListPdf(s, c, PdfInfo()); });
        ok = doc->SaveAs(LocalName(fileName), fileType);
        return false;
    });
    if (ok && loadPdf) TOptPDFDlg::LoadPdf(fileName);
    return ok;
}

} // namespace vm::ui
