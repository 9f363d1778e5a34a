#include "ui/VmWPrn.h"

#include "model/VmBasis.h"
#include "output/PdfDevice.h"
#include "output/VmPdfExport.h"
#include "ui/BvPrev.h"
#include "ui/BvValEdit.h"
#include "ui/VmOptDlg.h"
#include "ui/VmUiSeam.h"
#include "ui/VmUrkDlg.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

namespace vm::ui {

namespace {

TPdfOpener& Opener() {
    static TPdfOpener opener;
    return opener;
}

// The printer the calibration belongs to, as the user knows it.
QString PrinterLabel() {
    const QPrinter& p = CurrentPrinter();
    if (p.outputFormat() == QPrinter::PdfFormat && !p.outputFileName().isEmpty())
        return QStringLiteral("PDF-Datei");
    if (!PrintersInstalled() || p.printerName().isEmpty()) return QStringLiteral("kein Drucker");
    return p.printerName();
}

} // namespace

void SetPdfOpener(TPdfOpener opener) {
    Opener() = std::move(opener);
}

bool OpenPdf(const QString& file) {
    if (Opener()) return Opener()(file);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
}

TTextMeasure PdfTextMeasure() {
    return [](std::int16_t face, std::uint8_t style, std::int16_t height, std::string_view text) {
        return PdfTextWidth(PdfFontNumber(face, style), OemToAnsi(text), height, style);
    };
}

QString CalibrationKey(const QString& printerName) {
    QString name = printerName;
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return QStringLiteral("Urkunden/Kalibrierung/") + name;
}

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
                              QStringLiteral("Statistiken (Gliederungen, Medaillenspiegel, ...)"),
                              QStringLiteral("Urkunden")},
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
    pages_->addWidget(BuildCertificatesPage());

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

QWidget* TDruckenDlg::BuildCertificatesPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Urkunden"));
    auto* col = new QVBoxLayout(page);
    col->setContentsMargins(0, 0, 0, 0);

    auto* top = new QHBoxLayout;
    auto* whoCol = new QVBoxLayout;
    certWho_ = new TRadioGroup(QStringLiteral("Urkunden für"),
                               {QStringLiteral("die &Plätze 1 bis"),
                                QStringLiteral("den aktuellen &Teilnehmer"),
                                QStringLiteral("die &markierten Teilnehmer")},
                               1, page);
    certWho_->SetItemIndex(0);
    certPlaces_ = new TSpinEdit(1, 99, page);
    certPlaces_->setObjectName(QStringLiteral("UrkPlaetze"));
    certPlaces_->setValue(3);
    certPlaces_->setAccessibleName(QStringLiteral("Plätze"));
    if (auto* grid = qobject_cast<QGridLayout*>(certWho_->layout()))
        grid->addWidget(certPlaces_, 0, 1);
    else
        certWho_->layout()->addWidget(certPlaces_);
    whoCol->addWidget(certWho_);
    whoCol->addStretch(1);
    top->addLayout(whoCol);

    auto* classes = new QGroupBox(QStringLiteral("Altersklassen"), page);
    auto* classesCol = new QVBoxLayout(classes);
    certClasses_ = new QListWidget(classes);
    certClasses_->setObjectName(QStringLiteral("UrkAltersklassen"));
    certClasses_->setMinimumHeight(90);
    classesCol->addWidget(certClasses_);
    top->addWidget(classes, 1);
    col->addLayout(top);

    auto* look = new QGroupBox(QStringLiteral("Gestaltung"), page);
    auto* lookCol = new QVBoxLayout(look);
    certLayout_ = new TRadioGroup(QString(),
                                  {QStringLiteral("&klassisch"), QStringLiteral("mo&dern"),
                                   QStringLiteral("&vorgedruckt"), QStringLiteral("V&orlage:")},
                                  4, look);
    certLayout_->setFlat(true);
    certLayout_->SetItemIndex(0);
    lookCol->addWidget(certLayout_);
    auto* templRow = new QHBoxLayout;
    certTemplate_ = new QLineEdit(look);
    certTemplate_->setObjectName(QStringLiteral("UrkVorlage"));
    certTemplate_->setPlaceholderText(QStringLiteral("Urkundenvorlage (*.urk)"));
    auto* choose = new QPushButton(QStringLiteral("Durc&hsuchen..."), look);
    choose->setObjectName(QStringLiteral("UrkDurchsuchenBtn"));
    auto* edit = new QPushButton(QStringLiteral("Urkundenvorlage &bearbeiten..."), look);
    edit->setObjectName(QStringLiteral("UrkBearbeitenBtn"));
    templRow->addWidget(certTemplate_, 1);
    templRow->addWidget(choose);
    lookCol->addLayout(templRow);
    lookCol->addWidget(edit, 0, Qt::AlignLeft);
    certPreprinted_ =
        new QCheckBox(QStringLiteral("vorgedruckt (ohne Gesamtpunkte und Platz)"), look);
    certPreprinted_->setChecked(true);
    lookCol->addWidget(certPreprinted_);
    col->addWidget(look);

    auto* shift = new QGroupBox(QStringLiteral("Verschiebung des Drucks (Kalibrierung)"), page);
    auto* shiftForm = new QFormLayout(shift);
    certPrinter_ = new QLabel(shift);
    certPrinter_->setObjectName(QStringLiteral("UrkDrucker"));
    shiftForm->addRow(QStringLiteral("Drucker:"), certPrinter_);
    auto spin = [shift](const char* name) {
        auto* b = new QDoubleSpinBox(shift);
        b->setObjectName(QString::fromUtf8(name));
        b->setRange(-50.0, 50.0);
        b->setDecimals(1);
        b->setSingleStep(0.5);
        b->setSuffix(QStringLiteral(" mm"));
        return b;
    };
    certShiftX_ = spin("UrkVerschiebungX");
    certShiftY_ = spin("UrkVerschiebungY");
    shiftForm->addRow(QStringLiteral("nach &rechts:"), certShiftX_);
    shiftForm->addRow(QStringLiteral("nach &unten:"), certShiftY_);
    col->addWidget(shift);
    col->addStretch(1);

    connect(certTemplate_, &QLineEdit::textEdited, this, [this] {
        if (!certTemplate_->text().isEmpty()) certLayout_->SetItemIndex(3);
    });
    connect(choose, &QPushButton::clicked, this, &TDruckenDlg::CmdChooseTemplate);
    connect(edit, &QPushButton::clicked, this, &TDruckenDlg::CmdEditTemplate);
    connect(certShiftX_, &QDoubleSpinBox::valueChanged, this, &TDruckenDlg::StoreShift);
    connect(certShiftY_, &QDoubleSpinBox::valueChanged, this, &TDruckenDlg::StoreShift);
    LoadShift();
    return page;
}

void TDruckenDlg::FillAgeClasses() {
    certClasses_->clear();
    if (!competition_) return;
    for (int i = 0; i < competition_->Count(); ++i) {
        auto* item = new QListWidgetItem(FromOem(competition_->At(i)->Name()), certClasses_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
}

void TDruckenDlg::LoadShift() {
    const QString printer = PrinterLabel();
    certPrinter_->setText(printer);
    QSettings settings;
    const QString key = CalibrationKey(printer);
    loadingShift_ = true;
    certShiftX_->setValue(settings.value(key + QStringLiteral("/x"), 0).toInt() / 10.0);
    certShiftY_->setValue(settings.value(key + QStringLiteral("/y"), 0).toInt() / 10.0);
    loadingShift_ = false;
}

void TDruckenDlg::StoreShift() {
    if (loadingShift_) return;
    QSettings settings;
    const QString key = CalibrationKey(PrinterLabel());
    settings.setValue(key + QStringLiteral("/x"), ShiftX());
    settings.setValue(key + QStringLiteral("/y"), ShiftY());
}

std::int32_t TDruckenDlg::ShiftX() const {
    return static_cast<std::int32_t>(std::lround(certShiftX_->value() * 10.0));
}

std::int32_t TDruckenDlg::ShiftY() const {
    return static_cast<std::int32_t>(std::lround(certShiftY_->value() * 10.0));
}

void TDruckenDlg::SetShift(std::int32_t x, std::int32_t y) {
    certShiftX_->setValue(x / 10.0);
    certShiftY_->setValue(y / 10.0);
}

QString TDruckenDlg::TemplateFile() const {
    return certLayout_->ItemIndex() == 3 ? certTemplate_->text().trimmed() : QString();
}

void TDruckenDlg::SetTemplateFile(const QString& file) {
    certTemplate_->setText(file);
    certLayout_->SetItemIndex(file.isEmpty() ? 0 : 3);
}

TUrkAuswahl TDruckenDlg::CertificateSelection() const {
    TUrkAuswahl a;
    a.places = certPlaces_->value();
    switch (certWho_->ItemIndex()) {
    case 1:
        a.einzeln = true;
        a.ageClass = job_.SelectedAgeClass;
        a.rows = {job_.CertificateCurrent};
        break;
    case 2:
        a.einzeln = true;
        a.ageClass = job_.SelectedAgeClass;
        for (int r = job_.CertificateFirst; r <= job_.CertificateLast; ++r)
            a.rows.push_back(r);
        break;
    default:
        for (int i = 0; i < certClasses_->count(); ++i)
            if (certClasses_->item(i)->checkState() == Qt::Checked) a.ageClasses.push_back(i);
        // None ticked is no choice of "every age class".
        if (a.ageClasses.empty()) a.ageClasses.push_back(-1);
        break;
    }
    return a;
}

bool TDruckenDlg::CertificateOptions(TUrkOptions& u, TUrkVorlage& vorlage) {
    u = TUrkOptions{};
    const int layout = std::max(0, certLayout_->ItemIndex());
    u.layout = layout == 1   ? TUrkLayout::Modern
               : layout == 2 ? TUrkLayout::Vorgedruckt
                             : TUrkLayout::Klassisch;
    u.ohnePlatzUndPunkte = certPreprinted_->isChecked();
    u.shiftX = ShiftX();
    u.shiftY = ShiftY();
    u.measure = PdfTextMeasure();
    if (layout == 3) {
        const QString file = certTemplate_->text().trimmed();
        if (file.isEmpty()) {
            ShowBox(this, TBoxKind::Warning,
                    QStringLiteral("Bitte eine Urkundenvorlage (*.urk) angeben."));
            return false;
        }
        TUrkFehler error;
        if (!LoadUrkVorlage(QFile::encodeName(file).toStdString(), vorlage, error)) {
            ShowBox(this, TBoxKind::Error,
                    QStringLiteral("Die Urkundenvorlage %1 ist fehlerhaft:\n%2")
                        .arg(QDir::toNativeSeparators(file), QString::fromStdString(error.Text())));
            return false;
        }
        u.vorlage = &vorlage;
    }
    return true;
}

void TDruckenDlg::CmdChooseTemplate() {
    TFileRequest req;
    req.caption = QStringLiteral("Urkundenvorlage öffnen");
    req.filter = QStringLiteral("Urkundenvorlage (*.urk *.URK);;Alle Dateien (*)");
    const QString name = AskFileName(this, req);
    if (!name.isEmpty()) SetTemplateFile(name);
}

void TDruckenDlg::CmdEditTemplate() {
    if (!attached_ || !competition_) return;
    const bool fromFile = certLayout_->ItemIndex() == 3;
    const QString file = fromFile ? certTemplate_->text().trimmed() : QString();
    TUrkOptions u;
    TUrkVorlage vorlage;
    if (!file.isEmpty()) {
        // A faulty file has said what is wrong and is not opened.
        if (!CertificateOptions(u, vorlage)) return;
    } else {
        // A new template starts from the chosen layout's fields; one for pre-printed
        // paper from those of the layout "vorgedruckt".
        if (fromFile) certLayout_->SetItemIndex(2);
        CertificateOptions(u, vorlage);
        const TPageSize size = PrintPageSize(TBvPrinterInfos(), CurrentPrinter());
        vorlage =
            BuiltInVorlage(u.layout, !IsSingleCompetition(*competition_), size.width, size.height);
        if (fromFile) certLayout_->SetItemIndex(3);
    }
    u.vorlage = nullptr;
    TUrkVorlageDlg dlg(this, *competition_, CertificateSelection(), u, vorlage, file);
    ExecDialog(dlg);
    if (!dlg.SavedFile().isEmpty()) SetTemplateFile(dlg.SavedFile());
}

void TDruckenDlg::Attach(TWettkampf* competition, int selectedAgeClass, int lastMarked,
                         int firstMarked, int current) {
    job_ = TVmPrintJob(competition, selectedAgeClass);
    competition_ = competition;
    job_.CertificateFirst = firstMarked;
    job_.CertificateLast = lastMarked;
    job_.CertificateCurrent = current;
    attached_ = competition != nullptr;
    FillAgeClasses();
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
        size = PrintPageSize(TBvPrinterInfos(), CurrentPrinter());
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
    if (ListKind() == rkUrkunde) {
        TUrkOptions u;
        if (!CertificateOptions(u, vorlage_)) return false;
        const TVmReport& r = job_.BuildCertificates(o, CertificateSelection(), u);
        builtWidth_ = r.PageWidth;
        builtHeight_ = r.PageHeight;
        ++builds_;
        if (r.PageCount() == 0) {
            ShowBox(this, TBoxKind::Information,
                    QStringLiteral("Für diese Auswahl gibt es keine Urkunde."));
            return false;
        }
        return true;
    }
    RefreshForBuild(*competition_, ListKind(), o);
    job_.Build(ListKind(), o);
    ++builds_;
    return true;
}

bool TDruckenDlg::ConfirmChecks() {
    if (ListKind() != rkErgebnis || findings_ == 0) return true;
    const std::size_t findings = findings_;
    const QString text = findings == 1
                             ? QStringLiteral("Es gibt 1 Hinweis der Datenprüfung. Trotzdem drucken?")
                             : QStringLiteral("Es gibt %1 Hinweise der Datenprüfung. Trotzdem drucken?")
                                   .arg(findings);
    if (ShowBox(this, TBoxKind::Question, text, QMessageBox::Yes | QMessageBox::No) ==
        QMessageBox::Yes) {
        findings_ = 0; // asked once
        return true;
    }
    checksWanted_ = true;
    reject();
    return false;
}

void TDruckenDlg::CmdOk() {
    if (!ConfirmChecks() || !Build()) return;
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
    if (ExecPrinterSetupDialog(this, CurrentPrinter())) LoadShift();
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
    if (!ConfirmChecks() || !Build()) return;
    TFileRequest req;
    req.save = true;
    req.caption = QStringLiteral("PDF-Datei speichern");
    req.filter = QStringLiteral("PDF Datei (*.PDF *.pdf);;Alle Dateien (*)");
    req.defaultSuffix = QStringLiteral("PDF");
    req.fileName = QStringLiteral("TEST.PDF");
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
    statusText_.clear();
    if (load && !OpenPdf(name))
        statusText_ = QStringLiteral("Die PDF-Datei wurde unter %1 gespeichert; kein Programm "
                                     "konnte sie öffnen.")
                          .arg(QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath()));
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
