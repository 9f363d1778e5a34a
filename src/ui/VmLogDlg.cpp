#include "ui/VmLogDlg.h"

#include "journal/VmJournal.h"
#include "ui/VmUiSeam.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

namespace vm::ui {

TProtokollDlg::TProtokollDlg(QWidget* parent, const QString& journalFile, const QString& text)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ProtokollDlg"));
    setWindowTitle(QStringLiteral("Änderungsprotokoll"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);

    auto* file = new QLabel(QStringLiteral("Protokolldatei: %1").arg(journalFile), this);
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(file);

    auto* row = new QHBoxLayout;
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("SuchenEdit"));
    search_->setClearButtonEnabled(true);
    auto* label = new QLabel(QStringLiteral("Suchen &nach:"), this);
    label->setBuddy(search_);
    next_ = new QPushButton(QStringLiteral("&Weitersuchen"), this);
    next_->setObjectName(QStringLiteral("WeitersuchenButton"));
    // Enter in the search field finds the next hit.
    next_->setDefault(true);
    row->addWidget(label);
    row->addWidget(search_, 1);
    row->addWidget(next_);
    layout->addLayout(row);

    view_ = new QPlainTextEdit(this);
    view_->setObjectName(QStringLiteral("ProtokollText"));
    view_->setReadOnly(true);
    // Read-only, but the keyboard still moves through it and selects.
    view_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    view_->setPlainText(text);
    layout->addWidget(view_, 1);

    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("SuchHinweis"));
    layout->addWidget(note_);

    auto* buttons = new QDialogButtonBox(this);
    auto* close = buttons->addButton(QStringLiteral("&Schließen"), QDialogButtonBox::RejectRole);
    close->setAutoDefault(false);
    layout->addWidget(buttons);

    connect(next_, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(search_, &QLineEdit::textChanged, note_, &QLabel::clear);
    auto* f3 = new QShortcut(QKeySequence::FindNext, this);
    connect(f3, &QShortcut::activated, this, [this] { FindNext(); });
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        search_->setFocus();
        search_->selectAll();
    });

    search_->setFocus();
    const int ch = fontMetrics().averageCharWidth();
    const QRect screen = QApplication::primaryScreen()
                             ? QApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1366, 768);
    resize(std::min(ch * 120, screen.width() - 40),
           std::min(fontMetrics().height() * 34, screen.height() - 60));
}

bool TProtokollDlg::FindNext() {
    const QString what = search_->text();
    note_->clear();
    if (what.isEmpty()) return false;
    // QPlainTextEdit::find ignores case unless told otherwise; it starts after the
    // current selection, which is the previous hit.
    bool found = view_->find(what);
    if (!found) {
        QTextCursor top = view_->textCursor();
        top.movePosition(QTextCursor::Start);
        view_->setTextCursor(top);
        found = view_->find(what);
        if (found) note_->setText(QStringLiteral("Suche am Anfang fortgesetzt."));
    }
    if (!found) {
        note_->setText(QStringLiteral("´%1´ wurde nicht gefunden.").arg(what));
        Beep();
        return false;
    }
    // The hit stays marked while the focus is in the search field.
    QTextEdit::ExtraSelection hit;
    hit.cursor = view_->textCursor();
    hit.format.setBackground(palette().color(QPalette::Highlight));
    hit.format.setForeground(palette().color(QPalette::HighlightedText));
    view_->setExtraSelections({hit});
    view_->centerCursor();
    return true;
}

void TProtokollDlg::ShowJournal(QWidget* parent, const QString& ergFile) {
    if (ergFile.isEmpty()) {
        ShowBox(parent, TBoxKind::Information,
                QStringLiteral("Der Wettkampf wurde noch nicht gespeichert; es gibt noch kein "
                               "Änderungsprotokoll."));
        return;
    }
    const std::string erg = ergFile.toStdString();
    std::string text, error;
    if (!ReadJournal(erg, text, error)) {
        ShowBox(parent, TBoxKind::Information, QString::fromStdString(error));
        return;
    }
    TProtokollDlg dlg(parent, QString::fromStdString(JournalName(erg)),
                      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    ExecDialog(dlg);
}

} // namespace vm::ui
