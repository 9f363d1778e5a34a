// The main window: the open competition, a tab per age class, the participant grid,
// the status panels, and every command of the program. Each command that changes the
// document goes through RunCommand, the one gate.
#pragma once

#include "file/VmRecovery.h"
#include "file/VmUndo.h"
#include "file/VmWFile.h"
#include "ui/VmGate.h"

#include <QMainWindow>

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QTabBar;
class QTableView;

namespace vm::ui {

class TFrozenGrid;
class TParticipantModel;
class TFindDlg;
class TAutosave;
class TLiveResults;

class TMainForm : public QMainWindow, public TCommandGate {
    Q_OBJECT
public:
    // Opens the named result file, or a new unnamed competition.
    explicit TMainForm(const QString& fileName = QString(), QWidget* parent = nullptr);
    ~TMainForm() override;

    // Outside the gate the document is only read.
    const TVmFile* Document() const { return doc_.get(); }
    // The PDF information of this run: the PDF option dialogs start from it and keep
    // what the user confirmed there.
    TPdfInfo& PdfInfo() { return pdfInfo_; }
    int CurrentAgeClass() const { return current_; }
    // The grid's current row: 0 the first participant, Count() the new-participant row.
    int CurrentRow() const;
    const TTeilnehmer* CurrentParticipant() const;
    const TAltersklasse* CurrentAgeClassPtr() const;
    QTableView* Grid() const;
    QTabBar* Tabs() const { return tabs_; }
    TFindDlg* FindDialog() const { return findDlg_; }
    QString HelpFile() const { return helpFile_; }
    // Looked up by its object name ("actNeu", "actSpeichern", …) in tests.
    QAction* Action(const QString& name) const;

    // The gate: every change of the document passes here (see TCommandGate).
    bool RunCommand(const QString& label, const std::function<void(TWettkampf&)>& change,
                    TStepKind kind = TStepKind::Edit) override;
    // A list dialog's confirmed copy replaces the competition, as one step.
    bool RunReplace(const QString& label, std::unique_ptr<TWettkampf> copy,
                    TStepKind kind = TStepKind::Edit);

    // A line for the change journal of the command now running in the gate, beside the
    // fields it changes (UTF-8).
    void NoteForJournal(std::string line) { notes_.push_back(std::move(line)); }

    void CmdUndo();
    void CmdRedo();
    const TUndoHistory& History() const { return history_; }
    // Saves or exports under another name; the file name of the document follows a
    // result file saved under a new name.
    bool SaveDocumentAs(const QString& fileName, TFileType type, const TSaveOptions& options);
    // At start-up: offers the recovery copies of programs that ended without saving;
    // answers whether one was taken.
    bool OfferRecovery();
    // The delay between a change and its recovery copy (30 s; tests shorten it).
    void SetAutosaveDelay(int milliseconds);
    TAutosave* Autosave() const { return autosave_; }
    TLiveResults* Live() const { return live_; }
    QString StatusText() const;
    // The program's own line in the status bar (the outcome of a command, the autosave).
    void ShowStatus(const QString& text);

    // Open document: the save query first; a file that cannot be read leaves the
    // window as it was.
    bool OpenDocument(const QString& fileName);
    // The save query: true when the caller may go on.
    bool SaveQuery();
    void SelectAgeClass(int index);
    void SelectParticipant(const TAltersklasse* ac, const TTeilnehmer* p);
    void RedrawAll();
    void SetBusy(bool busy);

    // The commands, as the menus call them.
    void CmdNew();
    void CmdOpen();
    bool CmdSave();
    bool CmdSaveAs();
    void CmdCut();
    void CmdCopy();
    void CmdPaste();
    void CmdDelete();
    void CmdFind();
    void CmdFindNext();
    void CmdNewParticipant();
    void CmdEditParticipant();
    void CmdCompetitionData();
    void CmdAgeClasses();
    void CmdRecords();
    void CmdInsertAgeClass();
    void CmdEditAgeClass();
    void CmdDeleteAgeClass();
    void CmdNextAgeClass(int step);
    void CmdJournal();
    void CmdHelp();
    void CmdTips();
    void CmdAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildCentral();
    void BuildStatus();
    void FindHelpFile();
    void InstallHooks();
    void UpdateCaption();
    void RedrawGrid();
    void RedrawStatus();
    void UpdateCommandState();
    void FlushMessages();
    void SetCurrentRow(int row);
    bool Gate(const QString& label, TStepKind kind, const std::function<void()>& change);
    TCursor CaptureCursor() const;
    void ShowState(const THistoryState& state);
    void StartHistory();
    void UpdateUndoActions();
    void DocumentReplaced();
    bool SaveTo(const std::function<bool()>& save);
    void WriteJournal();
    bool SaveUnder(const QString& name, TFileType fileType);
    // Points the action at a command that lives outside the window.
    void Wire(const QString& name, std::function<void()> command);
    QAction* MakeAction(const QString& name, const QString& text, const QKeySequence& key,
                        void (TMainForm::*slot)());

    std::unique_ptr<TVmFile> doc_;
    TUndoHistory history_;
    // What the result file on disk holds: the journal of the next save starts from it.
    TSnapshot savedState_;
    bool journalReported_ = false;
    TAutosave* autosave_ = nullptr;
    TLiveResults* live_ = nullptr;
    // When each age class (by its stored name) last changed: from the journal of the
    // opened file, then from every step of the gate. The live pages name it.
    std::map<std::string, std::time_t> lastChange_;
    // Made with the window, so that every PDF of one run carries the same creation date.
    TPdfInfo pdfInfo_ = TPdfInfo::Defaults();
    int current_ = 0;
    QString helpFile_;
    // The participant clipboard: one record for the whole run, empty at the start.
    TTeilnehmer clip_{};

    int commandDepth_ = 0;
    std::vector<std::string> notes_;
    // The file a load or save is working on, and the system's reason when it failed:
    // the message "Fehler beim …" names them.
    QString failureFile_;
    int failureError_ = 0;
    std::vector<std::string> queuedMessages_;
    int busy_ = 0;

    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QTabBar* tabs_ = nullptr;
    TFrozenGrid* grid_ = nullptr;
    TParticipantModel* model_ = nullptr;
    QLabel* statusLine_ = nullptr;
    QLabel* infoIndicator_ = nullptr;
    QLabel* modifiedIndicator_ = nullptr;
    QLabel* autosaveIndicator_ = nullptr;
    QLabel* activityIndicator_ = nullptr;
    TFindDlg* findDlg_ = nullptr;
    QMenu* gridMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QAction* helpAction_ = nullptr;
    QAction* helpSeparator_ = nullptr;
    std::vector<QAction*> rowActions_; // enabled exactly when a participant row is current
};

} // namespace vm::ui
