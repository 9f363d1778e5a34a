// The clubs' entry form in the desktop program: "Meldebogen erstellen…" writes it, and
// the import of a returned form lists every faulty row in its own window before
// anything is imported.
#pragma once

#include "io/VmMeldebogen.h"

#include <QDialog>

#include <string>

class QComboBox;
class QPushButton;
class QTableWidget;

namespace vm::ui {

class TMainForm;

// "Meldebogen erstellen…": the Gliederung to fill in (optional), the file name, then the
// workbook. The document is only read.
void CmdMeldebogen(TMainForm& form);

// The optional Gliederung code for every row of a new entry form.
class TMeldebogenDlg : public QDialog {
    Q_OBJECT
public:
    explicit TMeldebogenDlg(QWidget* parent);
    // The code as typed, upper-cased; empty for none.
    QString Gliederung() const;
    static bool Open(QWidget* parent, QString& gliederung);

private:
    QComboBox* gliederung_ = nullptr;
};

// The rows of a returned entry form that have errors, each with its row, column and
// text. "Fehlerhafte Zeilen überspringen" (accept) imports the good rows; "Abbrechen"
// imports nothing.
class TMeldFehlerDlg : public QDialog {
    Q_OBJECT
public:
    TMeldFehlerDlg(QWidget* parent, const TEntryReport& report);
    QTableWidget* Table() const { return table_; }
    QPushButton* SkipButton() const { return skip_; }

private:
    QTableWidget* table_ = nullptr;
    QPushButton* skip_ = nullptr;
};

// The import of a returned entry form (workbook or CSV) into the document: read, check,
// the error list when a row has errors, then the import as one change of the gate and
// a box with the summary. A file that is no entry form gets its message and changes
// nothing.
void ImportMeldebogen(TMainForm& form, const std::string& fileName);

} // namespace vm::ui
