// The age classes: the list of the competition's age classes, the data of one age
// class, the data of one discipline, and the shift of every class's birth years.
#pragma once

#include "file/VmWFile.h"
#include "model/VmAk.h"

#include "ui/VmDlgKit.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace vm::ui {

class TBvFloatEdit;

// Deleting an age class: the last one is refused with the error box; otherwise the
// question (its text says whether participants go with it). True on Ja.
bool ConfirmDeleteAgeClass(QWidget* parent, const TWettkampf& c, const TAltersklasse& ac);

class TAltersklassenDlg : public QDialog {
    Q_OBJECT
public:
    // Works on a copy of the competition; currentAgeClass is selected.
    TAltersklassenDlg(QWidget* parent, const TWettkampf& c, int currentAgeClass);
    ~TAltersklassenDlg() override;
    // On OK answers the edited copy, and currentAgeClass becomes the selected age
    // class; nullptr for Cancel.
    static std::unique_ptr<TWettkampf> Open(QWidget* parent, const TWettkampf& c,
                                            int& currentAgeClass);

    int SelectedIndex() const;
    std::unique_ptr<TWettkampf> TakeCopy() { return std::move(copy_); }

private:
    TAltersklasse* Selected() const;
    void Fill(int select);
    void New();
    void Change();
    void Delete();
    void ShiftYearsOfAll();

    std::unique_ptr<TWettkampf> copy_;
    QListWidget* list_;
};

class TAltersklassenDatenDlg : public TDataDlg {
    Q_OBJECT
public:
    TAltersklassenDatenDlg(QWidget* parent, const TWettkampf& c, const TAltersklasseData& data,
                           const QString& caption);
    // On OK data takes the dialog's values, the disciplines and records edited in it.
    static bool Open(QWidget* parent, const TWettkampf& c, TAltersklasseData& data,
                     const QString& caption);
    // The dialog's values over the data it was opened with.
    TAltersklasseData Collect() const;
    // Also refuses a first birth year after the last one.
    void accept() override;

private:
    void EditDiscipline(int index);
    void EditRecords();
    void FillDisciplines();

    bool team_;
    bool hundredths_;
    TAltersklasseData work_;
    QComboBox* name_;
    TSpinEdit* from_;
    TSpinEdit* to_;
    TRadioGroup* count_;
    std::array<QCheckBox*, 4> properties_{};
    QListWidget* disciplines_;
};

class TDisziplinDatenDlg : public TDataDlg {
    Q_OBJECT
public:
    TDisziplinDatenDlg(QWidget* parent, const TDisziplin& d, bool team, bool female);
    static bool Open(QWidget* parent, TDisziplin& d, bool team, bool female);
    void Store(TDisziplin& d) const;
    // Also refuses a formula that cannot be evaluated: the message once, the cursor at
    // the fault, the dialog stays open.
    void accept() override;

private:
    QLineEdit* name_;
    TRadioGroup* kind_;
    std::array<TBvFloatEdit*, 5> variables_{};
    QLineEdit* formula_;
};

class TJahrgaengeDlg : public TDataDlg {
    Q_OBJECT
public:
    explicit TJahrgaengeDlg(QWidget* parent);
    // delta: the years to add to every age class's first and last birth year.
    static bool Open(QWidget* parent, int& delta);
    int Delta() const;

private:
    TSpinEdit* delta_;
};

} // namespace vm::ui
