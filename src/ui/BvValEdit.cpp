#include "ui/BvValEdit.h"

#include "ui/VmUiSeam.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QTimer>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace vm::ui {

TBvValEdit::TBvValEdit(QWidget* parent) : QLineEdit(parent) {}

bool TBvValEdit::IsValidChar(QChar) const {
    return true;
}
bool TBvValEdit::IsValid() const {
    return true;
}
void TBvValEdit::ShowRangeError() {}

void TBvValEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    // Only keys that would type a character are filtered; cursor keys, Tab, Enter
    // and shortcuts pass.
    const bool typing = !text.isEmpty() &&
                        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
                        (text.at(0).isPrint() || text.at(0) == QChar(8));
    const bool refused = typing && !IsValidChar(text.at(0));
    if (!CheckBeforeInsert) Q_EMIT keyPressed(event);
    if (refused) {
        Beep();
        event->accept();
        return;
    }
    if (CheckBeforeInsert) Q_EMIT keyPressed(event);
    QLineEdit::keyPressEvent(event);
}

bool LeavesTowardsCheck(const QFocusEvent* event) {
    return event->reason() != Qt::ActiveWindowFocusReason &&
           event->reason() != Qt::PopupFocusReason && !IsCancelButton(QApplication::focusWidget());
}

QString IntRangeErrorText(int minValue, int maxValue) {
    return QStringLiteral("Der eingegebene Wert liegt nicht zwischen %1 und %2.")
        .arg(minValue)
        .arg(maxValue);
}

void ShowRangeErrorBox(QWidget* field, const QString& text) {
    ShowBox(field, TBoxKind::Warning, text, QMessageBox::Ok, QStringLiteral("Eingabeprüfung"));
}

void TExitCheck::Schedule(QWidget* field, std::function<bool()> isValid,
                          std::function<void()> showError, std::function<void()> selectAll) {
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, field,
                       [this, field, isValid = std::move(isValid), showError = std::move(showError),
                        selectAll = std::move(selectAll)] {
                           pending_ = false;
                           if (!field->isVisible() || field->hasFocus() || isValid()) return;
                           showError();
                           field->setFocus(Qt::OtherFocusReason);
                           selectAll();
                       });
}

void TBvValEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!ValidateOnExit || !window() || window() == this || !LeavesTowardsCheck(event)) return;
    if (IsValid()) return;
    exitCheck_.Schedule(
        this, [this] { return IsValid(); }, [this] { ShowRangeError(); }, [this] { selectAll(); });
}

QString TBvValEdit::NormalisedText() const {
    const QLocale loc;
    QString s = text();
    const QString dec = loc.decimalPoint();
    const QString grp = loc.groupSeparator();
    QString out;
    for (int i = 0; i < s.size();) {
        if (!dec.isEmpty() && s.mid(i, dec.size()) == dec) {
            out += QLatin1Char('.');
            i += static_cast<int>(dec.size());
        } else if (!grp.isEmpty() && s.mid(i, grp.size()) == grp) {
            out += QLatin1Char(',');
            i += static_cast<int>(grp.size());
        } else {
            out += s.at(i++);
        }
    }
    return out;
}

// ---- TBvNumEdit -----------------------------------------------------------------

TBvNumEdit::TBvNumEdit(QWidget* parent) : TBvValEdit(parent) {
    setText(QStringLiteral("0"));
}

TBvNumEdit::TBvNumEdit(int minValue, int maxValue, QWidget* parent) : TBvNumEdit(parent) {
    MinValue = minValue;
    MaxValue = maxValue;
}

bool TBvNumEdit::IsValidChar(QChar c) const {
    return c == QChar(8) || c == QLatin1Char('+') || c == QLatin1Char('-') ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

bool TBvNumEdit::Parse(int& v) const {
    const std::string s = NormalisedText().toStdString();
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(s.c_str(), &end, 10);
    if (errno || end != s.c_str() + s.size() || std::isspace(static_cast<unsigned char>(s[0])) ||
        n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return false;
    v = static_cast<int>(n);
    return true;
}

int TBvNumEdit::Value() const {
    int v = 0;
    return Parse(v) ? v : MinValue;
}

void TBvNumEdit::SetValue(int v) {
    setText(QString::number(v));
}

bool TBvNumEdit::IsValid() const {
    int v = 0;
    return Parse(v) && v >= MinValue && v <= MaxValue;
}

QString TBvNumEdit::RangeErrorText() const {
    return IntRangeErrorText(MinValue, MaxValue);
}

void TBvNumEdit::ShowRangeError() {
    ShowRangeErrorBox(this, RangeErrorText());
}

// ---- TBvFloatEdit ---------------------------------------------------------------

TBvFloatEdit::TBvFloatEdit(QWidget* parent) : TBvValEdit(parent) {
    setText(QStringLiteral("0"));
}

TBvFloatEdit::TBvFloatEdit(double minValue, double maxValue, int precision, int digits,
                           QWidget* parent)
    : TBvFloatEdit(parent) {
    MinValue = minValue;
    MaxValue = maxValue;
    Precision = precision;
    Digits = digits;
}

bool TBvFloatEdit::IsValidChar(QChar c) const {
    const QString dec = QLocale().decimalPoint();
    return c == QChar(8) || c == QLatin1Char('+') || c == QLatin1Char('-') ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (!dec.isEmpty() && c == dec.at(0));
}

bool TBvFloatEdit::Parse(double& v) const {
    const std::string s = NormalisedText().toStdString();
    if (s.empty() || std::isspace(static_cast<unsigned char>(s[0]))) return false;
    // Only plain decimals: no exponent, no hexadecimal, no "inf".
    for (char ch : s)
        if (!(std::isdigit(static_cast<unsigned char>(ch)) || ch == '.' || ch == '+' || ch == '-'))
            return false;
    char* end = nullptr;
    const double d = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(d)) return false;
    v = d;
    return true;
}

double TBvFloatEdit::Value() const {
    double v = 0;
    return Parse(v) ? v : MinValue;
}

void TBvFloatEdit::SetValue(double v) {
    QLocale loc;
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    setText(loc.toString(v, 'f', Digits));
}

bool TBvFloatEdit::IsValid() const {
    double v = 0;
    return Parse(v) && v >= MinValue && v <= MaxValue;
}

QString TBvFloatEdit::RangeErrorText() const {
    const QLocale loc;
    return QStringLiteral("Der eingegebene Wert liegt nicht zwischen %1 und %2.")
        .arg(loc.toString(MinValue, 'f', Digits), loc.toString(MaxValue, 'f', Digits));
}

void TBvFloatEdit::ShowRangeError() {
    ShowRangeErrorBox(this, RangeErrorText());
}

// ---- form-level check -------------------------------------------------------------

bool FormCheck(QWidget* form) {
    if (!form) return true;
    auto* active = qobject_cast<TBvValEdit*>(QApplication::focusWidget());
    if (active && form->isAncestorOf(active) && !active->IsValid()) {
        active->ShowRangeError();
        return false;
    }
    for (TBvValEdit* e : form->findChildren<TBvValEdit*>()) {
        if (!e->isEnabled() || e->IsValid()) continue;
        e->ShowRangeError();
        e->setFocus(Qt::OtherFocusReason);
        e->selectAll();
        return false;
    }
    return true;
}

} // namespace vm::ui
