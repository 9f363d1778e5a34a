#include "ui/VmUiSeam.h"

#include "model/VmBasis.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

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

namespace {

// Walks the text by characters (surrogate pairs as one) and builds what can be stored;
// `at` (a position in the text) is moved to the same place in the result.
bool Storable(const QString& text, QString& out, int* at) {
    out.clear();
    bool all = true;
    int moved = at ? *at : 0;
    for (int i = 0; i < text.size();) {
        char32_t cp = text[i].unicode();
        int len = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
            len = 2;
        }
        std::string oem;
        QString put;
        if (CharToOem(cp, oem))
            put = FromOem(oem);
        else
            all = false;
        if (at && i < *at) moved += static_cast<int>(put.size()) - len;
        out += put;
        i += len;
    }
    if (at) *at = moved;
    return all;
}

} // namespace

bool StorableText(const QString& text, QString& storable) {
    return Storable(text, storable, nullptr);
}

void KeepStorableText(QLineEdit* edit) {
    if (!edit || edit->property("vmStorable").toBool()) return;
    edit->setProperty("vmStorable", true);
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        QString kept;
        int cursor = edit->cursorPosition();
        const bool all = Storable(text, kept, &cursor);
        if (kept != text) {
            edit->setText(kept);
            edit->setCursorPosition(std::clamp(cursor, 0, static_cast<int>(edit->text().size())));
        }
        if (!all) Beep();
    });
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

QRect ClampToScreen(const QRect& geometry, const QWidget* near) {
    QScreen* screen = nullptr;
    if (near && near->screen()) screen = near->screen();
    if (QScreen* at = QGuiApplication::screenAt(geometry.center())) screen = at;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return geometry;
    // Room for the window's frame: its own once it has been shown, else a usual title
    // bar and border.
    QMargins frame(4, 30, 4, 4);
    if (near && near->isVisible() && near->isWindow()) {
        const QRect outer = near->frameGeometry(), inner = near->geometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
    const QRect area = screen->availableGeometry().marginsRemoved(frame);
    QRect r = geometry;
    r.setWidth(std::min(r.width(), area.width()));
    r.setHeight(std::min(r.height(), area.height()));
    r.moveLeft(std::clamp(r.left(), area.left(), area.right() + 1 - r.width()));
    r.moveTop(std::clamp(r.top(), area.top(), area.bottom() + 1 - r.height()));
    return r;
}

void FitToScreen(QWidget& window, QSize wanted) {
    window.ensurePolished();
    if (!wanted.isValid())
        wanted = window.testAttribute(Qt::WA_Resized) ? window.size() : window.sizeHint();
    wanted = wanted.expandedTo(window.minimumSizeHint());
    // The caption in the title bar's (bold) font, with room for the frame's buttons.
    QFont font = window.font();
    font.setBold(true);
    const QFontMetrics fm(font);
    const int caption = fm.horizontalAdvance(window.windowTitle()) + 4 * fm.height() + 48;
    if (!window.windowTitle().isEmpty()) wanted.setWidth(std::max(wanted.width(), caption));
    // A dialog is centred on its parent when shown (and kept on the screen there); a
    // window placed before keeps its place, moved inside the screen where needed.
    const QWidget* near = window.parentWidget() ? window.parentWidget()->window() : &window;
    const QRect r = ClampToScreen(QRect(window.pos(), wanted), near);
    window.resize(r.size());
    if (window.testAttribute(Qt::WA_Moved)) window.move(r.topLeft());
}

int ExecDialog(QDialog& dialog) {
    FitToScreen(dialog);
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

QString SuffixOfFilter(const QString& filter, const QString& fallback) {
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)[;) ]"));
    const QRegularExpressionMatch m = pattern.match(filter);
    return m.hasMatch() ? m.captured(1) : fallback;
}

QString AskFileName(QWidget* parent, TFileRequest& request) {
    if (Seam().file) return Seam().file(request);
    QFileDialog dlg(parent, request.caption);
    dlg.setObjectName(QStringLiteral("FileDialog"));
    dlg.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = request.filter.split(QStringLiteral(";;"));
    dlg.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dlg.selectNameFilter(filters[request.filterIndex - 1]);
    // A name typed without extension gets the one of the type chosen in the dialog,
    // never a fixed one: "Tag1" saved as text must not become "Tag1.ERG".
    dlg.setDefaultSuffix(SuffixOfFilter(dlg.selectedNameFilter(), request.defaultSuffix));
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&](const QString& filter) {
        dlg.setDefaultSuffix(SuffixOfFilter(filter, request.defaultSuffix));
    });
    if (!request.fileName.isEmpty()) dlg.selectFile(request.fileName);
    // Our own save-as asks before overwriting, through the seam; the dialog must not
    // ask a second time.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (ExecDialog(dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
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
