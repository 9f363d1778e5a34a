#include "ui/VmUrkDlg.h"

#include "ui/BvPrinter.h"
#include "ui/VmCanvas.h"
#include "ui/VmUiSeam.h"
#include "ui/VmWPrn.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vm::ui {

// ---- preview -------------------------------------------------------------------------------

TUrkPreview::TUrkPreview(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("UrkVorschau"));
    setMinimumSize(200, 260);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

TUrkPreview::~TUrkPreview() = default;

void TUrkPreview::Show(const TBvDocument* document, std::int32_t width, std::int32_t height) {
    document_ = document;
    width_ = std::max<std::int32_t>(width, 10);
    height_ = std::max<std::int32_t>(height, 10);
    update();
}

void TUrkPreview::paintEvent(QPaintEvent*) {
    ++paints_;
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Dark));
    // The sheet as large as it fits, 3 pixels per millimetre at zoom 100.
    const double wMm = width_ / 10.0, hMm = height_ / 10.0;
    const int zoom = std::max(
        1, static_cast<int>(std::min((width() - 12) / wMm, (height() - 12) / hMm) / 3.0 * 100.0));
    const int sw = static_cast<int>(wMm * zoom / 100.0 * 3.0);
    const int sh = static_cast<int>(hMm * zoom / 100.0 * 3.0);
    const int x = (width() - sw) / 2, y = (height() - sh) / 2;
    p.fillRect(QRect(x + 3, y + 3, sw, sh), QColor(128, 128, 128));
    p.fillRect(QRect(x, y, sw, sh), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(QRect(x, y, sw - 1, sh - 1));
    if (!document_ || document_->PageCount() < 1) return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setClipRect(QRect(x, y, sw, sh));
    p.translate(x, y);
    auto device = TCanvasDevice::CreatePreview(document_, &p, width_, height_);
    device->SetZoom(zoom);
    device->Render(1, 1);
    device->SetCanvas(nullptr);
}

// ---- dialog --------------------------------------------------------------------------------

namespace {

QStringList SplitLine(const QString& line) {
    QStringList parts;
    int start = 0;
    for (int i = 0; i < 8; ++i) {
        const int semi = line.indexOf(QLatin1Char(';'), start);
        if (semi < 0) break;
        parts << line.mid(start, semi - start).trimmed();
        start = semi + 1;
    }
    parts << line.mid(start).trimmed();
    return parts;
}

} // namespace

TUrkVorlageDlg::TUrkVorlageDlg(QWidget* parent, const TWettkampf& competition,
                               TUrkAuswahl selection, TUrkOptions options,
                               const TUrkVorlage& vorlage, const QString& file)
    : QDialog(parent), competition_(competition), selection_(std::move(selection)),
      options_(std::move(options)), vorlage_(vorlage), file_(file) {
    setObjectName(QStringLiteral("UrkVorlageDlg"));
    setWindowTitle(QStringLiteral("Urkundenvorlage bearbeiten"));
    options_.vorlage = nullptr;

    auto* main = new QVBoxLayout(this);
    auto* split = new QSplitter(Qt::Horizontal, this);
    main->addWidget(split, 1);

    auto* left = new QWidget(split);
    auto* leftCol = new QVBoxLayout(left);
    leftCol->setContentsMargins(0, 0, 0, 0);
    auto* paperRow = new QHBoxLayout;
    paper_ = new QComboBox(left);
    paper_->setObjectName(QStringLiteral("UrkPapier"));
    for (const TUrkPapier& p : UrkPapiere())
        paper_->addItem(QString::fromLatin1(p.name));
    orientation_ = new QComboBox(left);
    orientation_->setObjectName(QStringLiteral("UrkAusrichtung"));
    orientation_->addItems({QStringLiteral("hoch"), QStringLiteral("quer")});
    auto* paperLabel = new QLabel(QStringLiteral("&Papier:"), left);
    paperLabel->setBuddy(paper_);
    paperRow->addWidget(paperLabel);
    paperRow->addWidget(paper_);
    paperRow->addWidget(orientation_);
    paperRow->addStretch(1);
    leftCol->addLayout(paperRow);

    table_ = new QTableWidget(0, colCount, left);
    table_->setObjectName(QStringLiteral("UrkFelder"));
    table_->setHorizontalHeaderLabels({QStringLiteral("X (mm)"), QStringLiteral("Y (mm)"),
                                       QStringLiteral("Schrift"), QStringLiteral("Größe (pt)"),
                                       QStringLiteral("Stil"), QStringLiteral("Ausrichtung"),
                                       QStringLiteral("Breite (mm)"), QStringLiteral("Text")});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setAlternatingRowColors(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setToolTip(QStringLiteral(
        "Schrift: serif, sans-serif, fixed; Stil: normal, fett, kursiv, fett+kursiv; "
        "Ausrichtung: links, mitte, rechts; Breite 0: der Text wird nie verkleinert"));
    leftCol->addWidget(table_, 1);

    auto* rowButtons = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("Feld &hinzufügen"), left);
    add->setObjectName(QStringLiteral("UrkHinzuBtn"));
    auto* remove = new QPushButton(QStringLiteral("Feld &entfernen"), left);
    remove->setObjectName(QStringLiteral("UrkEntfernenBtn"));
    rowButtons->addWidget(add);
    rowButtons->addWidget(remove);
    rowButtons->addStretch(1);
    leftCol->addLayout(rowButtons);
    status_ = new QLabel(left);
    status_->setObjectName(QStringLiteral("UrkFehler"));
    status_->setWordWrap(true);
    leftCol->addWidget(status_);
    split->addWidget(left);

    preview_ = new TUrkPreview(split);
    split->addWidget(preview_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    auto* buttons = new QDialogButtonBox(this);
    auto* open = buttons->addButton(QStringLiteral("Ö&ffnen..."), QDialogButtonBox::ActionRole);
    auto* save = buttons->addButton(QStringLiteral("&Speichern"), QDialogButtonBox::ActionRole);
    auto* saveAs =
        buttons->addButton(QStringLiteral("Speichern &unter..."), QDialogButtonBox::ActionRole);
    auto* test = buttons->addButton(QStringLiteral("P&robedruck"), QDialogButtonBox::ActionRole);
    auto* close = buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    open->setObjectName(QStringLiteral("UrkOeffnenBtn"));
    save->setObjectName(QStringLiteral("UrkSpeichernBtn"));
    saveAs->setObjectName(QStringLiteral("UrkSpeichernUnterBtn"));
    test->setObjectName(QStringLiteral("ProbedruckBtn"));
    close->setObjectName(QStringLiteral("CancelBtn"));
    test->setToolTip(QStringLiteral("eine Urkunde mit Millimeterraster drucken, um das Papier "
                                    "zu prüfen"));
    MarkCancelButton(close);
    main->addWidget(buttons);

    connect(add, &QPushButton::clicked, this, &TUrkVorlageDlg::CmdAdd);
    connect(remove, &QPushButton::clicked, this, &TUrkVorlageDlg::CmdRemove);
    connect(open, &QPushButton::clicked, this, &TUrkVorlageDlg::CmdOpen);
    connect(save, &QPushButton::clicked, this, &TUrkVorlageDlg::CmdSave);
    connect(saveAs, &QPushButton::clicked, this, &TUrkVorlageDlg::CmdSaveAs);
    connect(test, &QPushButton::clicked, this, &TUrkVorlageDlg::CmdTestPrint);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto changed = [this] {
        if (filling_) return;
        modified_ = true;
        Refresh();
    };
    connect(table_, &QTableWidget::cellChanged, this, changed);
    connect(paper_, &QComboBox::currentIndexChanged, this, changed);
    connect(orientation_, &QComboBox::currentIndexChanged, this, changed);

    Fill(vorlage);
    resize(1100, 640);
}

TUrkVorlageDlg::~TUrkVorlageDlg() = default;

void TUrkVorlageDlg::Fill(const TUrkVorlage& vorlage) {
    filling_ = true;
    // The table shows the template's words as its file has them.
    const QStringList lines = QString::fromUtf8(FormatUrkVorlage(vorlage)).split(QLatin1Char('\n'));
    table_->setRowCount(0);
    for (const QString& line : lines) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QStringList parts = SplitLine(line);
        if (parts.at(0) == QStringLiteral("Papier") && parts.size() == 3) {
            if (paper_->findText(parts.at(1)) < 0) paper_->addItem(parts.at(1));
            paper_->setCurrentIndex(paper_->findText(parts.at(1)));
            orientation_->setCurrentIndex(parts.at(2) == QStringLiteral("quer") ? 1 : 0);
        } else if (parts.size() == 9) {
            const int row = table_->rowCount();
            table_->insertRow(row);
            for (int c = 0; c < colCount; ++c)
                table_->setItem(row, c, new QTableWidgetItem(parts.at(c + 1)));
        }
    }
    table_->resizeColumnsToContents();
    filling_ = false;
    modified_ = false;
    Refresh();
}

void TUrkVorlageDlg::Refresh() {
    if (filling_) return;
    QString text =
        QStringLiteral("Papier; %1; %2\n").arg(paper_->currentText(), orientation_->currentText());
    for (int r = 0; r < table_->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < colCount; ++c) {
            const QTableWidgetItem* item = table_->item(r, c);
            // A line break in a cell would split the field in two.
            cells << (item ? item->text().simplified() : QString());
        }
        text += QStringLiteral("Feld; ") + cells.join(QStringLiteral("; ")) + QLatin1Char('\n');
    }
    TUrkVorlage parsed;
    TUrkFehler error;
    if (!ParseUrkVorlage(text.toStdString(), parsed, error)) {
        error_ = error.line > 1 ? QStringLiteral("Feld %1: %2")
                                      .arg(error.line - 1)
                                      .arg(QString::fromStdString(error.message))
                                : QString::fromStdString(error.message);
        status_->setText(error_);
        status_->setStyleSheet(QStringLiteral("color: #b00000"));
        return;
    }
    error_.clear();
    vorlage_ = std::move(parsed);
    report_ = BuildFirst(false);
    status_->setText(report_ && report_->PageCount() > 0
                         ? QString()
                         : QStringLiteral("Für die Auswahl gibt es keine Urkunde zum Anzeigen."));
    status_->setStyleSheet(QString());
    preview_->Show(report_.get(), vorlage_.PageWidth(), vorlage_.PageHeight());
}

std::unique_ptr<TVmReport> TUrkVorlageDlg::BuildFirst(bool raster) const {
    TVmPrintJob job(&competition_);
    TUrkOptions u = options_;
    u.vorlage = &vorlage_;
    u.limit = 1;
    u.raster = raster;
    job.BuildCertificates(TPrintOptions{}, selection_, u);
    if (job.Report()->PageCount() == 0) {
        // Without a certificate in the selection the first entry of the competition
        // stands in, so that the fields can still be placed.
        for (int i = 0; i < competition_.Count(); ++i)
            if (competition_.At(i)->Count() > 0) {
                TUrkAuswahl any;
                any.einzeln = true;
                any.ageClass = i;
                any.rows = {0};
                job.BuildCertificates(TPrintOptions{}, any, u);
                break;
            }
    }
    return job.TakeReport();
}

void TUrkVorlageDlg::CmdAdd() {
    filling_ = true;
    const int row = table_->rowCount();
    table_->insertRow(row);
    const QStringList cells = {QStringLiteral("20"),     QStringLiteral("20"),
                               QStringLiteral("serif"),  QStringLiteral("12"),
                               QStringLiteral("normal"), QStringLiteral("links"),
                               QStringLiteral("0"),      QStringLiteral("{Name}")};
    for (int c = 0; c < colCount; ++c)
        table_->setItem(row, c, new QTableWidgetItem(cells.at(c)));
    filling_ = false;
    table_->setCurrentCell(row, colText);
    modified_ = true;
    Refresh();
}

void TUrkVorlageDlg::CmdRemove() {
    const int row = table_->currentRow();
    if (row < 0) return;
    table_->removeRow(row);
    modified_ = true;
    Refresh();
}

void TUrkVorlageDlg::CmdOpen() {
    TFileRequest req;
    req.caption = QStringLiteral("Urkundenvorlage öffnen");
    req.filter = QStringLiteral("Urkundenvorlage (*.urk *.URK);;Alle Dateien (*)");
    const QString name = AskFileName(this, req);
    if (name.isEmpty()) return;
    TUrkVorlage loaded;
    TUrkFehler error;
    if (!LoadUrkVorlage(QFile::encodeName(name).toStdString(), loaded, error)) {
        ShowBox(this, TBoxKind::Error,
                QStringLiteral("Die Urkundenvorlage %1 ist fehlerhaft:\n%2")
                    .arg(QDir::toNativeSeparators(name), QString::fromStdString(error.Text())));
        return;
    }
    file_ = name;
    Fill(loaded);
}

namespace {
const QString NotSavedText =
    QStringLiteral("Die Vorlage wird erst gespeichert, wenn alle Felder stimmen.\n");
}

bool TUrkVorlageDlg::SaveTo(const QString& file) {
    if (!Valid()) {
        ShowBox(this, TBoxKind::Error, NotSavedText + error_);
        return false;
    }
    // A failed save has said so through the message routine and left the old file.
    if (!SaveUrkVorlage(QFile::encodeName(file).toStdString(), vorlage_)) return false;
    file_ = saved_ = file;
    modified_ = false;
    return true;
}

void TUrkVorlageDlg::reject() {
    if (modified_) {
        const auto answer = ShowBox(
            this, TBoxKind::Question,
            QStringLiteral("Die Urkundenvorlage wurde geändert. Soll sie gespeichert werden?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel) return;
        if (answer == QMessageBox::Yes && !CmdSave()) return;
    }
    QDialog::reject();
}

bool TUrkVorlageDlg::CmdSave() {
    if (file_.isEmpty()) return CmdSaveAs();
    return SaveTo(file_);
}

bool TUrkVorlageDlg::CmdSaveAs() {
    if (!Valid()) {
        ShowBox(this, TBoxKind::Error, NotSavedText + error_);
        return false;
    }
    TFileRequest req;
    req.save = true;
    req.caption = QStringLiteral("Urkundenvorlage speichern");
    req.filter = QStringLiteral("Urkundenvorlage (*.urk)");
    req.defaultSuffix = QStringLiteral("urk");
    req.fileName = file_.isEmpty() ? QStringLiteral("Urkunde.urk") : file_;
    const QString name = AskFileName(this, req);
    if (name.isEmpty()) return false;
    return SaveTo(name);
}

void TUrkVorlageDlg::CmdTestPrint() {
    if (!Valid()) {
        ShowBox(this, TBoxKind::Error, error_);
        return;
    }
    const std::unique_ptr<TVmReport> test = BuildFirst(true);
    if (!test || test->PageCount() < 1) return;
    PrintDocument(this, *test, 1, 0, false, 1);
}

} // namespace vm::ui
