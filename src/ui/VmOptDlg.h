// The option dialogs of the exports: delimited text, HTML and PDF. Each shows the
// options it is given and hands back what the user chose on OK.
#pragma once

#include "io/VmHtmlExport.h"
#include "io/VmTxtExport.h"
#include "output/PdfWriter.h"
#include "ui/VmWkDlg.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vm::ui {

class TOptTXTDlg : public TDataDlg {
    Q_OBJECT
public:
    TOptTXTDlg(QWidget* parent, const TTextExportOptions& o);
    // Made anew for every export: o holds the defaults on entry, the choice on OK.
    static bool Open(QWidget* parent, TTextExportOptions& o);
    TTextExportOptions Options() const;

private:
    void UpdateFieldButtons();
    void MoveFields(QListWidget* from, QListWidget* to, bool all);
    void MoveExported(int step);

    TRadioGroup* charset_;
    QComboBox* separator_;
    QComboBox* quote_;
    QCheckBox* header_;
    QCheckBox* quoted_;
    QCheckBox* disciplines_;
    QCheckBox* nonStarters_;
    QListWidget* possible_;
    QListWidget* exported_;
    QPushButton* add_;
    QPushButton* addAll_;
    QPushButton* remove_;
    QPushButton* removeAll_;
    QPushButton* up_;
    QPushButton* down_;
};

class TOptHTMLDlg : public TDataDlg {
    Q_OBJECT
public:
    TOptHTMLDlg(QWidget* parent, const THtmlExportOptions& o);
    static bool Open(QWidget* parent, THtmlExportOptions& o);
    THtmlExportOptions Options() const;

private:
    void Browse();

    TRadioGroup* form_;
    QCheckBox* links_;
    QCheckBox* disciplines_;
    QLineEdit* picture_;
    QComboBox* colour_;
    bool withHeatLane_;
};

class TOptPDFDlg : public TDataDlg {
    Q_OBJECT
public:
    TOptPDFDlg(QWidget* parent, const TPdfInfo& info);
    // Title, subject, author and keywords (Windows character set) are edited in info;
    // on OK they go back into it. loadAfter, when given, receives whether the written
    // file is to be opened afterwards.
    static bool Open(QWidget* parent, TPdfInfo& info, bool* loadAfter = nullptr);
    void Store(TPdfInfo& info) const;
    bool LoadAfterExport() const;
    // Opens a written PDF file with the desktop's viewer.
    static void LoadPdf(const QString& fileName);

private:
    QLineEdit* title_;
    QLineEdit* subject_;
    QLineEdit* author_;
    QLineEdit* keywords_;
    QCheckBox* compress_;
    QCheckBox* loadPdf_;
};

} // namespace vm::ui
