// The competition data dialog and the new-championship dialog.
#pragma once

#include "model/VmWettk.h"
#include "ui/VmDlgKit.h"

class QCheckBox;
class QLineEdit;

namespace vm::ui {

class TWettkampfDatenDlg : public TDataDlg {
    Q_OBJECT
public:
    TWettkampfDatenDlg(QWidget* parent, const TWettkampf& c);
    // Shows the header of c; on OK its fields are written into `header` (a copy the
    // caller applies).
    static bool Open(QWidget* parent, const TWettkampf& c, TWettkampfHeader& header);
    void Store(TWettkampfHeader& header) const;

private:
    TRadioGroup* art_;
    TRadioGroup* lanes_;
    TRadioGroup* pool_;
    TRadioGroup* stations_;
    QCheckBox* noHundredths_;
    QLineEdit* title_;
    QLineEdit* organiser_;
    QLineEdit* host_;
    QLineEdit* date_;
    QLineEdit* venue_;
};

class TFileNewDlg : public TDataDlg {
    Q_OBJECT
public:
    TFileNewDlg(QWidget* parent, int year);
    // year in and out; presetCode = kind + 2 x age range + 8 with the split age class 12.
    static bool Open(QWidget* parent, int& year, int& presetCode);
    int Year() const;
    int PresetCode() const;

private:
    TSpinEdit* year_;
    TRadioGroup* art_;
    TRadioGroup* range_;
    QCheckBox* split12_;
};

} // namespace vm::ui
