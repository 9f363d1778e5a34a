// Times and penalties entered heat by heat: a discipline, a heat of it, one row per
// lane, with one to three timekeepers' watches per lane, files of timing consoles read
// into the heats and start lists written for them. The dialog only reads the
// competition: it collects what is typed in every heat and hands it back on OK, and
// the main window applies it as one change.
#pragma once

#include "operations/VmLaufEingabe.h"
#include "timing/VmZeitmessung.h"

#include <QDialog>
#include <QStringList>

#include <map>
#include <set>
#include <vector>

class QDoubleSpinBox;
class QFontMetrics;
class QModelIndex;
class QFileSystemWatcher;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;
class QTabBar;
class QTableView;

namespace vm::ui {

class TMainForm;
class THeatEntryModel;
class THeatEntryTable;

class TLaufeingabeDlg : public QDialog {
    Q_OBJECT
public:
    // fileName: the result file, under whose name the number of timekeepers is
    // remembered; empty for a competition not saved yet.
    TLaufeingabeDlg(QWidget* parent, const TWettkampf& c, const QString& fileName = QString());
    ~TLaufeingabeDlg() override;

    // Shows the dialog; on OK `results` holds every entry that changes a participant
    // and the answer is true.
    static bool Open(QWidget* parent, const TWettkampf& c, std::vector<TLaufErgebnis>& results,
                     const QString& fileName = QString());

    int Discipline() const { return discipline_; }
    int Heat() const { return heat_; }
    // Leaves the current heat (keeping what was typed) for another one of the same
    // discipline, clamped to the discipline's heats; false while an entry of the current
    // heat cannot be read.
    bool GoToHeat(int heat);
    bool GoToDiscipline(int discipline);
    // Checks the entries of the current heat; false, with a box naming them, while an
    // entry cannot be read.
    bool CheckHeat();
    // What was typed so far that changes a participant, over every heat.
    std::vector<TLaufErgebnis> Results() const;
    QTableView* Table() const;
    THeatEntryModel* Model() const { return model_; }

    // "Zeitnehmer je Bahn" 1..3; fewer only while nothing is typed.
    bool SetWatchCount(int n);
    // "Zeitmessung einlesen…" with the chosen file: its lanes are filled in for the desk
    // to confirm, and the first heat it names is shown.
    bool ReadTiming(const QString& fileName);
    // The start list of the shown discipline for the console.
    bool WriteStartList(const QString& fileName);
    // "Ordner überwachen…": from now on each new file in the folder is offered.
    void WatchFolder(const QString& folder);
    // Looks for new files in the watched folder (the watcher calls it).
    void CheckFolder();

public Q_SLOTS:
    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowDiscipline();
    void ShowHeat(int heat);
    void FocusFirstLane(bool penalty);
    // Enter on the last lane: the next heat with participants is shown, or the focus
    // goes to OK after the last one.
    void NextLaneOrHeat(int row, int column);
    void UpdateHeatItem();
    void EntryChanged();
    void SizeColumns();
    void FitNameColumn();
    int LongestNameWidth(const QFontMetrics& fm) const;
    // Scrolls the lanes so that the field `at` is seen, from the first column where
    // it fits.
    void ShowLaneFromTheLeft(const QModelIndex& at);
    void TakeTiming(const TZeitmessungAbgleich& m, const QString& fileName);
    void ChooseTimingFile();
    void ChooseFolder();
    void ChooseStartList();
    // The line under the lanes: how a typed time reads, or what cannot be read (red).
    void SetMessage(const QString& text, bool bad);
    QString HeatItemText(int heat, const TLaufStand& s) const;
    QListWidgetItem* ItemOf(int heat) const;
    QString SettingsKey() const;

    const TWettkampf& c_;
    QString fileName_;
    int discipline_ = 1;
    int heat_ = 0;
    int firstHeat_ = 0;
    int lastHeat_ = 0;
    std::map<int, TLaufStand> progress_;
    // Heats whose entries were typed or read, per discipline: their progress is counted
    // with what was typed.
    std::set<std::pair<int, int>> visited_;
    std::vector<TLaufErgebnis> results_;
    QString folder_;
    QStringList known_;
    bool checkingFolder_ = false;

    QTabBar* tabs_ = nullptr;
    QSpinBox* spin_ = nullptr;
    QSpinBox* watches_ = nullptr;
    QDoubleSpinBox* limit_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* stand_ = nullptr;
    QLabel* error_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
    THeatEntryTable* table_ = nullptr;
    int nameWidth_ = 0;
    THeatEntryModel* model_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
};

// "Zeiten nach Läufen eingeben..." (Ctrl+L): the dialog on the open competition; on OK
// everything typed is applied through the main window's gate as one change.
void CmdLaufeingabe(TMainForm& form);

} // namespace vm::ui
