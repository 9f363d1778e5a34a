#include "ui/VmTimeEdit.h"

#include "operations/VmLaufEingabe.h"

#include <QFocusEvent>

namespace vm::ui {

namespace {

// The edit's text with every unfilled place as 0.
std::string Filled(const QLineEdit& e) {
    QString s = e.displayText();
    s.replace(QLatin1Char('_'), QLatin1Char('0'));
    s.replace(QLatin1Char(' '), QLatin1Char('0'));
    return s.toStdString();
}

bool IsMaskChar(QChar c) {
    return c == QChar(8) || c.isDigit() || c == QLatin1Char(':') || c == QLatin1Char(',') ||
           c == QLatin1Char('.') || c == QLatin1Char(' ');
}

// A masked edit that got the focus without a click (the dialog opened on it, a shortcut
// or Tab led there) takes typing at once: its whole text is selected, so the first digit
// starts the new value. With the cursor behind the last place, as setText leaves it,
// the mask would swallow every key.
void TakeTyping(QLineEdit& e, const QFocusEvent* event) {
    if (event->reason() == Qt::MouseFocusReason || event->reason() == Qt::PopupFocusReason) return;
    e.selectAll();
}

} // namespace

TTimeEdit::TTimeEdit(bool withHundredths, QWidget* parent) : TBvValEdit(parent) {
    hundredths_ = !withHundredths; // so that the mask is set below
    SetHundredths(withHundredths);
}

void TTimeEdit::SetHundredths(bool withHundredths) {
    if (hundredths_ == withHundredths && !inputMask().isEmpty()) return;
    const TZeit keep = inputMask().isEmpty() ? 0 : Time();
    hundredths_ = withHundredths;
    setInputMask(withHundredths ? QStringLiteral("9:99,99;_") : QStringLiteral("9:99,9;_"));
    SetTime(keep);
}

void TTimeEdit::SetTime(TZeit time) {
    setText(QString::fromStdString(TimeToText(time, hundredths_)));
    setCursorPosition(0);
}

TZeit TTimeEdit::Time() const {
    TZeit t = 0;
    return ParseTimeEntry(Filled(*this), hundredths_, t) ? t : 0;
}

bool TTimeEdit::IsValidChar(QChar c) const {
    return IsMaskChar(c);
}

bool TTimeEdit::IsValid() const {
    TZeit t = 0;
    return ParseTimeEntry(Filled(*this), hundredths_, t);
}

QString TTimeEdit::RangeErrorText() const {
    return QStringLiteral("Der eingegebene Wert liegt nicht zwischen %1 und %2.")
        .arg(QString::fromStdString(TimeToText(0, hundredths_)),
             QString::fromStdString(TimeToText(hundredths_ ? 59999 : 59990, hundredths_)));
}

void TTimeEdit::ShowRangeError() {
    ShowRangeErrorBox(this, RangeErrorText());
}

void TTimeEdit::focusInEvent(QFocusEvent* event) {
    TBvValEdit::focusInEvent(event);
    TakeTyping(*this, event);
}

TClockEdit::TClockEdit(QWidget* parent) : TBvValEdit(parent) {
    setInputMask(QStringLiteral("99:99;_"));
    SetClock(0);
}

void TClockEdit::SetClock(int hhmm) {
    setText(QStringLiteral("%1:%2")
                .arg(hhmm / 100, 2, 10, QLatin1Char('0'))
                .arg(hhmm % 100, 2, 10, QLatin1Char('0')));
    setCursorPosition(0);
}

int TClockEdit::Clock() const {
    const std::string s = Filled(*this);
    if (s.size() < 5) return 0;
    auto d = [&](std::size_t i) { return s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : 0; };
    return (d(0) * 10 + d(1)) * 100 + d(3) * 10 + d(4);
}

bool TClockEdit::IsValidChar(QChar c) const {
    return IsMaskChar(c);
}

bool TClockEdit::IsValid() const {
    const int hhmm = Clock();
    return hhmm / 100 <= 23 && hhmm % 100 <= 59;
}

void TClockEdit::ShowRangeError() {
    ShowRangeErrorBox(this, RangeErrorText());
}

void TClockEdit::focusInEvent(QFocusEvent* event) {
    TBvValEdit::focusInEvent(event);
    TakeTyping(*this, event);
}

} // namespace vm::ui
