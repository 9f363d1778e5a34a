// The pieces every data dialog is built from: radio groups, spin edits that check
// their range, the OK/Abbrechen bar, the hint, the busy state, and the data dialog
// whose OK checks its edits first.
#pragma once

#include "model/VmBasis.h"
#include "model/VmWettk.h"
#include "ui/BvValEdit.h"

#include <QDialog>
#include <QGroupBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringList>

#include <functional>

class QBoxLayout;
class QButtonGroup;
class QDialogButtonBox;
class QListWidget;
class QPushButton;

namespace vm::ui {

// A titled group of radio buttons, one of which is chosen; the items are laid out
// row by row in the given number of columns. The arrow keys choose the neighbouring
// item (left/right in the row, up/down in the column) and keep the focus on it.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent);
    int Count() const;
    // The chosen item, -1 when none is.
    int ItemIndex() const;
    // An index outside the items chooses the fallback instead (a damaged file must not
    // leave the group without a choice).
    void SetItemIndex(int index, int fallback = 0);
    QRadioButton* Button(int index) const;

Q_SIGNALS:
    void indexChanged(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QButtonGroup* group_;
    int columns_ = 1;
};

// A spin edit that, like the value edits, does not let the user leave it with a text
// that is no value in its range (except towards Cancel): it says so and takes the
// focus back instead of silently going back to the previous value.
class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    TSpinEdit(int minValue, int maxValue, QWidget* parent);
    bool IsValid() const { return hasAcceptableInput(); }
    QString RangeErrorText() const;
    void ShowRangeError();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    TExitCheck exitCheck_;
};

// A form's hint: its tool tip and its status tip.
void SetHint(QWidget* widget, const QString& hint);
// OK and "Abbrechen" at the foot of the dialog: OK runs accept(), Abbrechen reject().
QDialogButtonBox* AddOkCancel(QDialog& dialog, QBoxLayout& layout);
// The first spin edit whose text is no value in its range shows the range error and
// takes the focus, and the answer is false.
bool CheckSpinBoxes(QWidget* form);
// What a data dialog checks before it accepts: its value edits, then its spin boxes.
bool CheckDataForm(QWidget* form);
// A list of the competition's age class names, the one at select (clamped) chosen.
void FillAgeClassList(QListWidget& list, const TWettkampf& c, int select);
// The age class chosen in such a list, or none.
TAltersklasse* SelectedAgeClass(const QListWidget& list, const TWettkampf& c);

// The document's busy state ("Warten") while it lives.
class TBusyGuard {
public:
    TBusyGuard() { SetBusy(true); }
    ~TBusyGuard() { SetBusy(false); }
    TBusyGuard(const TBusyGuard&) = delete;
    TBusyGuard& operator=(const TBusyGuard&) = delete;
};

// The button that Enter presses in the dialog, wherever the focus is (a list dialog's
// edit button); no other push button of the dialog is the default any more.
void SetDefaultButton(QDialog& dialog, QPushButton* button);

// Enter or Return on the widget runs the action instead of confirming the dialog.
void OnEnterKey(QWidget* widget, std::function<void()> action);

// A data dialog: OK checks the value edits and spin edits first and leaves the
// dialog open when one of them is out of range.
class TDataDlg : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
    void accept() override;
};

} // namespace vm::ui
