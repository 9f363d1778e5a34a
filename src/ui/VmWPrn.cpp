#include "ui/VmWPrn.h"

#include "model/VmBasis.h"
#include "output/PdfDevice.h"
#include "output/VmPdfExport.h"
#include "ui/BvPrev.h"
#include "ui/BvValEdit.h"
#include "ui/VmOptDlg.h"
#include "ui/VmUiSeam.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace vm::ui {

TDruckenDlg::TDruckenDlg(QWidget* parent) : TDataDlg(parent) {
    setObjectName(QStringLiteral("DruckenDlg"));
    setWindowTitle(QStringLiteral("Drucken"));
    auto* main = new QHBoxLayout(this);

    tabs_ = new QTabWidget(this);
    tabs_->addTab(BuildSelectionTab(), QStringLiteral("Auswahl"));
    tabs_->addTab(BuildOptionsTab(), QStringLiteral("Optionen"));
    main->addWidget(tabs_, 1);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    auto* cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    auto* view = buttons->addButton(QStringLiteral("Ansicht"), QDialogButtonBox::ActionRole);
    auto* pdf = buttons->addButton(QStringLiteral("PDF..."), QDialogButtonBox::ActionRole);
    auto* printer = buttons->addButton(QStringLiteral("&Drucker..."), QDialogButtonBox::ActionRole);
    auto* setup =
        buttons->addButton(QStringLiteral("&einrichten..."), QDialogButtonBox::ActionRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    view->setObjectName(QStringLiteral("AnsichtBtn"));
    pdf->setObjectName(QStringLiteral("PdfBtn"));
    printer->setObjectName(QStringLiteral("DruckerBtn"));
    setup->setObjectName(QStringLiteral("EinrichtenBtn"));
    SetHint(view, QStringLiteral("Seitenansicht des Ausdrucks anzeigen"));
    SetHint(pdf, QStringLiteral("PDF erzeugen"));
    ok->setDefault(true);
    MarkCancelButton(cancel);
    main->addWidget(buttons);

    connect(ok, &QPushButton::clicked, this, &TDruckenDlg::CmdOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(view, &QPushButton::clicked, this, &TDruckenDlg::CmdPreview);
    connect(pdf, &QPushButton::clicked, this, &TDruckenDlg::CmdPdf);
    connect(printer, &QPushButton::clicked, this, &TDruckenDlg::CmdPrinterSetup);
    connect(setup, &QPushButton::clicked, this, &TDruckenDlg::CmdPageSetup);
    connect(lists_, &TRadioGroup::indexChanged, pages_, &QStackedWidget::setCurrentIndex);
}

TDruckenDlg::~TDruckenDlg() = default;

QCheckBox* TDruckenDlg::AddCheck(QWidget* parent, const QString& text, bool on) {
    auto* c = new QCheckBox(text, parent);
    c->setChecked(on);
    parent->layout()->addWidget(c);
    return c;
}

QWidget* TDruckenDlg::BuildSelectionTab() {
    auto* page = new QWidget;
    auto* col = new QVBoxLayout(page);
    lists_ = new TRadioGroup(QStringLiteral("Druckauswahl"),
                             {QStringLiteral("Ergebnisliste bzw. Zwischenergebnis"),
                              QStringLiteral("Qualifikationsliste"),
                              QStringLiteral("Laufeinteilung /  Startliste"),
                              QStringLiteral("HLW-Startliste"),
                              QStringLiteral("Statistiken (Gliederungen, Medaillenspiegel, ...)")},
                             1, page);
    lists_->SetItemIndex(0);
    col->addWidget(lists_);
    col->addStretch(1);
    return page;
}

QWidget* TDruckenDlg::BuildOptionsTab() {
    auto* page = new QWidget;
    auto* col = new QVBoxLayout(page);
    pages_ = new QStackedWidget(page);
    col->addWidget(pages_);

    auto group = [this](const QString& name, const QString& title) {
        auto* p = new QWidget;
        p->setObjectName(name);
        auto* l = new QVBoxLayout(p);
        l->setContentsMargins(0, 0, 0, 0);
        auto* g = new QGroupBox(title, p);
        new QVBoxLayout(g);
        l->addWidget(g);
        l->addStretch(1);
        pages_->addWidget(p);
        return g;
    };

    QGroupBox* res = group(QStringLiteral("Ergebnis"), QStringLiteral("(Zwischen-) Ergebnis"));
    resAll_ = AddCheck(res, QStringLiteral("alle Altersklassen einbeziehen"), true);
    resData_ =
        AddCheck(res, QStringLiteral("einschließlich Altersklassendaten (Disziplinen)"), false);
    resNewPage_ =
        AddCheck(res, QStringLiteral("jede Altersklasse auf einer neuen Seite beginnen"), false);
    resRecords_ = AddCheck(res, QStringLiteral("einschließlich eventueller Rekorde"), false);
    resTwoLines_ = AddCheck(res, QStringLiteral("je Teilnehmer zwei Zeilen drucken"), false);
    resMedals_ =
        AddCheck(res, QStringLiteral("einschließlich Medaillenspiegel der Gliederungen"), false);

    QGroupBox* qual = group(QStringLiteral("Qualifikation"), QStringLiteral("Qualifikation"));
    qualAll_ = AddCheck(qual, QStringLiteral("alle Altersklassen einbeziehen"), true);
    qualData_ =
        AddCheck(qual, QStringLiteral("einschließlich Altersklassendaten (Disziplinen)"), false);
    qualNewPage_ =
        AddCheck(qual, QStringLiteral("jede Altersklasse auf einer neuen Seite beginnen"), false);
    qualGliederungen_ =
        AddCheck(qual, QStringLiteral("einschließlich teilnehmende Gliederungen"), false);

    QGroupBox* heat =
        group(QStringLiteral("Laufbesetzung"), QStringLiteral("Laufliste / Startliste"));
    heatGliederungen_ =
        AddCheck(heat, QStringLiteral("einschließlich teilnehmende Gliederungen"), false);
    heatAllDisciplines_ =
        AddCheck(heat, QStringLiteral("Lauf/Bahn für alle Disziplinen angeben"), false);

    QGroupBox* hlw = group(QStringLiteral("HLW-Startliste"), QStringLiteral("HLW-Startliste"));
    auto* none = new QLabel(
        QStringLiteral("Die HLW-Startliste hat nur die allgemeinen Einstellungen."), hlw);
    none->setEnabled(false);
    hlw->layout()->addWidget(none);

    auto* statPage = new QWidget;
    statPage->setObjectName(QStringLiteral("Gliederungen"));
    auto* statCol = new QVBoxLayout(statPage);
    statCol->setContentsMargins(0, 0, 0, 0);
    stats_ = new TRadioGroup(QStringLiteral("Statistik der Gliederungen drucken als"),
                             {QStringLiteral("Gliederungsübersicht (alphabetisch)"),
                              QStringLiteral("Medaillenspiegel"),
                              QStringLiteral("Liste der Punktbesten (Gesamtpunkte)"),
                              QStringLiteral("Kranz-Pokalwertung")},
                             1, statPage);
    stats_->SetItemIndex(0);
    statCol->addWidget(stats_);
    statCol->addStretch(1);
    pages_->addWidget(statPage);

    auto* general = new QGroupBox(QStringLiteral("allgemeine Einstellungen"), page);
    new QVBoxLayout(general);
    head_ = AddCheck(general, QStringLiteral("einschließlich Druckkopf"), true);
    legend_ = AddCheck(general, QStringLiteral("einschließlich Hinweise / Erläuterungen"), true);
    footer_ =
        AddCheck(general, QStringLiteral("einschließlich Fußzeile (Datum, Uhrzeit, Seite)"), true);
    emptyLines_ =
        AddCheck(general, QStringLiteral("Leerzeile nach jeweils 5 Zeilen einfügen"), true);
    col->addWidget(general);
    col->addStretch(1);
    return page;
}

void TDruckenDlg::Attach(TWettkampf* competition, int selectedAgeClass, int lastMarked,
                         int firstMarked, int current) {
    job_ = TVmPrintJob(competition, selectedAgeClass);
    competition_ = competition;
    job_.CertificateFirst = firstMarked;
    job_.CertificateLast = lastMarked;
    job_.CertificateCurrent = current;
    attached_ = competition != nullptr;
}

int TDruckenDlg::ListKind() const {
    return std::max(0, lists_->ItemIndex());
}

void TDruckenDlg::SetListKind(int kind) {
    if (kind >= 0 && kind < lists_->Count()) lists_->SetItemIndex(kind);
}

TPrintOptions TDruckenDlg::Options() const {
    TPrintOptions o;
    switch (ListKind()) {
    case rkErgebnis:
        o.allAgeClasses = resAll_->isChecked();
        o.ageClassData = resData_->isChecked();
        o.newPagePerAgeClass = resNewPage_->isChecked();
        o.recordMarks = resRecords_->isChecked();
        o.twoLines = resTwoLines_->isChecked();
        o.medalTable = resMedals_->isChecked();
        break;
    case rkQualifikation:
        o.allAgeClasses = qualAll_->isChecked();
        o.ageClassData = qualData_->isChecked();
        o.newPagePerAgeClass = qualNewPage_->isChecked();
        o.gliederungen = qualGliederungen_->isChecked();
        break;
    case rkLaufliste:
        o.gliederungen = heatGliederungen_->isChecked();
        o.laneAllDisciplines = heatAllDisciplines_->isChecked();
        break;
    case rkStatistik:
        o.statisticsIndex = std::max(0, stats_->ItemIndex());
        break;
    default:
        break;
    }
    o.printHead = head_->isChecked();
    o.legend = legend_->isChecked();
    o.footer = footer_->isChecked();
    o.emptyLineAfter5 = emptyLines_->isChecked();
    return o;
}

bool TDruckenDlg::Build() {
    if (!attached_ || !competition_) return false;
    TPageSize size;
    try {
        size = PrintPageSize(TBvPrinterInfos());
    } catch (const TPrinterError& e) {
        ShowBox(this, TBoxKind::Error, QString::fromUtf8(e.what()));
        return false;
    }
    TBusyGuard busy;
    job_.PageWidth = size.width;
    job_.PageHeight = size.height;
    builtWidth_ = size.width;
    builtHeight_ = size.height;
    const TPrintOptions o = Options();
    RefreshForBuild(*competition_, ListKind(), o);
    job_.Build(ListKind(), o);
    ++builds_;
    return true;
}

void TDruckenDlg::CmdOk() {
    if (!Build()) return;
    const TVmReport& report = *job_.Report();
    if (PrintDocument(this, report, 1, 0, true, report.PageCount())) accept();
}

void TDruckenDlg::CmdPreview() {
    if (!Build()) return;
    if (TPreviewForm::ShowPreview(this, job_.Report(), builtWidth_, builtHeight_) ==
        TPreviewForm::PrintResult)
        CmdOk();
}

void TDruckenDlg::CmdPrinterSetup() {
    ExecPrinterSetupDialog(this, CurrentPrinter());
}

void TDruckenDlg::CmdPageSetup() {
    TMargins m{job_.MarginLeft, job_.MarginTop, job_.MarginRight, job_.MarginBottom};
    if (!PageSetupMargins(this, CurrentPrinter(), m)) return;
    job_.MarginLeft = m.left;
    job_.MarginTop = m.top;
    job_.MarginRight = m.right;
    job_.MarginBottom = m.bottom;
}

void TDruckenDlg::CmdPdf() {
    if (!Build()) return;
    TFileRequest req;
    req.save = true;
    req.caption = QStringLiteral("PDF-Datei speichern");
    req.filter = QStringLiteral("PDF Datei (*.PDF *.pdf);;Alle Dateien (*)");
    req.defaultSuffix = QStringLiteral("PDF");
    const QString name = AskFileName(this, req);
    if (name.isEmpty()) return;
    FillPdfInfo(*pdfInfo_, *job_.Competition);
    bool load = true;
    if (!TOptPDFDlg::Open(this, *pdfInfo_, &load)) return;
    // A file that cannot be written has said so through the message routine and left
    // whatever stood under the name.
    if (!ExportDocumentToPdf(*job_.Report(), QFile::encodeName(name).toStdString(), builtWidth_,
                             builtHeight_, *pdfInfo_))
        return;
    if (load) TOptPDFDlg::LoadPdf(name);
}

// ---- margins -------------------------------------------------------------------------------

TRaenderDlg::TRaenderDlg(QWidget* parent, const TMargins& margins) : TDataDlg(parent) {
    setObjectName(QStringLiteral("RaenderDlg"));
    setWindowTitle(QStringLiteral("Seitenränder einstellen"));
    auto* main = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Seitenränder in mm"), this);
    auto* form = new QFormLayout(group);
    const std::array<QString, 4> labels = {QStringLiteral("&links"), QStringLiteral("&oben"),
                                           QStringLiteral("&rechts"), QStringLiteral("&unten")};
    const std::array<std::int32_t, 4> values = {margins.left, margins.top, margins.right,
                                                margins.bottom};
    for (std::size_t i = 0; i < 4; ++i) {
        edits_[i] = new TBvFloatEdit(0.0, 100.0, 4, 1, group);
        edits_[i]->SetValue(values[i] / 10.0);
        auto* label = new QLabel(labels[i], group);
        label->setBuddy(edits_[i]);
        form->addRow(label, edits_[i]);
    }
    main->addWidget(group);
    AddOkCancel(*this, *main);
}

TMargins TRaenderDlg::Margins() const {
    auto tenths = [](const TBvFloatEdit* e) {
        return static_cast<std::int32_t>(std::lround(e->Value() * 10.0));
    };
    return {tenths(edits_[0]), tenths(edits_[1]), tenths(edits_[2]), tenths(edits_[3])};
}

bool TRaenderDlg::Open(QWidget* parent, TMargins& margins) {
    TRaenderDlg dlg(parent, margins);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    margins = dlg.Margins();
    return true;
}

} // namespace vm::ui
