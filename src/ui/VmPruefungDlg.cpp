#include "ui/VmPruefungDlg.h"

#include "ui/VmUiSeam.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vm::ui {

TPruefungDlg::TPruefungDlg(QWidget* parent, const TWettkampf& c) : QDialog(parent) {
    found_ = CheckCompetition(c);
    setWindowTitle(QStringLiteral("Daten prüfen"));
    setStatusTip(QStringLiteral("Fehlende und widersprüchliche Angaben des Wettkampfs"));

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("Befunde"));
    list_->setUniformItemSizes(true);
    list_->setToolTip(QStringLiteral("Doppelklick oder Enter zeigt den Teilnehmer in der Liste"));
    for (const TBefund& b : found_)
        list_->addItem(FromOem(b.text));
    auto* label = new QLabel(QStringLiteral("&Auffälligkeiten:"), this);
    label->setBuddy(list_);
    auto* summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("Zusammenfassung"));
    if (found_.empty())
        summary->setText(QStringLiteral("Keine Auffälligkeiten gefunden."));
    else if (found_.size() == 1)
        summary->setText(QStringLiteral("1 Auffälligkeit gefunden."));
    else
        summary->setText(QStringLiteral("%1 Auffälligkeiten gefunden.").arg(found_.size()));

    auto* buttons = new QDialogButtonBox(this);
    goTo_ = buttons->addButton(QStringLiteral("&Gehe zu"), QDialogButtonBox::AcceptRole);
    goTo_->setToolTip(
        QStringLiteral("Den Teilnehmer dieser Auffälligkeit in der Liste zeigen"));
    goTo_->setDefault(true);
    goTo_->setEnabled(!found_.empty());
    auto* close =
        buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    MarkCancelButton(close);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (Chosen()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
        if (Chosen()) accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_, 1);
    layout->addWidget(summary);
    layout->addWidget(buttons);

    if (!found_.empty()) list_->setCurrentRow(0);
    list_->setFocus();
    const int ch = fontMetrics().averageCharWidth();
    const QRect screen = QApplication::primaryScreen()
                             ? QApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1366, 768);
    resize(std::min(ch * 120, screen.width() - 40),
           std::min(fontMetrics().height() * 30, screen.height() - 60));
}

const TBefund* TPruefungDlg::Chosen() const {
    const int i = list_->currentRow();
    return i >= 0 && i < static_cast<int>(found_.size()) ? &found_[static_cast<std::size_t>(i)]
                                                         : nullptr;
}

void TPruefungDlg::Open(QWidget* parent, const TWettkampf& c, const TGoTo& goTo) {
    TPruefungDlg dlg(parent, c);
    if (ExecDialog(dlg) != QDialog::Accepted) return;
    if (const TBefund* b = dlg.Chosen(); b && goTo) goTo(b->ageClass, b->participant);
}

} // namespace vm::ui
