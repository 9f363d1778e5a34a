#include "ui/VmTimeEdit.h"

namespace vm::ui {

namespace {

// The edit's text with every unfilled place as 0.
std::string Filled(const QLineEdit& e) {
    QString s = e.displayText();
    s.replace(QLatin1Char('_'), QLatin1Char('0'));
    s.replace(QLatin1Char(' '), QLatin1Char('0'));
    return s.toStdString();
}

} // namespace

TTimeEdit::TTimeEdit(bool withHundredths, QWidget* parent) : QLineEdit(parent) {
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
}

TZeit TTimeEdit::Time() const {
    return TextToTime(Filled(*this));
}

TClockEdit::TClockEdit(QWidget* parent) : QLineEdit(parent) {
    setInputMask(QStringLiteral("99:99;_"));
    SetClock(0);
}

void TClockEdit::SetClock(int hhmm) {
    setText(QStringLiteral("%1:%2")
                .arg(hhmm / 100, 2, 10, QLatin1Char('0'))
                .arg(hhmm % 100, 2, 10, QLatin1Char('0')));
}

int TClockEdit::Clock() const {
    const std::string s = Filled(*this);
    if (s.size() < 5) return 0;
    auto d = [&](std::size_t i) { return s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : 0; };
    return (d(0) * 10 + d(1)) * 100 + d(3) * 10 + d(4);
}

} // namespace vm::ui
