// Times and penalties entered heat by heat: a discipline, a heat of it, one row per
// lane. Each heat is applied through the command gate when the user leaves it or
// confirms the dialog; Cancel discards only what was not applied yet.
#pragma once

#include "file/VmWFile.h"
#include "operations/VmLaufEingabe.h"
#include "ui/VmGate.h"

#include <QDialog>

#include <map>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;
class QTabBar;
class QTableView;

namespace vm::ui {

class THeatEntryModel;
class THeatEntryTable;

class TLaufeingabeDlg : public QDialog {
    Q_OBJECT
public:
    TLaufeingabeDlg(QWidget* parent, TVmFile& doc, TCommandGate& gate);
    ~TLaufeingabeDlg() override;

    // Shows the dialog; true when any heat was applied (also after Cancel).
    static bool Open(QWidget* parent, TVmFile& doc, TCommandGate& gate);

    int Discipline() const { return discipline_; }
    int Heat() const { return heat_; }
    // Leaves the current heat (applying it) for another one of the same discipline,
    // clamped to the discipline's heats; false when the current heat cannot be applied.
    bool GoToHeat(int heat);
    bool GoToDiscipline(int discipline);
    // Applies the entries of the current heat; false, with a box naming them, while an
    // entry cannot be read.
    bool ApplyHeat();
    bool AnyApplied() const { return applied_; }
    QTableView* Table() const;

public Q_SLOTS:
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowDiscipline();
    void ShowHeat(int heat);
    void FocusFirstLane(int column);
    // Enter on the last lane: the heat is applied and the next heat with participants
    // shown, or the focus goes to OK after the last one.
    void NextLaneOrHeat(int row, int column);
    void UpdateHeatItem();
    void EntryChanged();
    // The line under the lanes: how a typed time reads, or what cannot be read (red).
    void SetMessage(const QString& text, bool bad);
    QString HeatItemText(int heat, const TLaufStand& s) const;
    QListWidgetItem* ItemOf(int heat) const;

    TVmFile& doc_;
    TCommandGate& gate_;
    int discipline_ = 1;
    int heat_ = 0;
    int firstHeat_ = 0;
    int lastHeat_ = 0;
    bool applied_ = false;
    std::map<int, TLaufStand> progress_;

    QTabBar* tabs_ = nullptr;
    QSpinBox* spin_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* stand_ = nullptr;
    QLabel* error_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
    THeatEntryTable* table_ = nullptr;
    THeatEntryModel* model_ = nullptr;
};

} // namespace vm::ui
