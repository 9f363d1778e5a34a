// The change journal of a result file, read-only, with a search: what the jury opens
// when a protest asks who changed a time, and when.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vm::ui {

class TProtokollDlg : public QDialog {
    Q_OBJECT
public:
    // `text` is the journal as stored (UTF-8 decoded); `journalFile` names it in the head.
    TProtokollDlg(QWidget* parent, const QString& journalFile, const QString& text);

    // The journal of `ergFile` in the dialog, or a message when there is none (yet) or
    // it cannot be read.
    static void ShowJournal(QWidget* parent, const QString& ergFile);

    // Finds the search text after the current hit, from the top again at the end,
    // without regard to case, and marks it. False (with a beep and a note below the
    // text) when it is nowhere.
    bool FindNext();

    QLineEdit* SearchEdit() const { return search_; }
    QPlainTextEdit* TextView() const { return view_; }
    QLabel* Note() const { return note_; }

private:
    QPlainTextEdit* view_;
    QLineEdit* search_;
    QPushButton* next_;
    QLabel* note_;
};

} // namespace vm::ui
