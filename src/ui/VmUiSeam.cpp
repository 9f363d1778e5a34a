#include "ui/VmUiSeam.h"

#include "model/VmBasis.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>

namespace vm::ui {

namespace {

struct TSeam {
    TBoxHandler box;
    TDialogHandler dialog;
    TFileHandler file;
    std::function<void()> beep;
};

TSeam& Seam() {
    static TSeam seam;
    return seam;
}

QMessageBox::Icon IconOf(TBoxKind kind) {
    switch (kind) {
    case TBoxKind::Warning:
        return QMessageBox::Warning;
    case TBoxKind::Error:
        return QMessageBox::Critical;
    case TBoxKind::Question:
        return QMessageBox::Question;
    case TBoxKind::Information:
        break;
    }
    return QMessageBox::Information;
}

} // namespace

QString FromOem(std::string_view oem) {
    return QString::fromStdString(OemToUtf8(oem));
}

std::string ToOem(const QString& text, int maxLen) {
    std::string oem = Utf8ToOem(text.toStdString());
    if (maxLen > 0 && oem.size() > static_cast<std::size_t>(maxLen))
        oem.resize(static_cast<std::size_t>(maxLen));
    return oem;
}

void SetBoxHandler(TBoxHandler h) {
    Seam().box = std::move(h);
}
void SetDialogHandler(TDialogHandler h) {
    Seam().dialog = std::move(h);
}
void SetFileHandler(TFileHandler h) {
    Seam().file = std::move(h);
}
void SetBeepHandler(std::function<void()> h) {
    Seam().beep = std::move(h);
}

QString BoxCaption(TBoxKind kind) {
    switch (kind) {
    case TBoxKind::Warning:
        return QStringLiteral("Warnung");
    case TBoxKind::Error:
        return QStringLiteral("Fehler");
    case TBoxKind::Question:
        return QStringLiteral("Bestätigen");
    case TBoxKind::Information:
        break;
    }
    return QStringLiteral("Information");
}

QMessageBox::StandardButton ShowBox(QWidget* parent, TBoxKind kind, const QString& text,
                                    QMessageBox::StandardButtons buttons, const QString& caption) {
    TBoxRequest req{kind, caption.isEmpty() ? BoxCaption(kind) : caption, text, buttons};
    if (Seam().box) return Seam().box(req);
    QMessageBox box(IconOf(kind), req.caption, text, buttons, parent);
    // The first button of a question is its default, as the user expects (Ja).
    if (buttons & QMessageBox::Yes) box.setDefaultButton(QMessageBox::Yes);
    // The normal cursor while the box waits, whatever the window is doing.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    QApplication::restoreOverrideCursor();
    return answer;
}

int ExecDialog(QDialog& dialog) {
    if (!Seam().dialog) return dialog.exec();
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    dialog.activateWindow();
    QCoreApplication::processEvents();
    Seam().dialog(dialog);
    // A handler that leaves the dialog open has not confirmed it.
    if (dialog.isVisible()) dialog.reject();
    return dialog.result();
}

QString AskFileName(QWidget* parent, TFileRequest& request) {
    if (Seam().file) return Seam().file(request);
    QFileDialog dlg(parent, request.caption);
    dlg.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = request.filter.split(QStringLiteral(";;"));
    dlg.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dlg.selectNameFilter(filters[request.filterIndex - 1]);
    dlg.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty()) dlg.selectFile(request.fileName);
    // Our own save-as asks before overwriting, through the seam; the dialog must not
    // ask a second time.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
    request.filterIndex = static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1;
    return dlg.selectedFiles().constFirst();
}

void Beep() {
    if (Seam().beep)
        Seam().beep();
    else
        QApplication::beep();
}

void MarkCancelButton(QWidget* button) {
    if (button) button->setProperty("vmCancel", true);
}

bool IsCancelButton(const QWidget* widget) {
    if (!widget) return false;
    if (widget->property("vmCancel").toBool()) return true;
    auto* button = qobject_cast<const QAbstractButton*>(widget);
    if (!button) return false;
    for (QObject* p = widget->parent(); p; p = p->parent()) {
        if (auto* box = qobject_cast<QDialogButtonBox*>(p))
            return box->buttonRole(const_cast<QAbstractButton*>(button)) ==
                   QDialogButtonBox::RejectRole;
    }
    return false;
}

} // namespace vm::ui
