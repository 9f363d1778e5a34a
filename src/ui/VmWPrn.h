// The print dialog: which list, its options and the general ones, the margins and the
// printer; it builds the list afresh before every output and sends it to the printer,
// to the preview or to a PDF file. And the margins form.
#pragma once

#include "file/VmSaveOptions.h"
#include "print/VmReport.h"
#include "print/VmUrkunde.h"
#include "ui/BvPrinter.h"
#include "ui/VmWkDlg.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>

class QAbstractButton;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTabWidget;

namespace vm::ui {

class TBvFloatEdit;

// Opens a written PDF with the desktop's viewer; false when no program could. The GUI
// suites put their own in place; an empty one restores the desktop's.
using TPdfOpener = std::function<bool(const QString& file)>;
void SetPdfOpener(TPdfOpener opener);
bool OpenPdf(const QString& file);

// Widths of texts by the metrics of the PDF's fonts, to which the screen and printer
// faces are metric-compatible: certificates shrink their fields by it.
TTextMeasure PdfTextMeasure();

// The key under which the calibration shift of a printer is remembered.
QString CalibrationKey(const QString& printerName);

class TDruckenDlg : public TDataDlg {
    Q_OBJECT
public:
    explicit TDruckenDlg(QWidget* parent = nullptr);
    ~TDruckenDlg() override;

    // The job on the competition (not owned) and its selected age class, with the
    // marked participant range and the current participant (0-based rows). Before each
    // build the dialog brings the Gliederung rows the list prints up to date; the
    // build itself only reads the competition.
    void Attach(TWettkampf* competition, int selectedAgeClass, int lastMarked, int firstMarked,
                int current);
    bool Attached() const { return attached_; }
    // The PDF information the PDF button starts from and keeps what was confirmed
    // (not owned; the main window's). Without it the dialog keeps a record of its own.
    void UsePdfInfo(TPdfInfo& info) { pdfInfo_ = &info; }
    const TPdfInfo& PdfInfo() const { return *pdfInfo_; }

    // 0 result list, 1 qualification list, 2 heat list, 3 HLW start list, 4 statistics,
    // 5 certificates.
    int ListKind() const;
    void SetListKind(int kind);
    // The options of the chosen list and the general ones, as the controls show them.
    TPrintOptions Options() const;

    TVmPrintJob& Job() { return job_; }
    // The page size of the last build.
    std::int32_t BuiltWidth() const { return builtWidth_; }
    std::int32_t BuiltHeight() const { return builtHeight_; }
    int BuildCount() const { return builds_; }

    // Builds the chosen list with the current options on the printer's paper; false
    // when nothing was built (not attached, or the printer refused to tell, a faulty
    // certificate template, or no certificate to print).
    bool Build();

    // The certificates page: who gets one, and how they look (the calibration shift of
    // the current printer included). False with a message when the template is faulty.
    TUrkAuswahl CertificateSelection() const;
    bool CertificateOptions(TUrkOptions& options, TUrkVorlage& vorlage);
    // The template file chosen on the certificates page (empty: a built-in layout).
    QString TemplateFile() const;
    void SetTemplateFile(const QString& file);
    // The calibration shift shown for the current printer, in tenths of a millimetre;
    // changing it stores it for that printer.
    std::int32_t ShiftX() const;
    std::int32_t ShiftY() const;
    void SetShift(std::int32_t x, std::int32_t y);

    // What the main window's status line is to say after the dialog (empty: nothing),
    // e.g. where a PDF was written that no program could open.
    const QString& StatusText() const { return statusText_; }
    // The number of findings of the data checks on the document: printing a result list
    // asks first while there are any.
    void OfferChecks(std::size_t findings) { findings_ = findings; }
    // The user chose to look at the data checks' findings instead of printing the
    // result list: the main window opens "Daten prüfen...".
    bool ChecksWanted() const { return checksWanted_; }

    // The buttons.
    void CmdOk();
    void CmdPreview();
    void CmdPrinterSetup();
    void CmdPageSetup();
    void CmdPdf();
    // "Urkundenvorlage bearbeiten...": the template editor on the chosen template or
    // layout; a saved template becomes the chosen one.
    void CmdEditTemplate();
    void CmdChooseTemplate();

    QTabWidget* Tabs() const { return tabs_; }
    QStackedWidget* OptionPages() const { return pages_; }

private:
    // Before a result list goes to the printer or into a PDF: when the data checks find
    // something, asks whether to print all the same.
    bool ConfirmChecks();
    QWidget* BuildSelectionTab();
    QWidget* BuildOptionsTab();
    QWidget* BuildCertificatesPage();
    void FillAgeClasses();
    void LoadShift();
    void StoreShift();
    QCheckBox* AddCheck(QWidget* parent, const QString& text, bool on);

    TVmPrintJob job_;
    TWettkampf* competition_ = nullptr;
    bool attached_ = false;
    TPdfInfo ownPdfInfo_ = TPdfInfo::Defaults();
    TPdfInfo* pdfInfo_ = &ownPdfInfo_;
    std::int32_t builtWidth_ = 2100;
    std::int32_t builtHeight_ = 2970;
    int builds_ = 0;
    QString statusText_;
    bool checksWanted_ = false;
    std::size_t findings_ = 0;
    bool loadingShift_ = false;
    TUrkVorlage vorlage_;

    QTabWidget* tabs_;
    TRadioGroup* lists_;
    QStackedWidget* pages_;
    // Result list.
    QCheckBox* resAll_;
    QCheckBox* resData_;
    QCheckBox* resNewPage_;
    QCheckBox* resRecords_;
    QCheckBox* resTwoLines_;
    QCheckBox* resMedals_;
    // Qualification list.
    QCheckBox* qualAll_;
    QCheckBox* qualData_;
    QCheckBox* qualNewPage_;
    QCheckBox* qualGliederungen_;
    // Heat list.
    QCheckBox* heatGliederungen_;
    QCheckBox* heatAllDisciplines_;
    // Statistics.
    TRadioGroup* stats_;
    // Certificates.
    TRadioGroup* certWho_;
    TSpinEdit* certPlaces_;
    QListWidget* certClasses_;
    TRadioGroup* certLayout_;
    QLineEdit* certTemplate_;
    QCheckBox* certPreprinted_;
    QLabel* certPrinter_;
    QDoubleSpinBox* certShiftX_;
    QDoubleSpinBox* certShiftY_;
    // General.
    QCheckBox* head_;
    QCheckBox* legend_;
    QCheckBox* footer_;
    QCheckBox* emptyLines_;
};

// "Seitenränder einstellen": the four margins in millimetres.
class TRaenderDlg : public TDataDlg {
    Q_OBJECT
public:
    TRaenderDlg(QWidget* parent, const TMargins& margins);
    // On OK the margins (tenths of a millimetre) take the entered values.
    static bool Open(QWidget* parent, TMargins& margins);
    TMargins Margins() const;

private:
    std::array<TBvFloatEdit*, 4> edits_{};
};

} // namespace vm::ui
