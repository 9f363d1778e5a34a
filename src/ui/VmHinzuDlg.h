// The settings for merging another competition file into the open one.
#pragma once

#include "operations/VmMerge.h"

#include "ui/VmDlgKit.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;

namespace vm::ui {

class THinzufuegenDlg : public TDataDlg {
    Q_OBJECT
public:
    THinzufuegenDlg(QWidget* parent, const TMergeSettings& s);
    // On OK s holds the options, the Gliederung code (empty: none) and the number of
    // places that become directly qualified (0: none).
    static bool Open(QWidget* parent, TMergeSettings& s);
    TMergeSettings Settings() const;

private:
    std::array<QCheckBox*, 5> options_{};
    QCheckBox* changeGliederung_;
    QComboBox* gliederung_;
    QCheckBox* setQualified_;
    TSpinEdit* qualify_;
};

} // namespace vm::ui
