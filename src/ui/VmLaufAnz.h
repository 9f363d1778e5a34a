// The heat view: one heat of one discipline on screen, with the lines of the printed
// heat list.
#pragma once

#include "model/VmWettk.h"
#include "operations/VmAuswahl.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QTabBar;
class QToolButton;

namespace vm::ui {

class TLaufanzeigeDlg : public QDialog {
    Q_OBJECT
public:
    // Shows discipline 1 at its first heat. The view only reads the competition,
    // which must stay as it is while the view is open; the heat shown is the view's
    // own selection.
    TLaufanzeigeDlg(QWidget* parent, const TWettkampf& c);
    ~TLaufanzeigeDlg() override;
    static void Open(QWidget* parent, const TWettkampf& c);

    // Clamps the discipline to 1..5 and the heat to the discipline's heat range, then
    // selects and lists that heat.
    void ShowHeat(int discipline, int heat);
    int Discipline() const { return discipline_; }
    int Heat() const { return heat_; }
    // The participants of the heat shown, in the order of the list.
    const TSelection& Selection() const { return selection_; }

    QTabBar* Tabs() const { return tabs_; }
    QLabel* HeatLabel() const { return heatLabel_; }
    QLabel* Header() const { return header_; }
    QListWidget* List() const { return list_; }

private:
    const TWettkampf& c_;
    TSelection selection_;
    int discipline_ = 1;
    int heat_ = 0;

    QTabBar* tabs_;
    QToolButton* previous_;
    QToolButton* next_;
    QLabel* heatLabel_;
    QLabel* header_;
    QListWidget* list_;
};

} // namespace vm::ui
