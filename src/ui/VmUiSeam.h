// Everything through which a window asks the user something: message boxes, modal
// dialogs, file dialogs and the beep. The program shows them as usual; the GUI test
// suites install handlers that answer them, so that no test ever waits on a modal
// event loop.
#pragma once

#include <QMessageBox>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

class QDialog;
class QLineEdit;
class QWidget;

namespace vm::ui {

// Stored texts are code page 850; windows show Unicode.
QString FromOem(std::string_view oem);
// To code page 850, cut to the field's capacity (0: no cut). Characters the page lacks
// become their close letters (Ł: L), others '?'; the edits of stored texts let neither
// reach here (KeepStorableText).
std::string ToOem(const QString& text, int maxLen = 0);
// The text as the result file can hold it: every character stored as it is or as its
// close letters; false when some character has none (it is left out).
bool StorableText(const QString& text, QString& storable);
// An edit of a stored text: what is typed or pasted is written as the result file can
// hold it at once (Ł becomes L where it is typed), and a character it cannot hold at
// all is refused with a beep.
void KeepStorableText(QLineEdit* edit);

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
// The file dialog; a name typed without extension gets the extension of the chosen
// filter entry ("Textdateien (*.CSV)": CSV), or defaultSuffix for an entry without one.
QString AskFileName(QWidget* parent, TFileRequest& request);
// The extension a filter entry names, or fallback.
QString SuffixOfFilter(const QString& filter, const QString& fallback);
void Beep();

// Fits a window to the screen it opens on: at least as wide as its caption needs and
// never larger than the available area (HiDPI scale, small screens); a window placed
// before is moved inside it. `wanted` is the size to start from (empty: the size the
// window has or hints). Every dialog run by ExecDialog passes here.
void FitToScreen(QWidget& window, QSize wanted = QSize());
// A window's geometry (without its frame) moved and shrunk so that the window, frame
// included, lies in the available area of the screen under its centre (or of the
// screen of `near`, or the primary one).
QRect ClampToScreen(const QRect& geometry, const QWidget* near = nullptr);

// Marks a button as the dialog's Cancel: leaving a value edit towards it skips the
// range check.
void MarkCancelButton(QWidget* button);
bool IsCancelButton(const QWidget* widget);

} // namespace vm::ui
