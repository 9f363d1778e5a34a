#include "ui/VmOpsCmd.h"

#include "file/VmErg.h"
#include "model/VmGlied.h"
#include "operations/VmMerge.h"
#include "output/VmPdfExport.h"
#include "ui/VmDlgKit.h"
#include "ui/VmGliedDlg.h"
#include "ui/VmHinzuDlg.h"
#include "ui/VmMain.h"
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

// The participant import for the import dialog's filter entry (1 the first) and the
// chosen file; none under "Ergebnisdateien", where the file is merged instead.
std::optional<TLoadFormat> ImportFormatOfFilter(int filterIndex, const QString& fileName) {
    if (filterIndex == 1) return std::nullopt;
    return filterIndex == 2 || IsTextFile(fileName) ? TLoadFormat::TeilnehmerText
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
    req.filter = QStringLiteral("Ergebnisdateien (*.ERG);;Textdateien (*.TXT);;Alle Dateien (*)");
    req.defaultSuffix = QStringLiteral("ERG");
    req.filterIndex = 1;
    req.mustExist = true;
    const QString name = AskFileName(&form, req);
    if (name.isEmpty()) return;
    const std::string file = LocalName(name);
    TWettkampf& c = doc->Competition();
    if (const std::optional<TLoadFormat> format = ImportFormatOfFilter(req.filterIndex, name)) {
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

void CmdGliederungen(TMainForm& form) {
    TVmFile* doc = form.Document();
    if (!doc) return;
    std::unique_ptr<TWettkampf> copy;
    {
        TBusyGuard busy;
        // The list of the Gliederungen is brought up to date with the participants
        // before the copy is taken.
        ComputeStatistics(doc->Competition(), smMedaillen);
        copy = CopyCompetition(doc->Competition());
    }
    TGliederungenDlg dlg(&form, std::move(copy));
    if (ExecDialog(dlg) != QDialog::Accepted) return;
    form.RunCommand([&] {
        doc->SetCompetition(dlg.TakeCopy());
        return true;
    });
}

} // namespace vm::ui
