// The records: the list of the age classes with their stored records, and the dialog
// for the previous years' records of one age class.
#pragma once

#include "file/VmWFile.h"
#include "model/VmAk.h"

#include "ui/VmDlgKit.h"

#include <QDialog>

#include <array>
#include <memory>

class QListWidget;

namespace vm::ui {

class TBvFloatEdit;
class TBvNumEdit;
class TTimeEdit;

class TRekordeDlg : public QDialog {
    Q_OBJECT
public:
    // Works on a copy of the competition with its bests brought up to date.
    TRekordeDlg(QWidget* parent, const TWettkampf& c);
    ~TRekordeDlg() override;
    // On OK answers the edited copy; nullptr for Cancel.
    static std::unique_ptr<TWettkampf> Open(QWidget* parent, const TWettkampf& c);

    TWettkampf& Copy() { return *copy_; }
    std::unique_ptr<TWettkampf> TakeCopy() { return std::move(copy_); }

private:
    TAltersklasse* Selected() const;
    void Fill(int select);
    void Edit();
    void Clear();
    void TakeOver();

    std::unique_ptr<TWettkampf> copy_;
    QListWidget* list_;
};

class TRekordDatenDlg : public TDataDlg {
    Q_OBJECT
public:
    TRekordDatenDlg(QWidget* parent, const TAltersklasseData& data, bool withHundredths);
    // On OK the previous years' records are written into data.
    static bool Open(QWidget* parent, TAltersklasseData& data, bool withHundredths);
    void Store(TAltersklasseData& data) const;

private:
    std::array<TTimeEdit*, 5> times_{};
    std::array<TBvNumEdit*, 5> penalties_{};
    TBvFloatEdit* total_;
};

} // namespace vm::ui
