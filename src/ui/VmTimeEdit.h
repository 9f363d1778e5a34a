// Masked edits for times (minutes, seconds, hundredths or tenths) and clock times
// (hours and minutes) as the participant and record dialogs show them.
#pragma once

#include "model/VmBasis.h"

#include <QLineEdit>

namespace vm::ui {

class TTimeEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TTimeEdit(bool withHundredths, QWidget* parent = nullptr);
    // "0:00,00" with hundredths, "0:00,0" without.
    void SetHundredths(bool withHundredths);
    bool Hundredths() const { return hundredths_; }
    void SetTime(TZeit time);
    // Unfilled places count as 0.
    TZeit Time() const;

private:
    bool hundredths_;
};

// "00:00": hours and minutes, stored as hours × 100 + minutes.
class TClockEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TClockEdit(QWidget* parent = nullptr);
    void SetClock(int hhmm);
    int Clock() const;
};

} // namespace vm::ui
