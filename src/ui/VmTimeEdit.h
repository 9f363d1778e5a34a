// Masked edits for times (minutes, seconds, hundredths or tenths) and clock times
// (hours and minutes) as the participant and record dialogs show them. Like the value
// edits they refuse what is no time: a field left with seconds above 59 or an hour
// above 23 says so ("Eingabeprüfung") and takes the focus back, and the form check
// of a dialog finds them as it finds the value edits.
#pragma once

#include "model/VmBasis.h"
#include "ui/BvValEdit.h"

namespace vm::ui {

class TTimeEdit : public TBvValEdit {
    Q_OBJECT
public:
    explicit TTimeEdit(bool withHundredths, QWidget* parent = nullptr);
    // "0:00,00" with hundredths, "0:00,0" without.
    void SetHundredths(bool withHundredths);
    bool Hundredths() const { return hundredths_; }
    void SetTime(TZeit time);
    // Unfilled places count as 0; a text that is no time reads as 0 (the form check
    // refuses it before anything is stored).
    TZeit Time() const;

    bool IsValidChar(QChar c) const override;
    // The text read by the heat-wise entry's parser: seconds 0..59, the competition's
    // hundredths or tenths.
    bool IsValid() const override;
    void ShowRangeError() override;
    QString RangeErrorText() const;

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    bool hundredths_;
};

// "00:00": hours and minutes, stored as hours × 100 + minutes; 00:00 to 23:59.
class TClockEdit : public TBvValEdit {
    Q_OBJECT
public:
    explicit TClockEdit(QWidget* parent = nullptr);
    void SetClock(int hhmm);
    int Clock() const;

    bool IsValidChar(QChar c) const override;
    bool IsValid() const override;
    void ShowRangeError() override;
    QString RangeErrorText() const { return errorText_; }
    // What the field is called in its message ("Anfangszeit" in the HLW dialog).
    void SetRangeErrorText(const QString& text) { errorText_ = text; }

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    QString errorText_ =
        QStringLiteral("Die eingegebene Uhrzeit ist keine gültige Uhrzeit (00:00 bis 23:59).");
};

} // namespace vm::ui
