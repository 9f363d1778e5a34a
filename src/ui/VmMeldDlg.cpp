#include "ui/VmMeldDlg.h"

#include "ui/VmGliedCodes.h"
#include "ui/VmMain.h"
#include "ui/VmUiSeam.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vm::ui {

namespace {

QString Utf8(const std::string& s) {
    return QString::fromStdString(s);
}

QString RowsText(int n) {
    return n == 1 ? QStringLiteral("1 Zeile") : QStringLiteral("%1 Zeilen").arg(n);
}

} // namespace

TMeldebogenDlg::TMeldebogenDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Meldebogen erstellen"));
    gliederung_ = new QComboBox(this);
    gliederung_->setObjectName(QStringLiteral("GliederungCombo"));
    SetupGliederungBox(*gliederung_);
    gliederung_->setCurrentIndex(-1);
    gliederung_->lineEdit()->clear();
    gliederung_->setToolTip(
        QStringLiteral("Wird in jede Zeile des Meldebogens eingetragen; leer lassen, wenn der "
                       "Bogen an mehrere Gliederungen geht"));
    auto* text = new QLabel(
        QStringLiteral("Der Meldebogen ist eine Excel-Arbeitsmappe mit den Altersklassen des "
                       "Wettkampfs und Platz für %1 Meldungen. Die Vereine füllen ihn aus und "
                       "schicken ihn zurück; „Importieren…“ liest ihn wieder ein.")
            .arg(MeldRows),
        this);
    text->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Gliederung (wahlweise):"), gliederung_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    MarkCancelButton(buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(form);
    layout->addWidget(buttons);
    gliederung_->setFocus();
    resize(fontMetrics().averageCharWidth() * 60, sizeHint().height());
}

QString TMeldebogenDlg::Gliederung() const {
    return gliederung_->currentText().trimmed().toUpper();
}

bool TMeldebogenDlg::Open(QWidget* parent, QString& gliederung) {
    TMeldebogenDlg dlg(parent);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    gliederung = dlg.Gliederung();
    return true;
}

void CmdMeldebogen(TMainForm& form) {
    const TVmFile* doc = form.Document();
    if (!doc) return;
    QString gliederung;
    if (!TMeldebogenDlg::Open(&form, gliederung)) return;
    TFileRequest req;
    req.save = true;
    req.caption = QStringLiteral("Meldebogen erstellen");
    req.filter = QStringLiteral("Meldebogen (*.XLSX)");
    req.defaultSuffix = QStringLiteral("XLSX");
    QString name = AskFileName(&form, req);
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".xlsx");
    if (QFileInfo::exists(name) &&
        ShowBox(&form, TBoxKind::Warning,
                QStringLiteral("%1 existiert bereits.\nMöchten Sie die Datei ersetzen?").arg(name),
                QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    form.SetBusy(true);
    WriteMeldebogen(doc->Competition(), QFile::encodeName(name).toStdString(),
                    gliederung.toStdString());
    form.SetBusy(false);
}

TMeldFehlerDlg::TMeldFehlerDlg(QWidget* parent, const TEntryReport& report) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Meldebogen: fehlerhafte Zeilen"));
    const int good = report.added + report.changed + report.unchanged;
    auto* summary = new QLabel(
        QStringLiteral("%1 des Meldebogens %2 Fehler; es wurde nichts importiert. Korrigieren "
                       "Sie den Bogen und importieren Sie ihn noch einmal, oder übernehmen Sie "
                       "nur die fehlerfreien Zeilen: %3 neu, %4 geändert, %5 unverändert.")
            .arg(RowsText(report.rowsWithErrors),
                 report.rowsWithErrors == 1 ? QStringLiteral("hat") : QStringLiteral("haben"))
            .arg(report.added)
            .arg(report.changed)
            .arg(report.unchanged),
        this);
    summary->setObjectName(QStringLiteral("Zusammenfassung"));
    summary->setWordWrap(true);

    table_ = new QTableWidget(static_cast<int>(report.errors.size()), 3, this);
    table_->setObjectName(QStringLiteral("Fehler"));
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Zeile"), QStringLiteral("Spalte"), QStringLiteral("Fehler")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int i = 0; i < static_cast<int>(report.errors.size()); ++i) {
        const TEntryProblem& p = report.errors[static_cast<std::size_t>(i)];
        auto* row = new QTableWidgetItem(QString::number(p.row));
        row->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(i, 0, row);
        table_->setItem(i, 1, new QTableWidgetItem(Utf8(p.field)));
        auto* text = new QTableWidgetItem(Utf8(p.text));
        text->setToolTip(Utf8(ProblemLine(p)));
        table_->setItem(i, 2, text);
    }
    table_->resizeColumnToContents(0);
    table_->resizeColumnToContents(1);
    auto* label = new QLabel(QStringLiteral("&Fehler:"), this);
    label->setBuddy(table_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(label);
    layout->addWidget(table_, 1);
    if (!report.notes.empty()) {
        QStringList notes;
        for (const std::string& n : report.notes)
            notes << Utf8(n);
        auto* hint = new QLabel(notes.join(QLatin1Char('\n')), this);
        hint->setObjectName(QStringLiteral("Hinweise"));
        hint->setWordWrap(true);
        layout->addWidget(hint);
    }
    auto* buttons = new QDialogButtonBox(this);
    skip_ = buttons->addButton(QStringLiteral("Fehlerhafte Zeilen überspringen"),
                               QDialogButtonBox::AcceptRole);
    skip_->setToolTip(QStringLiteral("Nur die fehlerfreien Zeilen importieren"));
    skip_->setEnabled(good > 0);
    auto* cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setDefault(true);
    MarkCancelButton(cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    if (!report.errors.empty()) table_->selectRow(0);
    table_->setFocus();
    const int ch = fontMetrics().averageCharWidth();
    const QRect screen = QApplication::primaryScreen()
                             ? QApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1366, 768);
    resize(std::min(ch * 110, screen.width() - 40),
           std::min(fontMetrics().height() * 28, screen.height() - 60));
}

void ImportMeldebogen(TMainForm& form, const std::string& fileName) {
    const TVmFile* doc = form.Document();
    if (!doc) return;
    TEntrySheet sheet;
    std::string failure;
    form.SetBusy(true);
    const bool read = ReadEntryFile(fileName, sheet, failure);
    TEntryReport check;
    if (read) check = CheckEntries(doc->Competition(), sheet);
    form.SetBusy(false);
    if (!read || !check.read) {
        ShowBox(&form, TBoxKind::Error, Utf8(read ? check.failure : failure));
        return;
    }
    bool skip = false;
    if (!check.errors.empty()) {
        TMeldFehlerDlg dlg(&form, check);
        if (ExecDialog(dlg) != QDialog::Accepted) return;
        skip = true;
    }
    TEntryReport done;
    form.RunCommand(
        QStringLiteral("Meldungen importieren"),
        [&](TWettkampf& c) { done = ImportEntries(c, sheet, skip); }, TStepKind::Whole);
    QStringList lines;
    if (done.rowsWithErrors > 0)
        lines << QStringLiteral("%1 übersprungen.")
                     .arg(done.rowsWithErrors == 1
                              ? QStringLiteral("1 fehlerhafte Zeile")
                              : QStringLiteral("%1 fehlerhafte Zeilen").arg(done.rowsWithErrors));
    for (const std::string& n : done.notes)
        lines << Utf8(n);
    lines << Utf8(done.SummaryLine());
    ShowBox(&form, TBoxKind::Information, lines.join(QLatin1Char('\n')));
}

} // namespace vm::ui
