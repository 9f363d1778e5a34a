#include "ui/VmMain.h"

#include "model/VmBasis.h"
#include "ui/VmAutosave.h"
#include "ui/VmFind.h"
#include "ui/VmFrozenGrid.h"
#include "ui/VmGridModel.h"
#include "ui/VmInfo.h"
#include "journal/VmStepJournal.h"
#include "ui/VmLive.h"
#include "ui/VmLogDlg.h"
#include "ui/VmMeldDlg.h"
#include "ui/VmMeldungsliste.h"
#include "ui/VmUiSeam.h"

#include "ui/VmAkDlg.h"
#include "ui/VmLaufEingabeDlg.h"
#include "ui/VmOpsCmd.h"
#include "ui/VmPrintCmd.h"
#include "ui/VmPruefungDlg.h"
#include "ui/VmRekDlg.h"
#include "ui/VmTeilnDlg.h"
#include "ui/VmWkDlg.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>

namespace vm::ui {

namespace {

const QString kTitle = QStringLiteral("Velmora");
const QString kLoadFailed = QStringLiteral("Fehler beim Laden der Datei.");
const QString kSaveFailed = QStringLiteral("Fehler beim Speichern der Datei.");
const QString kSkipped = QStringLiteral("übersprungen.");

// The system's reason in the program's language; the system's own text where we have
// none of ours.
QString SystemErrorText(int error) {
    switch (error) {
    case 0:
        return QStringLiteral("Unbekannter Fehler");
    case EACCES:
    case EPERM:
        return QStringLiteral("Keine Berechtigung");
    case ENOENT:
        return QStringLiteral("Datei oder Verzeichnis nicht gefunden");
    case ENOTDIR:
        return QStringLiteral("Ein Teil des Pfades ist kein Verzeichnis");
    case EISDIR:
        return QStringLiteral("Ist ein Verzeichnis");
    case ENOSPC:
        return QStringLiteral("Kein Speicherplatz mehr auf dem Gerät");
    case EDQUOT:
        return QStringLiteral("Speicherkontingent überschritten");
    case EFBIG:
        return QStringLiteral("Datei zu groß");
    case EROFS:
        return QStringLiteral("Nur lesbares Dateisystem");
    case EIO:
        return QStringLiteral("Ein-/Ausgabefehler");
    case ENAMETOOLONG:
        return QStringLiteral("Dateiname zu lang");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}
const QString kGeometryKey = QStringLiteral("Hauptfenster/Geometrie");

QKeySequence Keys(QKeyCombination key) {
    return QKeySequence(key);
}
QKeySequence Keys(Qt::Key key) {
    return QKeySequence(key);
}

// An entry of the save dialog's filter: the file type and the extension a name
// without one gets.
struct TSaveEntry {
    TFileType type;
    const char* suffix;
};

// The entry of the filter index as the dialog counts it (1 the first); "Alle Dateien"
// writes a copy of the result file.
TSaveEntry SaveEntryOfFilter(int filterIndex) {
    static const TSaveEntry kEntries[] = {{TFileType::Ergebnis, "ERG"}, {TFileType::Dbf, "DBF"},
                                          {TFileType::Xls, "XLS"},      {TFileType::Html, "HTM"},
                                          {TFileType::Pdf, "PDF"},      {TFileType::Text, "CSV"},
                                          {TFileType::Xlsx, "XLSX"},    {TFileType::Kopie, "ERG"}};
    return kEntries[qBound(1, filterIndex, 8) - 1];
}

} // namespace

TMainForm::TMainForm(const QString& fileName, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setMinimumSize(200, 150);
    setAcceptDrops(true);
    live_ = new TLiveResults(this, [this] {
        const QString name = doc_->IsUnnamed() ? QString() : QString::fromStdString(doc_->FileName());
        return std::pair<const TWettkampf*, QString>(&doc_->Competition(), name);
    });
    live_->SetLastChangeSource([this] { return lastChange_; });
    connect(live_, &TLiveResults::statusMessage, this, &TMainForm::ShowStatus);
    BuildActions();
    BuildMenus();
    BuildToolBar();
    BuildCentral();
    BuildStatus();
    FindHelpFile();
    InstallHooks();

    autosave_ = new TAutosave(this);
    connect(autosave_, &TAutosave::written, this, [this](const QDateTime& when) {
        autosaveIndicator_->setText(QStringLiteral("Gesichert %1").arg(when.toString("HH:mm")));
        autosaveIndicator_->setToolTip(QString::fromStdString(autosave_->CopyFile()));
    });
    connect(autosave_, &TAutosave::failed, this, [this](const QString& reason) {
        ShowStatus(QStringLiteral("Sicherungskopie konnte nicht geschrieben werden (%1); "
                                  "neuer Versuch folgt.")
                       .arg(reason));
    });

    doc_ = std::make_unique<TVmFile>();
    doc_->SetReplacedHook([this] { DocumentReplaced(); });
    StartHistory();
    UpdateCaption();
    // A file that cannot be read leaves the new unnamed competition open; the document
    // has said why.
    if (!fileName.isEmpty() && QFileInfo(fileName).isFile()) OpenDocument(fileName);
    SelectAgeClass(0);
    // The size of the last run, or a laptop-sized start; either inside the screen.
    const QRect remembered = QSettings().value(kGeometryKey).toRect();
    if (remembered.isValid())
        setGeometry(ClampToScreen(remembered, this));
    else
        FitToScreen(*this, QSize(1100, 680));
}

TMainForm::~TMainForm() {
    // The window goes with its document: a closed window leaves no copy behind. After a
    // crash the destructor never runs, and the copy is there for the next start.
    if (autosave_) autosave_->Discard();
    if (doc_) doc_->SetReplacedHook({});
    SetMessageHook({});
    SetProgressHook({});
    while (busy_)
        SetBusy(false);
}

// ---- building the window -------------------------------------------------------------

QAction* TMainForm::MakeAction(const QString& name, const QString& text, const QKeySequence& key,
                               void (TMainForm::*slot)()) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    if (slot) connect(a, &QAction::triggered, this, slot);
    addAction(a); // shortcuts work whether or not a menu shows the command
    return a;
}

void TMainForm::BuildActions() {
    MakeAction("actNeu", "&Neu...", {}, &TMainForm::CmdNew)
        ->setStatusTip("Neue Meisterschaft anlegen");
    MakeAction("actOeffnen", "Ö&ffnen...", Keys(Qt::Key_F3), &TMainForm::CmdOpen)
        ->setStatusTip("Wettkampf öffnen");
    connect(MakeAction("actSpeichern", "&Speichern", Keys(Qt::Key_F2), nullptr),
            &QAction::triggered, this, [this] { CmdSave(); });
    connect(MakeAction("actSpeichernUnter", "&Speichern unter...", {}, nullptr),
            &QAction::triggered, this, [this] { CmdSaveAs(); });
    MakeAction("actDrucken", "&Drucken...", Keys(Qt::Key_F4), nullptr);
    MakeAction("actDruckerEinrichten", "Drucker &einrichten...", {}, nullptr);
    Wire("actDrucken", [this] { CmdDrucken(*this); });
    Wire("actDruckerEinrichten", [this] { CmdDruckerEinrichten(*this); });
    connect(MakeAction("actBeenden", "&Beenden", Keys(Qt::ALT | Qt::Key_X), nullptr),
            &QAction::triggered, this, &QWidget::close);

    auto* undo = MakeAction("actRueckgaengig", "&Rückgängig", Keys(Qt::CTRL | Qt::Key_Z),
                            &TMainForm::CmdUndo);
    undo->setStatusTip("Den letzten Befehl zurücknehmen");
    auto* redo = MakeAction("actWiederherstellen", "&Wiederherstellen", Keys(Qt::CTRL | Qt::Key_Y),
                            &TMainForm::CmdRedo);
    redo->setShortcuts({Keys(Qt::CTRL | Qt::Key_Y), Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    redo->setStatusTip("Den zurückgenommenen Befehl wiederholen");
    MakeAction("actProtokoll", "&Änderungsprotokoll...", {}, &TMainForm::CmdJournal)
        ->setStatusTip("Alle gespeicherten Änderungen an dieser Datei anzeigen");
    MakeAction("actMeldebogen", "&Meldebogen erstellen...", {}, nullptr)
        ->setStatusTip("Eine Arbeitsmappe erstellen, in der die Vereine ihre Meldungen eintragen");
    Wire("actMeldebogen", [this] { CmdMeldebogen(*this); });

    auto* cut = MakeAction("actAusschneiden", "&Ausschneiden", Keys(Qt::CTRL | Qt::Key_Delete),
                           &TMainForm::CmdCut);
    cut->setShortcuts({Keys(Qt::CTRL | Qt::Key_Delete), Keys(Qt::CTRL | Qt::Key_X)});
    auto* copy = MakeAction("actKopieren", "&Kopieren", Keys(Qt::CTRL | Qt::Key_Insert),
                            &TMainForm::CmdCopy);
    copy->setShortcuts({Keys(Qt::CTRL | Qt::Key_Insert), Keys(Qt::CTRL | Qt::Key_C)});
    auto* paste = MakeAction("actEinfuegen", "&Einfügen", Keys(Qt::SHIFT | Qt::Key_Insert),
                             &TMainForm::CmdPaste);
    paste->setShortcuts({Keys(Qt::SHIFT | Qt::Key_Insert), Keys(Qt::CTRL | Qt::Key_V)});
    auto* del = MakeAction("actLoeschen", "&Löschen", Keys(Qt::Key_Delete), &TMainForm::CmdDelete);
    MakeAction("actSuchen", "&Suchen...", Keys(Qt::CTRL | Qt::Key_S), &TMainForm::CmdFind);
    MakeAction("actTeilnehmerEinfuegen", "Teil&nehmer einfügen...", Keys(Qt::Key_Insert),
               &TMainForm::CmdNewParticipant);
    auto* edit = MakeAction("actTeilnehmerBearbeiten", "&Teilnehmerdaten bearbeiten...",
                            Keys(Qt::Key_Return), &TMainForm::CmdEditParticipant);
    edit->setShortcuts({Keys(Qt::Key_Return), Keys(Qt::Key_Enter)});
    // Hidden in the menu; its shortcut opens the heat view.
    MakeAction("actLaufAnzeigen", "Lau&f anzeigen...", Keys(Qt::CTRL | Qt::ALT | Qt::Key_L),
               nullptr);
    Wire("actLaufAnzeigen", [this] { CmdLaufAnzeigen(*this); });
    rowActions_ = {cut, copy, del, edit};

    MakeAction("actWettkampfdaten", "&Wettkampfdaten...", Keys(Qt::ALT | Qt::Key_W),
               &TMainForm::CmdCompetitionData);
    MakeAction("actAltersklassen", "&Altersklassen...", Keys(Qt::ALT | Qt::Key_A),
               &TMainForm::CmdAgeClasses);
    MakeAction("actGliederungen", "&Gliederungen...", Keys(Qt::ALT | Qt::Key_G), nullptr);
    MakeAction("actRekorde", "&Rekorde...", Keys(Qt::ALT | Qt::Key_R), &TMainForm::CmdRecords);
    MakeAction("actQualifikation", "&Qualifikation...", Keys(Qt::ALT | Qt::Key_Q), nullptr);
    MakeAction("actLaufbesetzung", "&Laufbesetzung...", Keys(Qt::ALT | Qt::Key_L), nullptr);
    MakeAction("actZuruecksetzen", "&Zurücksetzen...", Keys(Qt::ALT | Qt::Key_Z), nullptr);
    MakeAction("actStreichen", "&Streichen...", Keys(Qt::ALT | Qt::Key_S), nullptr);
    MakeAction("actHLW", "HLW Laufeinteilung...", {}, nullptr);
    MakeAction("actLaufeingabe", "Zeiten nach &Läufen eingeben...", Keys(Qt::CTRL | Qt::Key_L),
               nullptr)
        ->setStatusTip("Zeiten und Strafpunkte Lauf für Lauf eingeben");
    MakeAction("actPruefen", "&Daten prüfen...", Keys(Qt::CTRL | Qt::Key_D), nullptr)
        ->setStatusTip("Fehlende und widersprüchliche Angaben im Wettkampf suchen");
    Wire("actGliederungen", [this] { CmdGliederungen(*this); });
    Wire("actQualifikation", [this] { CmdQualifikation(*this); });
    Wire("actLaufbesetzung", [this] { CmdLaufbesetzung(*this); });
    Wire("actZuruecksetzen", [this] { CmdZuruecksetzen(*this); });
    Wire("actStreichen", [this] { CmdStreichen(*this); });
    Wire("actHLW", [this] { CmdHLWLaufbesetzung(*this); });
    Wire("actLaufeingabe", [this] { CmdLaufeingabe(*this); });
    Wire("actPruefen", [this] {
        TPruefungDlg::Open(this, doc_->Competition(), [this](TAltersklasse* ac, TTeilnehmer* p) {
            const int i = doc_->Competition().IndexOf(ac);
            if (i < 0) return;
            SelectAgeClass(i);
            SelectParticipant(ac, p);
        });
    });

    helpAction_ = MakeAction("actRegelwerk", "&Regelwerk 1999...", Keys(Qt::CTRL | Qt::Key_R),
                             &TMainForm::CmdHelp);
    helpAction_->setStatusTip("Informationen zum Regelwerk 1999 der Velbund");
    helpAction_->setToolTip("Informationen zum Regelwerk 1999 der Velbund");
    MakeAction("actTips", "&Tips und Tricks...", Keys(Qt::ALT | Qt::Key_T), &TMainForm::CmdTips);
    MakeAction("actInfo", "Inf&o...", {}, &TMainForm::CmdAbout);

    // Commands that only the pop-up menus name; their keys work everywhere in the window.
    MakeAction("actAkEinfuegen", "Altersklasse einfügen...", Keys(Qt::ALT | Qt::Key_Insert),
               &TMainForm::CmdInsertAgeClass);
    auto* akEdit = MakeAction("actAkBearbeiten", "Altersklassendaten bearbeiten...",
                              Keys(Qt::ALT | Qt::Key_Return), &TMainForm::CmdEditAgeClass);
    akEdit->setShortcuts({Keys(Qt::ALT | Qt::Key_Return), Keys(Qt::ALT | Qt::Key_Enter)});
    MakeAction("actAkLoeschen", "Altersklasse löschen...", Keys(Qt::ALT | Qt::Key_Delete),
               &TMainForm::CmdDeleteAgeClass);
    MakeAction("actImportieren", "Importieren...", Keys(Qt::CTRL | Qt::Key_I), nullptr)
        ->setShortcuts({Keys(Qt::CTRL | Qt::Key_I), Keys(Qt::CTRL | Qt::Key_F3)});
    Wire("actImportieren", [this] { CmdImportieren(*this); });
    connect(MakeAction("actNaechsteAk", "Nächste Altersklasse", Keys(Qt::ALT | Qt::Key_N), nullptr),
            &QAction::triggered, this, [this] { CmdNextAgeClass(1); });
    connect(MakeAction("actVorigeAk", "Vorige Altersklasse", Keys(Qt::ALT | Qt::Key_V), nullptr),
            &QAction::triggered, this, [this] { CmdNextAgeClass(-1); });
}

void TMainForm::Wire(const QString& name, std::function<void()> command) {
    QAction* a = Action(name);
    a->disconnect(this);
    connect(a, &QAction::triggered, this, [command = std::move(command)] { command(); });
}

QAction* TMainForm::Action(const QString& name) const {
    return findChild<QAction*>(name);
}

void TMainForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* datei = bar->addMenu("&Datei");
    for (auto n : {"actNeu", "actOeffnen", "actSpeichern", "actSpeichernUnter"})
        datei->addAction(Action(n));
    datei->addSeparator();
    datei->addAction(Action("actMeldebogen"));
    datei->addAction(Action("actProtokoll"));
    datei->addSeparator();
    datei->addAction(live_->PublishAction());
    datei->addAction(live_->ServeAction());
    datei->addSeparator();
    datei->addAction(Action("actDrucken"));
    datei->addAction(Action("actDruckerEinrichten"));
    datei->addSeparator();
    datei->addAction(Action("actBeenden"));

    QMenu* bearb = bar->addMenu("&Bearbeiten");
    bearb->addAction(Action("actRueckgaengig"));
    bearb->addAction(Action("actWiederherstellen"));
    bearb->addSeparator();
    for (auto n : {"actAusschneiden", "actKopieren", "actEinfuegen", "actLoeschen"})
        bearb->addAction(Action(n));
    bearb->addSeparator();
    bearb->addAction(Action("actSuchen"));
    bearb->addSeparator();
    bearb->addAction(Action("actTeilnehmerEinfuegen"));
    bearb->addAction(Action("actTeilnehmerBearbeiten"));

    QMenu* wk = bar->addMenu("Wett&kampf");
    wk->setObjectName("menuWettkampf");
    for (auto n : {"actWettkampfdaten", "actAltersklassen", "actGliederungen", "actRekorde"})
        wk->addAction(Action(n));
    wk->addSeparator();
    for (auto n :
         {"actQualifikation", "actLaufbesetzung", "actZuruecksetzen", "actStreichen", "actHLW"})
        wk->addAction(Action(n));
    wk->addSeparator();
    wk->addAction(Action("actLaufeingabe"));
    wk->addAction(Action("actPruefen"));

    QMenu* hilfe = bar->addMenu("&Hilfe");
    hilfe->addAction(helpAction_);
    helpSeparator_ = hilfe->addSeparator();
    hilfe->addAction(Action("actTips"));
    hilfe->addAction(Action("actInfo"));

    // The pop-up menus show their own texts; the keys belong to the window's commands.
    auto popup = [this](QMenu* m, const QString& text, const QString& target) {
        QAction* t = Action(target);
        auto* a = m->addAction(text);
        a->setShortcut(t->shortcut());
        a->setShortcutContext(Qt::WidgetShortcut);
        connect(a, &QAction::triggered, t, &QAction::trigger);
        connect(t, &QAction::enabledChanged, a, &QAction::setEnabled);
        return a;
    };
    gridMenu_ = new QMenu(this);
    popup(gridMenu_, "Altersklasse einfügen...", "actAkEinfuegen");
    popup(gridMenu_, "Altersklassendaten bearbeiten...", "actAkBearbeiten");
    popup(gridMenu_, "Altersklasse löschen...", "actAkLoeschen");
    gridMenu_->addSeparator();
    popup(gridMenu_, "Teilnehmer &einfügen...", "actTeilnehmerEinfuegen");
    popup(gridMenu_, "Teilnehmerdaten &bearbeiten...", "actTeilnehmerBearbeiten");
    popup(gridMenu_, "Teilnehmer &löschen...", "actLoeschen");
    gridMenu_->addSeparator();
    popup(gridMenu_, "Importieren...", "actImportieren")->setShortcut(Keys(Qt::CTRL | Qt::Key_I));

    windowMenu_ = new QMenu(this);
    popup(windowMenu_, "&Wettkampfdaten...", "actWettkampfdaten");
    popup(windowMenu_, "&Altersklassen...", "actAltersklassen");
    popup(windowMenu_, "&Gliederungen...", "actGliederungen");
    popup(windowMenu_, "&Rekorde...", "actRekorde");
    windowMenu_->addSeparator();
    popup(windowMenu_, "Importieren...", "actImportieren")
        ->setShortcut(Keys(Qt::CTRL | Qt::Key_F3));
}

void TMainForm::BuildToolBar() {
    QToolBar* bar = addToolBar("Schalterleiste");
    bar->setObjectName("SpeedBar");
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonFollowStyle);
    struct Button {
        const char* action;
        const char* text;
        const char* icon;
    };
    // The sections "Datei", "Bearbeiten", "Wettkampf", "Optionen", "Fenster", "Hilfe".
    const std::vector<std::vector<Button>> sections = {
        {{"actNeu", "Neu", "document-new"},
         {"actOeffnen", "Öffnen", "document-open"},
         {"actSpeichern", "Speichern", "document-save"},
         {"actDruckerEinrichten", "Druckereinrichtung", "document-print-preview"},
         {"actDrucken", "Drucken", "document-print"},
         {"actBeenden", "Beenden", "application-exit"}},
        {{"actAusschneiden", "Ausschneiden", "edit-cut"},
         {"actKopieren", "Kopieren", "edit-copy"},
         {"actEinfuegen", "Einfügen", "edit-paste"},
         {"actSuchen", "Suchen", "edit-find"}},
        {{"actWettkampfdaten", "Einstellungen", "preferences-system"}},
        {{"actInfo", "Über", "help-about"}},
    };
    const bool themed = !QIcon::themeName().isEmpty() && QIcon::hasThemeIcon("document-open");
    for (std::size_t s = 0; s < sections.size(); ++s) {
        if (s) bar->addSeparator();
        for (const Button& b : sections[s]) {
            QAction* target = Action(b.action);
            auto* a = new QAction(QString::fromUtf8(b.text), bar);
            a->setObjectName(QStringLiteral("btn") + QString::fromUtf8(b.text));
            a->setToolTip(QString::fromUtf8(b.text));
            a->setStatusTip(target->statusTip().isEmpty() ? QString::fromUtf8(b.text)
                                                          : target->statusTip());
            if (themed) a->setIcon(QIcon::fromTheme(b.icon));
            connect(a, &QAction::triggered, target, &QAction::trigger);
            connect(target, &QAction::enabledChanged, a, &QAction::setEnabled);
            bar->addAction(a);
        }
    }
    bar->setToolButtonStyle(themed ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly);
}

void TMainForm::BuildCentral() {
    auto* panel = new QWidget(this);
    panel->setObjectName("MainPanel");
    panel->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(panel, &QWidget::customContextMenuRequested, this,
            [this, panel](const QPoint& p) { windowMenu_->popup(panel->mapToGlobal(p)); });

    label1_ = new QLabel(panel);
    label1_->setObjectName("Label1");
    QFont big = label1_->font();
    big.setPointSizeF(big.pointSizeF() * 1.35);
    big.setBold(true);
    label1_->setFont(big);
    label2_ = new QLabel(panel);
    label2_->setObjectName("Label2");
    for (QLabel* l : {label1_, label2_}) {
        l->installEventFilter(this);
        l->setStatusTip("Doppelklick öffnet die Wettkampfdaten");
    }

    tabs_ = new QTabBar(panel);
    tabs_->setObjectName("AgeTabSet");
    tabs_->setExpanding(false);
    tabs_->setUsesScrollButtons(true);
    tabs_->setDocumentMode(true);
    tabs_->setFocusPolicy(Qt::NoFocus);
    tabs_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int i) {
        if (i >= 0 && i != current_) SelectAgeClass(i);
    });
    connect(tabs_, &QTabBar::tabBarDoubleClicked, this, [this](int) { CmdEditAgeClass(); });
    connect(tabs_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { gridMenu_->popup(tabs_->mapToGlobal(p)); });

    model_ = new TParticipantModel(this);
    grid_ = new TFrozenGrid(panel);
    grid_->setObjectName("DrawGrid");
    grid_->setModel(model_);
    grid_->setItemDelegate(new TGridDelegate(grid_));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid_->setAlternatingRowColors(true);
    grid_->setWordWrap(false);
    grid_->setCornerButtonEnabled(false);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(qMax(20, grid_->fontMetrics().height() + 6));
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid_->horizontalHeader()->setDefaultSectionSize(50);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->horizontalHeader()->setStretchLastSection(false);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    grid_->installEventFilter(this);
    grid_->setStyleSheet("QTableView::item:selected:!active { background: palette(highlight); "
                         "color: palette(highlighted-text); }");
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { gridMenu_->popup(grid_->viewport()->mapToGlobal(p)); });
    connect(grid_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex&) { CmdEditParticipant(); });
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& now, const QModelIndex& before) {
                if (now.row() != before.row()) grid_->viewport()->update();
                RedrawStatus();
                UpdateCommandState();
            });

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 6, 8, 0);
    layout->setSpacing(4);
    layout->addWidget(label1_);
    layout->addWidget(label2_);
    layout->addSpacing(4);
    layout->addWidget(tabs_);
    layout->addWidget(grid_, 1);
    setCentralWidget(panel);
    grid_->setFocus();
}

void TMainForm::BuildStatus() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusPanel");
    bar->setSizeGripEnabled(true);
    statusLine_ = new QLabel(bar);
    statusLine_->setObjectName("StatusLine");
    statusLine_->setToolTip("Anzeige für Programmhinweise");
    infoIndicator_ = new QLabel(bar);
    infoIndicator_->setObjectName("InfoIndicator");
    infoIndicator_->setToolTip(
        "Anzeige von Infos z.B. Teilnehmeranzahl in Altersklasse und Wettkampf");
    modifiedIndicator_ = new QLabel(bar);
    modifiedIndicator_->setObjectName("ModifiedIndicator");
    modifiedIndicator_->setToolTip("Anzeige, ob die Datei geändert wurde");
    autosaveIndicator_ = new QLabel(bar);
    autosaveIndicator_->setObjectName("AutosaveIndicator");
    activityIndicator_ = new QLabel("Bereit", bar);
    activityIndicator_->setObjectName("ActivityIndicator");
    activityIndicator_->setToolTip("Anzeige über den Programmstatus");
    const int w = fontMetrics().horizontalAdvance("00000/00000/00000") + 16;
    infoIndicator_->setMinimumWidth(w);
    modifiedIndicator_->setMinimumWidth(fontMetrics().horizontalAdvance("Geändert") + 16);
    activityIndicator_->setMinimumWidth(fontMetrics().horizontalAdvance("Warten") + 16);
    for (QLabel* l : {infoIndicator_, modifiedIndicator_, activityIndicator_})
        l->setAlignment(Qt::AlignCenter);
    bar->addWidget(statusLine_, 1);
    bar->addPermanentWidget(infoIndicator_);
    bar->addPermanentWidget(autosaveIndicator_);
    bar->addPermanentWidget(modifiedIndicator_);
    bar->addPermanentWidget(activityIndicator_);
}

void TMainForm::FindHelpFile() {
    const QString own = QCoreApplication::applicationFilePath() + ".HLP";
    const QString rules = QCoreApplication::applicationDirPath() + "/REGELW99.HLP";
    if (QFileInfo(own).isFile())
        helpFile_ = own;
    else if (QFileInfo(rules).isFile())
        helpFile_ = rules;
    const bool have = !helpFile_.isEmpty();
    helpAction_->setEnabled(have);
    helpAction_->setVisible(have);
    helpSeparator_->setVisible(have);
}

void TMainForm::InstallHooks() {
    SetMessageHook([this](const std::string& textOem) {
        if (commandDepth_ > 0)
            queuedMessages_.push_back(textOem);
        else
            ShowBox(this, TBoxKind::Information, FromOem(textOem), QMessageBox::Ok, kTitle);
    });
    TProgress progress;
    progress.busy = [this](bool b) { SetBusy(b); };
    SetProgressHook(progress);
}

// ---- the gate --------------------------------------------------------------------------

bool TMainForm::RunCommand(const QString& label, const std::function<void(TWettkampf&)>& change,
                           TStepKind kind) {
    return Gate(label, kind, [&] { change(doc_->Competition()); });
}

bool TMainForm::RunReplace(const QString& label, std::unique_ptr<TWettkampf> copy,
                           TStepKind kind) {
    return Gate(label, kind, [&] { doc_->SetCompetition(std::move(copy)); });
}

bool TMainForm::Gate(const QString& label, TStepKind kind, const std::function<void()>& change) {
    // A command started from within another one is part of it.
    if (commandDepth_ > 0) {
        change();
        return true;
    }
    SetBusy(true);
    ++commandDepth_;
    const TCursor before = CaptureCursor();
    const TAltersklasse* keepClass = CurrentAgeClassPtr();
    const TTeilnehmer* keepRow = CurrentParticipant();
    bool changed = false;
    try {
        change();
        TSnapshot after = TSnapshot::Take(doc_->Competition(), &history_.Current());
        changed = !after.SameAs(history_.Current());
        if (changed) {
            // The user stays with the participant he worked on, wherever the ranking put it.
            TCursor now = before;
            const TWettkampf& c = doc_->Competition();
            for (int i = 0; i < c.Count(); ++i)
                if (c.At(i) == keepClass) {
                    now.ageClass = i;
                    for (int r = 0; r < c.At(i)->Count(); ++r)
                        if (c.At(i)->At(r) == keepRow) now.row = r;
                }
            const TChangedClasses changedClasses = ChangedClasses(history_.Current(), after);
            const std::time_t stamp = std::time(nullptr);
            for (std::size_t i : changedClasses.inB)
                if (static_cast<int>(i) < c.Count()) lastChange_[c.At(static_cast<int>(i))->Name()] = stamp;
            history_.Push(label.toStdString(), std::move(after), before, now, std::move(notes_));
        }
        notes_.clear();
    } catch (...) {
        notes_.clear();
        // Back to the state before the change, whatever it managed to do.
        if (auto restored = history_.Current().Restore()) doc_->SetCompetition(std::move(restored));
        doc_->SetModified(!history_.AtSaved());
        --commandDepth_;
        current_ = before.ageClass;
        RedrawAll();
        SetCurrentRow(before.row);
        FlushMessages();
        SetBusy(false);
        throw;
    }
    --commandDepth_;
    if (changed) {
        doc_->SetModified(!history_.AtSaved());
        autosave_->Schedule(history_.Current(), doc_->IsUnnamed() ? std::string() : doc_->FileName(),
                            kind == TStepKind::Whole);
        ShowStatus({});
        live_->DocumentChanged();
    }
    // Views first: the messages below may run an event loop that repaints them.
    RedrawAll();
    UpdateUndoActions();
    FlushMessages();
    SetBusy(false);
    return changed;
}

TCursor TMainForm::CaptureCursor() const {
    return {current_, CurrentRow()};
}

void TMainForm::StartHistory() {
    history_.Reset(TSnapshot::Take(doc_->Competition()), {0, 0});
    savedState_ = history_.Current();
    journalReported_ = false;
    lastChange_ = doc_->IsUnnamed() ? std::map<std::string, std::time_t>{}
                                    : LastChangeOfFile(doc_->FileName());
    live_->DocumentChanged();
    autosave_->Discard();
    UpdateUndoActions();
}

void TMainForm::DocumentReplaced() {
    // Called the moment the competition object is replaced: nothing may point into the
    // old one any more, even before the next redraw.
    model_->SetAgeClass(nullptr, nullptr);
}

void TMainForm::ShowState(const THistoryState& state) {
    SetBusy(true);
    if (auto c = state.snapshot.Restore()) doc_->SetCompetition(std::move(c));
    doc_->SetModified(!history_.AtSaved());
    current_ = state.cursor.ageClass;
    RedrawAll();
    SetCurrentRow(state.cursor.row);
    if (const TTeilnehmer* p = CurrentParticipant()) SelectParticipant(CurrentAgeClassPtr(), p);
    autosave_->Schedule(history_.Current(), doc_->IsUnnamed() ? std::string() : doc_->FileName(),
                        true);
    UpdateUndoActions();
    live_->DocumentChanged();
    FlushMessages();
    SetBusy(false);
}

void TMainForm::CmdUndo() {
    if (!history_.CanUndo() || commandDepth_ > 0) return;
    const QString label = QString::fromStdString(history_.UndoLabel());
    const TCursor here = CaptureCursor();
    ShowState(history_.Undo(here));
    ShowStatus(QStringLiteral("Rückgängig: %1").arg(label));
}

void TMainForm::CmdRedo() {
    if (!history_.CanRedo() || commandDepth_ > 0) return;
    const QString label = QString::fromStdString(history_.RedoLabel());
    const TCursor here = CaptureCursor();
    ShowState(history_.Redo(here));
    ShowStatus(QStringLiteral("Wiederhergestellt: %1").arg(label));
}

void TMainForm::UpdateUndoActions() {
    QAction* undo = Action("actRueckgaengig");
    QAction* redo = Action("actWiederherstellen");
    if (!undo || !redo) return;
    undo->setEnabled(history_.CanUndo());
    redo->setEnabled(history_.CanRedo());
    undo->setText(history_.CanUndo()
                      ? QStringLiteral("&Rückgängig: %1").arg(QString::fromStdString(history_.UndoLabel()))
                      : QStringLiteral("&Rückgängig"));
    redo->setText(history_.CanRedo() ? QStringLiteral("&Wiederherstellen: %1")
                                           .arg(QString::fromStdString(history_.RedoLabel()))
                                     : QStringLiteral("&Wiederherstellen"));
}

void TMainForm::ShowStatus(const QString& text) {
    statusLine_->setText(text);
}

QString TMainForm::StatusText() const {
    return statusLine_->text();
}

void TMainForm::SetAutosaveDelay(int milliseconds) {
    autosave_->SetDelay(milliseconds);
}

void TMainForm::FlushMessages() {
    if (commandDepth_ > 0) return;
    // A message may itself arrive while an earlier one is shown.
    while (!queuedMessages_.empty()) {
        std::string m = std::move(queuedMessages_.front());
        queuedMessages_.erase(queuedMessages_.begin());
        const QString text = FromOem(m);
        // A merge names every entry it skipped: one list instead of a box each.
        if (text.endsWith(kSkipped)) {
            QStringList skipped{text};
            while (!queuedMessages_.empty() && FromOem(queuedMessages_.front()).endsWith(kSkipped)) {
                skipped << FromOem(queuedMessages_.front());
                queuedMessages_.erase(queuedMessages_.begin());
            }
            if (skipped.size() > 1) {
                ShowMessageList(this, kTitle,
                                QStringLiteral("%1 Einträge wurden übersprungen:").arg(skipped.size()),
                                skipped);
                continue;
            }
        }
        // A file that could not be read or written is named, with the reason.
        if ((text == kLoadFailed || text == kSaveFailed) && !failureFile_.isEmpty()) {
            const QString reason =
                failureError_ ? SystemErrorText(failureError_)
                : text == kLoadFailed
                    ? QStringLiteral("Die Datei ist beschädigt oder keine Ergebnisdatei.")
                    : SystemErrorText(0);
            ShowBox(this, TBoxKind::Warning,
                    text + "\n" + QFileInfo(failureFile_).fileName() + ": " + reason,
                    QMessageBox::Ok, kTitle);
            continue;
        }
        ShowBox(this, TBoxKind::Information, text, QMessageBox::Ok, kTitle);
    }
}

void TMainForm::SetBusy(bool busy) {
    if (busy) {
        if (busy_++ == 0) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            activityIndicator_->setText("Warten");
            activityIndicator_->repaint();
        }
    } else if (busy_ > 0 && --busy_ == 0) {
        QApplication::restoreOverrideCursor();
        activityIndicator_->setText("Bereit");
    }
}

// ---- redraw ----------------------------------------------------------------------------

const TAltersklasse* TMainForm::CurrentAgeClassPtr() const {
    if (!doc_) return nullptr;
    const TWettkampf& c = doc_->Competition();
    return current_ >= 0 && current_ < c.Count() ? c.At(current_) : nullptr;
}

QTableView* TMainForm::Grid() const {
    return grid_;
}

int TMainForm::CurrentRow() const {
    const QModelIndex i = grid_->currentIndex();
    return i.isValid() ? i.row() : 0;
}

const TTeilnehmer* TMainForm::CurrentParticipant() const {
    const TAltersklasse* ac = CurrentAgeClassPtr();
    const int row = CurrentRow();
    return ac && row >= 0 && row < ac->Count() ? ac->At(row) : nullptr;
}

void TMainForm::UpdateCaption() {
    setWindowTitle(QStringLiteral("%1 - %2").arg(kTitle, QString::fromStdString(doc_->FileName())));
}

void TMainForm::SelectAgeClass(int index) {
    current_ = index;
    RedrawAll();
    // The switch is told at once, not only when the mouse next rests on the grid.
    statusLine_->setText(grid_->statusTip());
}

void TMainForm::RedrawAll() {
    if (!doc_) return;
    const TWettkampf& c = doc_->Competition();
    label1_->setText(FromOem(c.Header.Veranstaltung.Get()) + " - " +
                     (IsSingleCompetition(c) ? "Einzelwettbewerbe" : "Mannschaftswettbewerbe"));
    label2_->setText(FromOem(c.Header.Veranstalter.Get()));

    if (current_ < 0 || current_ >= c.Count())
        current_ = c.Count() > 0 ? qBound(0, current_, c.Count() - 1) : 0;
    {
        const QSignalBlocker block(tabs_);
        QStringList names;
        for (const TAltersklasse& ac : c)
            names << FromOem(ac.Name());
        while (tabs_->count() > names.size())
            tabs_->removeTab(tabs_->count() - 1);
        for (int i = 0; i < names.size(); ++i) {
            if (i < tabs_->count()) {
                if (tabs_->tabText(i) != names[i]) tabs_->setTabText(i, names[i]);
            } else {
                tabs_->addTab(names[i]);
            }
        }
        if (c.Count() > 0) tabs_->setCurrentIndex(current_);
    }
    RedrawGrid();
    RedrawStatus();
    UpdateCommandState();
}

void TMainForm::RedrawGrid() {
    const int keep = CurrentRow();
    const TAltersklasse* ac = CurrentAgeClassPtr();
    model_->SetAgeClass(&doc_->Competition(), ac);
    int pointSize = grid_->font().pointSize();
    if (pointSize <= 0) pointSize = QFontInfo(grid_->font()).pointSize();
    const auto& cols = model_->Columns();
    for (int i = 0; i < static_cast<int>(cols.size()); ++i)
        grid_->setColumnWidth(i, cols[static_cast<std::size_t>(i)].widthChars * pointSize);
    // Place and name stay in view while the disciplines scroll: every column up to the
    // last name column.
    int frozen = 0;
    for (int i = 0; i < static_cast<int>(cols.size()); ++i) {
        const std::string& key = cols[static_cast<std::size_t>(i)].key;
        if (key == "NAME" || key == "VORNAME" || key == "MANNSCHAFT") frozen = i + 1;
    }
    grid_->SetFrozenColumns(frozen);
    SetCurrentRow(keep);
}

void TMainForm::SetCurrentRow(int row) {
    const int rows = model_->rowCount();
    if (rows == 0) return;
    row = qBound(0, row, rows - 1);
    const QModelIndex idx = model_->index(row, model_->columnCount() > 1 ? 1 : 0);
    grid_->selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect);
}

void TMainForm::RedrawStatus() {
    if (!doc_) return;
    const TWettkampf& c = doc_->Competition();
    modifiedIndicator_->setText(doc_->Modified() ? "Geändert" : "");
    int total = 0;
    for (const TAltersklasse& ac : c)
        total += ac.Count();
    const TAltersklasse* ac = CurrentAgeClassPtr();
    const int inClass = ac ? ac->Count() : 0;
    const int row = CurrentRow();
    if (ac && row < inClass)
        infoIndicator_->setText(QStringLiteral("%1/%2/%3").arg(row + 1).arg(inClass).arg(total));
    else
        infoIndicator_->setText(QStringLiteral("%1/%2").arg(inClass).arg(total));
    if (ac) {
        const QString hint = QStringLiteral("Anzeige der Altersklasse %1 (%2 - %3)")
                                 .arg(FromOem(ac->Name()))
                                 .arg(ac->Data.JahrgangVon)
                                 .arg(ac->Data.JahrgangBis);
        grid_->setToolTip(hint);
        grid_->setStatusTip(hint);
        tabs_->setToolTip("Altersklasse auswählen");
        tabs_->setStatusTip(hint);
    }
}

void TMainForm::UpdateCommandState() {
    const bool onParticipant = CurrentParticipant() != nullptr;
    for (QAction* a : rowActions_)
        a->setEnabled(onParticipant);
}

void TMainForm::SelectParticipant(const TAltersklasse* ac, const TTeilnehmer* p) {
    if (!ac || !p) return;
    int i = ac->IndexOf(p);
    i = qBound(0, i, qMax(0, ac->Count() - 1));
    const int last = model_->columnCount() - 1;
    const QModelIndex first = model_->index(i, last >= 1 ? 1 : 0);
    grid_->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    grid_->selectionModel()->select(QItemSelection(first, model_->index(i, last)),
                                    QItemSelectionModel::ClearAndSelect);
    grid_->scrollTo(first);
    RedrawStatus();
    UpdateCommandState();
}

// ---- events ----------------------------------------------------------------------------

bool TMainForm::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        statusLine_->setText(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* e) {
    // Enter on the empty new-participant row, where editing is disabled, adds one.
    if (watched == grid_ && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
            k->modifiers() == Qt::NoModifier) {
            CmdEditParticipant();
            return true;
        }
    }
    if ((watched == label1_ || watched == label2_) && e->type() == QEvent::MouseButtonDblClick) {
        CmdCompetitionData();
        return true;
    }
    return QMainWindow::eventFilter(watched, e);
}

void TMainForm::closeEvent(QCloseEvent* e) {
    if (SaveQuery()) {
        QSettings().setValue(kGeometryKey, normalGeometry());
        e->accept();
    } else {
        e->ignore();
    }
}

void TMainForm::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* e) {
    QString last;
    for (const QUrl& u : e->mimeData()->urls())
        if (u.isLocalFile()) last = u.toLocalFile();
    if (last.isEmpty()) return;
    e->acceptProposedAction();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    OpenDocument(last);
}

// ---- documents -------------------------------------------------------------------------

bool TMainForm::SaveQuery() {
    if (!doc_ || !doc_->Modified()) return true;
    const auto answer = ShowBox(this, TBoxKind::Warning,
                                QStringLiteral("Die Datei ´%1´ wurde geändert. Speichern?")
                                    .arg(QString::fromStdString(doc_->FileName())),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) return CmdSave() && !doc_->Modified();
    return answer == QMessageBox::No;
}

bool TMainForm::OpenDocument(const QString& fileName) {
    if (!SaveQuery()) return false;
    SetBusy(true);
    ++commandDepth_;
    failureFile_ = fileName;
    ResetSystemError();
    const bool ok = doc_->Open(fileName.toStdString());
    failureError_ = LastSystemError();
    --commandDepth_;
    if (ok) {
        current_ = 0;
        StartHistory();
        UpdateCaption();
    }
    // The grid shows the new competition before any message can repaint it.
    RedrawAll();
    SetCurrentRow(0);
    FlushMessages();
    failureFile_.clear();
    SetBusy(false);
    return ok;
}

void TMainForm::CmdNew() {
    int year = CurrentYear();
    int code = 0;
    if (!TFileNewDlg::Open(this, year, code)) return;
    if (!SaveQuery()) return;
    SetBusy(true);
    ++commandDepth_;
    doc_->New(code, year);
    --commandDepth_;
    current_ = 0;
    StartHistory();
    UpdateCaption();
    RedrawAll();
    FlushMessages();
    SetBusy(false);
}

void TMainForm::CmdOpen() {
    TFileRequest req;
    req.caption = "Wettkampf öffnen";
    req.filter = "Ergebnisdateien (*.ERG);;Alle Dateien (*)";
    req.defaultSuffix = "ERG";
    const QString name = AskFileName(this, req);
    if (!name.isEmpty()) OpenDocument(name);
}

bool TMainForm::SaveTo(const std::function<bool()>& save) {
    SetBusy(true);
    ++commandDepth_;
    ResetSystemError();
    const bool ok = save();
    failureError_ = LastSystemError();
    --commandDepth_;
    if (ok) {
        WriteJournal();
        history_.MarkSaved();
        autosave_->Discard();
        live_->DocumentSaved();
    }
    doc_->SetModified(!history_.AtSaved());
    UpdateCaption();
    RedrawStatus();
    FlushMessages();
    failureFile_.clear();
    SetBusy(false);
    return ok;
}

bool TMainForm::CmdSave() {
    if (doc_->IsUnnamed()) return CmdSaveAs();
    const QString name = QString::fromStdString(doc_->FileName());
    if (doc_->ChangedOnDisk() &&
        ShowBox(this, TBoxKind::Warning,
                QStringLiteral("Die Datei ´%1´ wurde außerhalb von Velmora geändert. "
                               "Trotzdem überschreiben?")
                    .arg(name),
                QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    failureFile_ = name;
    return SaveTo([this] { return doc_->Save(); });
}

bool TMainForm::CmdSaveAs() {
    TFileRequest req;
    req.save = true;
    req.caption = "Wettkampf speichern unter";
    req.filter = "Ergebnisdateien (*.ERG);;dBase (*.DBF);;Excel (*.XLS);;HTML Datei (*.HTM);;"
                 "PDF Datei (*.PDF);;Textdateien (*.CSV);;Excel-Arbeitsmappe (*.XLSX);;"
                 "Alle Dateien (*)";
    req.defaultSuffix = "ERG";
    req.filterIndex = 1;
    QString name = AskFileName(this, req);
    if (name.isEmpty()) return false;
    const TSaveEntry entry = SaveEntryOfFilter(req.filterIndex);
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".") + entry.suffix;
    if (ExportWouldOverwriteResult(QFile::encodeName(name).toStdString(), entry.type)) {
        ShowBox(this, TBoxKind::Warning,
                QStringLiteral("%1 ist eine Ergebnisdatei.\nEin Export überschreibt keine "
                               "Ergebnisdatei; bitte wählen Sie einen anderen Dateinamen.")
                    .arg(name));
        return false;
    }
    if (QFileInfo::exists(name) &&
        ShowBox(this, TBoxKind::Warning,
                QStringLiteral("%1 existiert bereits.\nMöchten Sie die Datei ersetzen?").arg(name),
                QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    return SaveUnder(name, entry.type);
}

bool TMainForm::SaveUnder(const QString& name, TFileType fileType) {
    return SaveAsWithOptions(*this, name, fileType);
}

bool TMainForm::SaveDocumentAs(const QString& fileName, TFileType type, const TSaveOptions& options) {
    const bool asDocument = type == TFileType::Ergebnis;
    if (!asDocument) {
        // An export leaves the document, its history and its modified flag alone.
        SetBusy(true);
        ++commandDepth_;
        failureFile_ = fileName;
        ResetSystemError();
        const bool ok = doc_->SaveAs(QFile::encodeName(fileName).toStdString(), type, options);
        failureError_ = LastSystemError();
        --commandDepth_;
        FlushMessages();
        failureFile_.clear();
        SetBusy(false);
        return ok;
    }
    failureFile_ = fileName;
    return SaveTo([&] {
        return doc_->SaveAs(QFile::encodeName(fileName).toStdString(), type, options);
    });
}

// ---- editing ---------------------------------------------------------------------------

void TMainForm::CmdCopy() {
    const QModelIndexList sel = grid_->selectionModel()->selectedIndexes();
    if (!sel.isEmpty()) {
        int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
        for (const QModelIndex& i : sel) {
            top = qMin(top, i.row());
            bottom = qMax(bottom, i.row());
            left = qMin(left, i.column());
            right = qMax(right, i.column());
        }
        QString text;
        for (int r = top; r <= bottom; ++r) {
            for (int col = left; col <= right; ++col)
                text += model_->CellText(r, col) + '\t';
            text += "\r\n";
        }
        QGuiApplication::clipboard()->setText(text);
    }
    if (const TTeilnehmer* p = CurrentParticipant()) clip_ = *p;
}

void TMainForm::CmdCut() {
    const int ac = current_;
    const TTeilnehmer* p = CurrentParticipant();
    if (!p) return;
    CmdCopy();
    RunCommand("Ausschneiden", [&](TWettkampf& c) {
        TAltersklasse* cls = c.At(ac);
        cls->Free(cls->At(cls->IndexOf(p)));
        RecalcAgeClass(*cls);
    });
}

void TMainForm::CmdPaste() {
    const int ac = current_;
    if (!CurrentAgeClassPtr()) return;
    TTeilnehmer* raw = nullptr;
    RunCommand("Einfügen", [&](TWettkampf& c) {
        TAltersklasse* cls = c.At(ac);
        auto p = CopyParticipant(clip_);
        // It now belongs to this age class, whichever it was copied from.
        p->Altersklasse.Set(cls->Name());
        raw = p.get();
        cls->InsertParticipant(std::move(p));
    });
    if (raw) SelectParticipant(CurrentAgeClassPtr(), raw);
}

void TMainForm::CmdDelete() {
    const int ac = current_;
    const TTeilnehmer* p = CurrentParticipant();
    if (!p) return;
    const QString who = IsSingleCompetition(doc_->Competition())
                            ? FromOem(p->Name()) + ", " + FromOem(p->Vorname())
                            : FromOem(p->Mannschaft());
    if (ShowBox(this, TBoxKind::Warning,
                QStringLiteral("Möchten Sie den Teilnehmer ´%1´ löschen?").arg(who),
                QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    RunCommand("Teilnehmer löschen", [&](TWettkampf& c) {
        TAltersklasse* cls = c.At(ac);
        cls->Free(cls->At(cls->IndexOf(p)));
        RecalcAgeClass(*cls);
    });
}

void TMainForm::CmdFind() {
    if (!findDlg_) {
        findDlg_ = new TFindDlg(this);
        connect(findDlg_, &TFindDlg::findNext, this, &TMainForm::CmdFindNext);
    }
    findDlg_->show();
    findDlg_->raise();
    findDlg_->activateWindow();
    findDlg_->TextEdit()->setFocus();
    findDlg_->TextEdit()->selectAll();
}

void TMainForm::CmdFindNext() {
    if (!findDlg_ || !doc_) return;
    const TWettkampf& c = doc_->Competition();
    int flags = findDlg_->Flags();
    if (IsSingleCompetition(c)) flags |= fdIndividual;
    TFindPosition pos{current_, CurrentRow()};
    if (FindParticipant(c, ToOem(findDlg_->Text()), flags, pos)) {
        current_ = pos.ageClass;
        RedrawAll();
        SelectParticipant(c.At(pos.ageClass), c.At(pos.ageClass)->At(pos.participant));
    } else {
        ShowBox(findDlg_, TBoxKind::Information,
                QStringLiteral("Suchtext '%1' nicht gefunden.").arg(findDlg_->Text()),
                QMessageBox::Ok, kTitle);
    }
}

void TMainForm::CmdNewParticipant() {
    const TAltersklasse* cur = CurrentAgeClassPtr();
    if (!cur) return;
    const int ac = current_;
    auto p = NewParticipant();
    p->Altersklasse.Set(cur->Name());
    if (IsFemale(*cur)) p->SetFlag(tnWeiblich, true);
    if (!TTeilnehmerDlg::Open(this, doc_->Competition(), *p)) return;
    TTeilnehmer* raw = p.get();
    RunCommand("Teilnehmer einfügen", [&](TWettkampf& c) { c.At(ac)->InsertParticipant(std::move(p)); });
    SelectParticipant(CurrentAgeClassPtr(), raw);
}

void TMainForm::CmdEditParticipant() {
    const TTeilnehmer* p = CurrentParticipant();
    if (!CurrentAgeClassPtr()) return;
    if (!p) {
        CmdNewParticipant();
        return;
    }
    // The dialog edits a copy; the participant itself changes only in the gate.
    TTeilnehmer edited = *p;
    if (!TTeilnehmerDlg::Open(this, doc_->Competition(), edited)) return;
    const int ac = current_;
    RunCommand("Teilnehmerdaten bearbeiten", [&](TWettkampf& c) {
        TAltersklasse* cls = c.At(ac);
        TTeilnehmer* target = cls->At(cls->IndexOf(p));
        *target = edited;
        RecalcAgeClass(*cls);
    });
    SelectParticipant(CurrentAgeClassPtr(), p);
}

// ---- competition and age classes -------------------------------------------------------

void TMainForm::CmdCompetitionData() {
    if (!doc_) return;
    TWettkampfHeader header = doc_->Competition().Header;
    if (!TWettkampfDatenDlg::Open(this, doc_->Competition(), header)) return;
    RunCommand("Wettkampfdaten", [&](TWettkampf& c) {
        c.Header = header;
        // The hundredths setting changes every time text; the totals stay.
        for (TAltersklasse& ac : c)
            RecalcAgeClass(ac);
    });
}

void TMainForm::CmdAgeClasses() {
    if (!doc_) return;
    int index = current_;
    auto copy = TAltersklassenDlg::Open(this, doc_->Competition(), index);
    if (!copy) return;
    RunReplace("Altersklassen", std::move(copy));
    SelectAgeClass(index);
}

void TMainForm::CmdRecords() {
    if (!doc_) return;
    if (auto copy = TRekordeDlg::Open(this, doc_->Competition())) RunReplace("Rekorde", std::move(copy));
}

void TMainForm::CmdInsertAgeClass() {
    const TAltersklasse* cur = CurrentAgeClassPtr();
    if (!cur) return;
    auto ac = NewAgeClass();
    ac->Data = cur->Data;
    ac->Data.Bezeichnung.Set(cur->Name() + " - neu");
    if (!TAltersklassenDatenDlg::Open(this, doc_->Competition(), ac->Data,
                                      "Altersklassendaten eingeben"))
        return;
    TAltersklasse* raw = ac.get();
    int index = -1;
    RunCommand("Altersklasse einfügen", [&](TWettkampf& c) {
        // Evaluated as a loaded class would be: the bests it took over from the class it
        // was made from belong to that class's participants, not to its own.
        SetAgeClassData(*ac, ac->Data);
        if (c.InsertAgeClass(std::move(ac))) index = c.IndexOf(raw);
    });
    if (index >= 0) SelectAgeClass(index);
}

void TMainForm::CmdEditAgeClass() {
    const TAltersklasse* cur = CurrentAgeClassPtr();
    if (!cur) return;
    TAltersklasseData data = cur->Data;
    if (!TAltersklassenDatenDlg::Open(this, doc_->Competition(), data, "Altersklassendaten ändern"))
        return;
    const int at = current_;
    int index = at;
    RunCommand("Altersklassendaten ändern", [&](TWettkampf& c) {
        TAltersklasse* ac = c.At(at);
        SetAgeClassData(*ac, data);
        c.Sort();
        index = c.IndexOf(ac);
    });
    SelectAgeClass(index);
}

void TMainForm::CmdDeleteAgeClass() {
    const TAltersklasse* cur = CurrentAgeClassPtr();
    if (!cur) return;
    if (!ConfirmDeleteAgeClass(this, doc_->Competition(), *cur)) return;
    const int at = current_;
    RunCommand("Altersklasse löschen", [&](TWettkampf& c) { c.Free(c.At(at)); });
}

void TMainForm::CmdNextAgeClass(int step) {
    if (!doc_) return;
    const int n = doc_->Competition().Count();
    if (n == 0) return;
    SelectAgeClass(((current_ + step) % n + n) % n);
}

// ---- help ------------------------------------------------------------------------------

bool TMainForm::OfferRecovery() {
    // Newest first: one document is taken at a time; the others wait for the next start.
    std::vector<TRecoveryCopy> copies = OrphanedCopies(autosave_->Folder());
    for (auto it = copies.rbegin(); it != copies.rend(); ++it) {
        const TRecoveryCopy& copy = *it;
        const QString name = copy.document.empty() ? QString::fromLatin1(Unbenannt)
                                                   : QString::fromStdString(copy.document);
        std::unique_ptr<TWettkampf> restored;
        {
            // The copy's own load messages are not the user's concern; one message below
            // says what went wrong.
            ++commandDepth_;
            restored = Load(copy.copyFile, TLoadFormat::Ergebnis);
            --commandDepth_;
            queuedMessages_.clear();
        }
        if (!restored) {
            ShowBox(this, TBoxKind::Warning,
                    QStringLiteral("Die Sicherungskopie der Datei ´%1´ kann nicht gelesen werden. "
                                   "Sie wird unter %2 beiseitegelegt.")
                        .arg(name, QString::fromStdString(copy.copyFile)),
                    QMessageBox::Ok, kTitle);
            SetAside(copy);
            continue;
        }
        const auto answer = ShowBox(
            this, TBoxKind::Question,
            QStringLiteral("Velmora wurde nicht ordnungsgemäß beendet. Sollen die nicht "
                           "gespeicherten Änderungen an ´%1´ wiederhergestellt werden?")
                .arg(name),
            QMessageBox::Yes | QMessageBox::No, kTitle);
        if (answer != QMessageBox::Yes) {
            SetAside(copy);
            continue;
        }
        if (!SaveQuery()) return false;
        doc_->SetCompetition(std::move(restored));
        doc_->SetFileName(copy.document);
        current_ = 0;
        history_.Reset(TSnapshot::Take(doc_->Competition()), {0, 0}, false);
        // The journal of the next save tells what the recovered changes did to the file
        // as it is on disk.
        savedState_ = {};
        if (!copy.document.empty() && QFileInfo(name).isFile()) {
            ++commandDepth_;
            if (auto onDisk = Load(copy.document, TLoadFormat::Ergebnis))
                savedState_ = TSnapshot::Take(*onDisk);
            --commandDepth_;
            queuedMessages_.clear();
        }
        autosave_->Discard();
        doc_->SetModified(true);
        // This program's own copy takes over before the old one goes.
        autosave_->Schedule(history_.Current(), copy.document, true);
        RemoveCopy(copy);
        lastChange_ = copy.document.empty() ? std::map<std::string, std::time_t>{}
                                            : LastChangeOfFile(copy.document);
        live_->DocumentChanged();
        UpdateCaption();
        UpdateUndoActions();
        RedrawAll();
        SetCurrentRow(0);
        ShowStatus(QStringLiteral("Nicht gespeicherte Änderungen an ´%1´ wiederhergestellt.").arg(name));
        return true;
    }
    return false;
}

void TMainForm::WriteJournal() {
    std::vector<TJournalEntry> entries =
        JournalSinceSave(history_, savedState_, "Velmora", std::time(nullptr));
    savedState_ = history_.Current();
    if (entries.empty()) return;
    std::string error;
    if (AppendJournal(doc_->FileName(), entries, error)) return;
    // The save itself is done: the journal only says so, once a document.
    const QString text = QStringLiteral("Das Änderungsprotokoll konnte nicht geschrieben werden: %1")
                             .arg(QString::fromStdString(error));
    if (journalReported_) {
        ShowStatus(text);
        return;
    }
    journalReported_ = true;
    ShowBox(this, TBoxKind::Warning, text + QStringLiteral("\nDie Datei wurde gespeichert."),
            QMessageBox::Ok, kTitle);
}

void TMainForm::CmdJournal() {
    if (doc_->IsUnnamed()) {
        ShowBox(this, TBoxKind::Information,
                QStringLiteral("Die Datei ist noch nicht gespeichert: es gibt noch kein "
                               "Änderungsprotokoll."),
                QMessageBox::Ok, kTitle);
        return;
    }
    TProtokollDlg::ShowJournal(this, QString::fromStdString(doc_->FileName()));
}

void TMainForm::CmdHelp() {
    if (!helpFile_.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile_));
}

void TMainForm::CmdTips() {
    TTipsDlg dlg(this);
    ExecDialog(dlg);
}

void TMainForm::CmdAbout() {
    TAboutBox box(this);
    ExecDialog(box);
}

} // namespace vm::ui
