// Everything through which a window asks the user something: message boxes, modal
// dialogs, file dialogs and the beep. The program shows them as usual; the GUI test
// suites install handlers that answer them, so that no test ever waits on a modal
// event loop.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

class QDialog;
class QWidget;

namespace vm::ui {

// Stored texts are code page 850; windows show Unicode.
QString FromOem(std::string_view oem);
// To code page 850, cut to the field's capacity (0: no cut).
std::string ToOem(const QString& text, int maxLen = 0);

enum class TBoxKind { Information, Warning, Error, Question };

struct TBoxRequest {
    TBoxKind kind = TBoxKind::Information;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

struct TFileRequest {
    bool save = false;
    QString caption;
    QString filter;        // entries separated by ";;", Qt's form
    QString defaultSuffix; // without the dot
    int filterIndex = 1;   // 1-based, in and out
    bool mustExist = true; // open: file must exist; save: folder must exist
    QString fileName;      // the name the dialog starts with (save)
};

using TBoxHandler = std::function<QMessageBox::StandardButton(const TBoxRequest&)>;
// Receives the dialog shown (not modal); must close it with accept/reject or done.
using TDialogHandler = std::function<void(QDialog&)>;
// Answers a file dialog: the chosen name, empty for Cancel; may set filterIndex.
using TFileHandler = std::function<QString(TFileRequest&)>;

// Installing an empty handler restores the real dialogs.
void SetBoxHandler(TBoxHandler h);
void SetDialogHandler(TDialogHandler h);
void SetFileHandler(TFileHandler h);
void SetBeepHandler(std::function<void()> h);

// The default caption of each kind: "Information", "Warnung", "Fehler", "Bestätigen".
QString BoxCaption(TBoxKind kind);

QMessageBox::StandardButton ShowBox(QWidget* parent, TBoxKind kind, const QString& text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                    const QString& caption = QString());
// Runs the dialog modally and answers its result (QDialog::Accepted or Rejected).
int ExecDialog(QDialog& dialog);
QString AskFileName(QWidget* parent, TFileRequest& request);
void Beep();

// Marks a button as the dialog's Cancel: leaving a value edit towards it skips the
// range check.
void MarkCancelButton(QWidget* button);
bool IsCancelButton(const QWidget* widget);

} // namespace vm::ui
