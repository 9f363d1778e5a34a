// The dialogs of the competition operations: qualification, heat and lane assignment,
// the HLW schedule, reset and strike. Each shows the settings of one run and hands
// them back on OK; the run itself is the core's.
#pragma once

#include "operations/VmAuswahl.h"
#include "operations/VmHLW.h"
#include "operations/VmLauf.h"
#include "operations/VmQuali.h"
#include "ui/VmDlgKit.h"

#include <array>

class QCheckBox;
class QGroupBox;

namespace vm::ui {

class TBvNumEdit;
class TClockEdit;

class TQualifikationDlg : public TDataDlg {
    Q_OBJECT
public:
    TQualifikationDlg(QWidget* parent, const TQualiSettings& s);
    // s holds the preset on entry (the quota: three times the lanes), the choice on OK.
    static bool Open(QWidget* parent, TQualiSettings& s);
    TQualiSettings Settings() const;

private:
    TSpinEdit* quota_;
    TRadioGroup* mode_;
};

class TLaufbesetzungDlg : public TDataDlg {
    Q_OBJECT
public:
    TLaufbesetzungDlg(QWidget* parent, const THeatSettings& s);
    static bool Open(QWidget* parent, THeatSettings& s);
    THeatSettings Settings() const;

private:
    std::array<QCheckBox*, 5> options_{};
    TSpinEdit* heat_;
    TSpinEdit* position_;
};

class THLWLaufbesetzungDlg : public TDataDlg {
    Q_OBJECT
public:
    THLWLaufbesetzungDlg(QWidget* parent, const THLWSettings& s);
    static bool Open(QWidget* parent, THLWSettings& s);
    THLWSettings Settings() const;
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The start time must be a time of day; false (after saying so, with the focus
    // back in the field) when it is not.
    bool CheckStartTime();

    TClockEdit* start_;
    TSpinEdit* station_;
    TBvNumEdit* duration_;
    TSpinEdit* measures_;
    QCheckBox* block_;
    bool startCheckPending_ = false;
};

class TZuruecksetzenDlg : public TDataDlg {
    Q_OBJECT
public:
    explicit TZuruecksetzenDlg(QWidget* parent);
    // On OK the set of the checked boxes.
    static bool Open(QWidget* parent, TResetSet& items);
    TResetSet Items() const;

private:
    void ShowOption(int option);

    static constexpr int kItems = 21;
    QGroupBox* group_;
    std::array<QCheckBox*, kItems> boxes_{};
    // What the user last ticked while in the mode "&Individuell".
    std::array<bool, kItems> individual_{};
    TRadioGroup* option_;
};

class TStreichenDlg : public TDataDlg {
    Q_OBJECT
public:
    explicit TStreichenDlg(QWidget* parent);
    static bool Open(QWidget* parent, int& mode);
    int Mode() const;

private:
    TRadioGroup* mode_;
};

} // namespace vm::ui
