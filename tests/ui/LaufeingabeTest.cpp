// Heat-wise entry and the findings list, driven as the desk drives them: keys into the
// real dialogs, boxes and file dialogs answered through the seam, results read back
// from the core.
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"

#include "file/VmWFile.h"
#include "model/VmRech.h"
#include "operations/VmLauf.h"
#include "support/TestSupport.h"
#include "timing/VmStartliste.h"
#include "ui/VmLaufEingabeDlg.h"
#include "ui/VmLaufEingabeModel.h"
#include "ui/VmMain.h"
#include "ui/VmPruefungDlg.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>

using namespace vm;
using namespace vm::ui;
using vmtest::TSeamScript;

namespace {

// The window hands its document out only to read; a case set up by writing into it
// directly does so outside the gate, as no command of the program may.
vm::TVmFile& MutableDoc(vm::ui::TMainForm& form) {
    return const_cast<vm::TVmFile&>(*form.Document());
}

// The default championship with five entries in its first age class (heat 1, lanes
// 3 2 4 1 5 in name order) and three in its third (heat 2, lanes 3 2 4), no results.
struct TDesk {
    TVmFile doc;
    TAltersklasse* first = nullptr;
    TAltersklasse* third = nullptr;

    explicit TDesk(bool withHeats = true) {
        doc.New(8, 2026);
        TWettkampf& c = doc.Competition();
        c.Header.Optionen = 1; // with hundredths
        first = c.At(0);
        third = c.At(2);
        for (const char* n : {"Adler", "Brandt", "Claus", "Dorn", "Eck"})
            Add(*first, n);
        for (const char* n : {"Fink", "Graf", "Hahn"})
            Add(*third, n);
        if (withHeats) AssignHeats(c, THeatSettings{});
    }
    void Add(TAltersklasse& ac, const std::string& name) {
        auto p = NewParticipant();
        p->SetName(name);
        p->SetVorname("Vorname");
        p->Gliederung.Set("NI");
        p->Altersklasse.Set(ac.Name());
        ac.InsertParticipant(std::move(p));
    }
    TTeilnehmer& P(const std::string& name) {
        for (TAltersklasse& ac : doc.Competition())
            for (TTeilnehmer& p : ac)
                if (p.Name() == name) return p;
        throw std::runtime_error("no " + name);
    }
    // The dialog over the competition; on OK its results are applied as the main
    // window's command would.
    bool Enter(std::vector<TLaufErgebnis>* got = nullptr, const QString& fileName = QString()) {
        std::vector<TLaufErgebnis> results;
        const bool ok = TLaufeingabeDlg::Open(nullptr, doc.Competition(), results, fileName);
        if (got) *got = results;
        if (ok) ApplyHeatResults(results);
        return ok;
    }
};

QWidget* Focus() {
    return QApplication::focusWidget();
}
// Every character goes to whatever has the focus, as typing does.
void Type(const QString& text) {
    for (QChar ch : text)
        QTest::keyClick(Focus(), ch.toLatin1());
}
void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(Focus(), key, mods);
    QCoreApplication::processEvents();
}

TLaufeingabeDlg& Entry(QDialog& d) {
    QApplication::setActiveWindow(&d);
    QCoreApplication::processEvents();
    return static_cast<TLaufeingabeDlg&>(d);
}

QString Text(QDialog& d, const char* label) {
    return d.findChild<QLabel*>(label)->text();
}

QString Cell(TLaufeingabeDlg& d, int row, int col, int role = Qt::DisplayRole) {
    return d.Table()->model()->index(row, col).data(role).toString();
}

QColor Background(TLaufeingabeDlg& d, int row, int col) {
    return d.Table()->model()->index(row, col).data(Qt::BackgroundRole).value<QColor>();
}

// An entry that cannot be read is shown on red.
bool Red(TLaufeingabeDlg& d, int row, int col) {
    return Background(d, row, col) == kBad;
}

QPushButton* Button(QDialog& d, const QString& text) {
    return vmtest::Find<QPushButton>(&d, text);
}

QString HeatItem(QDialog& d, int row) {
    return d.findChild<QListWidget*>("LaufListe")->item(row)->text();
}

// Clicks into a field of the lanes, as the desk does after a setting.
void ClickCell(TLaufeingabeDlg& d, int row, int col) {
    QTableView* t = d.Table();
    const QRect r = t->visualRect(t->model()->index(row, col));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, r.center());
    QCoreApplication::processEvents();
}

const TLaufErgebnis* ResultOf(const std::vector<TLaufErgebnis>& results, const TTeilnehmer& p) {
    for (const TLaufErgebnis& r : results)
        if (r.participant == &p) return &r;
    return nullptr;
}

constexpr int kZeit = 4, kAbzug = 5;

} // namespace

class LaufeingabeTest : public QObject {
    Q_OBJECT

    QTemporaryDir settings_;

private Q_SLOTS:
    void initTestCase() {
        // The remembered number of timekeepers goes to a folder of this run.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.path());
    }

    void wholeHeatByKeyboardIsAppliedOnlyOnOk() {
        TSeamScript seam;
        TDesk desk;
        bool checked = false;
        seam.OnDialog([&](QDialog& dlg) {
            TLaufeingabeDlg& d = Entry(dlg);
            QCOMPARE(d.Discipline(), 1);
            QCOMPARE(d.Heat(), 1);
            QVERIFY(Text(d, "LaufTitel").startsWith("Lauf 1"));
            QCOMPARE(Cell(d, 0, 1), QString("Dorn, Vorname"));
            QCOMPARE(HeatItem(d, 0), QString("Lauf 1: 5 ohne Zeit"));
            QCOMPARE(Focus(), static_cast<QWidget*>(d.Table()));
            // Lane 1 to 5: stopwatch digits, the field's own form, seconds and tenths,
            // a penalty and a status letter in the penalty field.
            Type("3520");
            Key(Qt::Key_Return);
            Type("0:36,10");
            Key(Qt::Key_Tab);
            Type("5");
            Key(Qt::Key_Return);
            Key(Qt::Key_Backtab);
            Type("37,5");
            Key(Qt::Key_Return);
            Type("3400");
            Key(Qt::Key_Tab);
            Type("d");
            Key(Qt::Key_Return);
            Key(Qt::Key_Backtab);
            Type("4100");
            Key(Qt::Key_Return);
            // The last lane's Enter went on to lane 2 of heat 2; nothing was written.
            QCOMPARE(d.Heat(), 2);
            QCOMPARE(d.Table()->currentIndex(), d.Table()->model()->index(1, kZeit));
            QCOMPARE(HeatItem(d, 0), QString("Lauf 1: vollständig"));
            QCOMPARE(Text(d, "LaufStand"), QString("3 ohne Zeit"));
            QCOMPARE(desk.P("Dorn").Zeit[0], 0);
            QCOMPARE(d.Results().size(), std::size_t(5));
            // Back to heat 1: what was typed is still there.
            Key(Qt::Key_PageUp);
            QCOMPARE(Cell(d, 0, kZeit), QString("0:35,20"));
            QCOMPARE(Cell(d, 3, kAbzug), QString("disq."));
            Key(Qt::Key_PageDown);
            Type("3000");
            Key(Qt::Key_Return);
            QTest::mouseClick(Button(d, "OK"), Qt::LeftButton);
            QVERIFY(!d.isVisible());
            checked = true;
        });
        std::vector<TLaufErgebnis> results;
        QVERIFY(desk.Enter(&results));
        QVERIFY(checked);
        QCOMPARE(results.size(), std::size_t(6));

        struct Want {
            const char* name;
            TZeit time;
            TAbzug penalty;
        };
        const Want want[] = {{"Dorn", 3520, 0},
                             {"Brandt", 3610, 5},
                             {"Adler", 3750, 0},
                             {"Claus", 3400, PenaltyCode(TStatus::Disq)},
                             {"Eck", 4100, 0}};
        const TDisziplin& disc = desk.first->Discipline(0);
        for (const Want& w : want) {
            const TTeilnehmer& p = desk.P(w.name);
            QCOMPARE(p.Zeit[0], w.time);
            QCOMPARE(p.Abzug[0], w.penalty);
            QCOMPARE(p.Punkte[0], CalcPoints(w.time, w.penalty, disc));
            QCOMPARE(p.Gesamtpunkte, p.Punkte[0]);
        }
        // Ranked: places follow the totals, the disqualified one last.
        for (int i = 0; i < desk.first->Count(); ++i)
            QCOMPARE(static_cast<int>(desk.first->At(i)->Platz), i + 1);
        QCOMPARE(std::string(desk.first->At(0)->Name()), std::string("Dorn"));
        QCOMPARE(std::string(desk.first->At(4)->Name()), std::string("Claus"));
        // Heat 2, lane 2 holds Graf.
        QCOMPARE(desk.P("Graf").Zeit[0], 3000);
        QCOMPARE(seam.unexpected, 0);
        QVERIFY(seam.boxes.empty());
    }

    void badTimeIsRefusedUntilCorrected() {
        TSeamScript seam;
        TDesk desk;
        seam.OnDialog([&](QDialog& dlg) {
            TLaufeingabeDlg& d = Entry(dlg);
            Type("7599"); // 75 seconds
            Key(Qt::Key_Return);
            QCOMPARE(seam.beeps, 1);
            QCOMPARE(Cell(d, 0, kZeit), QString("7599"));
            QVERIFY(Red(d, 0, kZeit));
            QVERIFY(Text(d, "Meldung").startsWith("Bahn 1 (Dorn, Vorname): die Zeit „7599“"));
            // Leaving the heat is refused with a box that names the entry.
            Key(Qt::Key_PageDown);
            QCOMPARE(seam.boxes.size(), std::size_t(1));
            QVERIFY(seam.boxes[0].text.startsWith("Lauf 1 kann nicht übernommen werden"));
            QVERIFY(seam.boxes[0].text.contains("Bahn 1 (Dorn, Vorname): die Zeit „7599“"));
            QCOMPARE(d.Heat(), 1);
            // OK is refused the same way.
            QTest::mouseClick(Button(d, "OK"), Qt::LeftButton);
            QVERIFY(d.isVisible());
            QCOMPARE(seam.boxes.size(), std::size_t(2));
            // The box put the focus back on the bad field; typing over it corrects it.
            QCOMPARE(d.Table()->currentIndex(), d.Table()->model()->index(0, kZeit));
            Type("3599");
            Key(Qt::Key_Return);
            QVERIFY(!Red(d, 0, kZeit));
            QCOMPARE(Cell(d, 0, kZeit), QString("0:35,99"));
            // Esc inside a field leaves it as it was, and the dialog open.
            Type("12");
            Key(Qt::Key_Escape);
            QVERIFY(d.isVisible());
            QCOMPARE(Cell(d, 1, kZeit), QString());
            Key(Qt::Key_PageDown);
            QCOMPARE(d.Heat(), 2);
            Key(Qt::Key_PageUp);
            QCOMPARE(d.Heat(), 1);
            QCOMPARE(Cell(d, 0, kZeit), QString("0:35,99"));
            QTest::mouseClick(Button(d, "OK"), Qt::LeftButton);
        });
        QVERIFY(desk.Enter());
        QCOMPARE(desk.P("Dorn").Zeit[0], 3599);
        QCOMPARE(desk.P("Brandt").Zeit[0], 0);
        QCOMPARE(seam.unexpected, 0);
    }

    void withoutHeatsTheUnassignedAreEnteredInListOrder() {
        TSeamScript seam;
        TDesk desk(false);
        seam.OnDialog([&](QDialog& dlg) {
            TLaufeingabeDlg& d = Entry(dlg);
            QCOMPARE(d.Heat(), 0);
            QVERIFY(Text(d, "LaufTitel").startsWith("Lauf ungesetzt (0)"));
            QCOMPARE(d.Table()->model()->rowCount(), 8);
            QCOMPARE(Cell(d, 0, 1), QString("Adler, Vorname"));
            QCOMPARE(HeatItem(d, 0), QString("Lauf ungesetzt (0): 8 ohne Zeit"));
            Type("4012");
            Key(Qt::Key_Return);
            // Alt+2: the next discipline; what was typed in discipline 1 stays.
            Key(Qt::Key_2, Qt::AltModifier);
            QCOMPARE(d.Discipline(), 2);
            QCOMPARE(Cell(d, 0, kZeit), QString());
            Type("5020");
            Key(Qt::Key_Tab);
            Type("a");
            Key(Qt::Key_Return);
            Key(Qt::Key_1, Qt::AltModifier);
            QCOMPARE(Cell(d, 0, kZeit), QString("0:40,12"));
            QTest::mouseClick(Button(d, "OK"), Qt::LeftButton);
            QVERIFY(!d.isVisible());
        });
        QVERIFY(desk.Enter());
        const TTeilnehmer& adler = desk.P("Adler");
        QCOMPARE(adler.Zeit[0], 4012);
        QCOMPARE(adler.Zeit[1], 5020);
        QCOMPARE(adler.Abzug[1], PenaltyCode(TStatus::NichtAngetreten));
        QCOMPARE(adler.Punkte[1], 0);
        QCOMPARE(seam.unexpected, 0);
    }

    // A time typed for somebody marked "n.a." replaces the mark: they did start.
    void timeReplacesNotStarted() {
        TSeamScript seam;
        TDesk desk;
        desk.P("Dorn").Abzug[0] = PenaltyCode(TStatus::NichtAngetreten);
        desk.P("Brandt").Abzug[0] = PenaltyCode(TStatus::NichtAngetreten);
        seam.OnDialog([&](QDialog& dlg) {
            TLaufeingabeDlg& d = Entry(dlg);
            QCOMPARE(Cell(d, 0, kAbzug), QString("n.a."));
            Type("3520");
            Key(Qt::Key_Return);
            QCOMPARE(Cell(d, 0, kAbzug), QString());
            QCOMPARE(Background(d, 0, kAbzug), kPending);
            QVERIFY(!Cell(d, 0, 6).isEmpty()); // points shown
            // Lane 2 keeps its mark while only the penalty is typed over.
            QCOMPARE(Cell(d, 1, kAbzug), QString("n.a."));
            QTest::mouseClick(Button(d, "OK"), Qt::LeftButton);
        });
        QVERIFY(desk.Enter());
        QCOMPARE(desk.P("Dorn").Zeit[0], 3520);
        QCOMPARE(desk.P("Dorn").Abzug[0], 0);
        QVERIFY(desk.P("Dorn").Punkte[0] > 0);
        QCOMPARE(desk.P("Brandt").Abzug[0], PenaltyCode(TStatus::NichtAngetreten));
    }

    // Abbrechen after two paged heats asks, and Ja leaves the competition as it was,
    // byte for byte; through the main window, as Ctrl+L opens it.
    void cancelAfterPagedHeatsKeepsTheCompetition() {
        vmtest::TempDir dir;
        const std::string file = dir.File("TAG.ERG");
        {
            TDesk desk;
            QVERIFY(desk.doc.SaveAs(file, TFileType::Ergebnis));
        }
        TSeamScript seam;
        TMainForm form(QString::fromStdString(file));
        form.show();
        QApplication::setActiveWindow(&form);
        form.Grid()->setFocus();
        QCoreApplication::processEvents();
        const std::string before = dir.File("before.ERG");
        QVERIFY(TVmFile(file).SaveAs(before, TFileType::Ergebnis));
        seam.OnDialog([&](QDialog& dlg) {
            TLaufeingabeDlg& d = Entry(dlg);
            Type("3520");
            Key(Qt::Key_Return);
            Type("3610");
            Key(Qt::Key_PageDown);
            QCOMPARE(d.Heat(), 2);
            Key(Qt::Key_Down);
            Type("3000");
            Key(Qt::Key_Return);
            Key(Qt::Key_PageUp);
            QCOMPARE(d.Heat(), 1);
            // Esc asks; Nein keeps the dialog and every entry.
            seam.AnswerBox(QMessageBox::No);
            Key(Qt::Key_Escape);
            QVERIFY(d.isVisible());
            QCOMPARE(seam.LastBoxText(), QString("Eingegebene Zeiten verwerfen?"));
            QCOMPARE(seam.boxes.back().buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(Cell(d, 1, kZeit), QString("0:36,10"));
            seam.AnswerBox(QMessageBox::Yes);
            QTest::mouseClick(Button(d, "Abbrechen"), Qt::LeftButton);
            QVERIFY(!d.isVisible());
        });
        QTest::keyClick(form.Grid(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(seam.dialogTitles.size(), std::size_t(1));
        QCOMPARE(seam.boxes.size(), std::size_t(2));
        QVERIFY(!form.Document()->Modified());
        const std::string after = dir.File("after.ERG");
        QVERIFY(MutableDoc(form).SaveAs(after, TFileType::Ergebnis));
        QCOMPARE(vmtest::ReadFileBytes(after), vmtest::ReadFileBytes(before));
        // Without entries Esc closes at once.
        seam.OnDialog([&](QDialog& dlg) {
            Entry(dlg);
            Key(Qt::Key_Escape);
        });
        form.Action("actLaufeingabe")->trigger();
        QCOMPARE(seam.boxes.size(), std::size_t(2));
        QCOMPARE(seam.unexpected, 0);
        MutableDoc(form).SetModified(false);
    }

    // Three timekeepers per lane, typed lane by lane, confirmed with OK through the main
    // window: the derived times, the marked lane, one change for all of it, and the
    // setting remembered for this file.
    void threeWatchesPerLaneThroughTheMainWindow() {
        vmtest::TempDir dir;
        const std::string file = dir.File("UHREN.ERG");
        {
            TDesk desk;
            QVERIFY(desk.doc.SaveAs(file, TFileType::Ergebnis));
        }
        TSeamScript seam;
        TMainForm form(QString::fromStdString(file));
        form.show();
        QApplication::setActiveWindow(&form);
        form.Grid()->setFocus();
        QCoreApplication::processEvents();
        std::vector<TLaufErgebnis> seen;
        seam.OnDialog([&](QDialog& dlg) {
            TLaufeingabeDlg& d = Entry(dlg);
            QCOMPARE(d.Model()->WatchCount(), 1);
            // Alt+N: the number of timekeepers; two steps up.
            Key(Qt::Key_N, Qt::AltModifier);
            QCOMPARE(Focus(), static_cast<QWidget*>(d.findChild<QSpinBox*>("Zeitnehmer")));
            Key(Qt::Key_Up);
            Key(Qt::Key_Up);
            QCOMPARE(d.Model()->WatchCount(), 3);
            QAbstractItemModel* m = d.Table()->model();
            QCOMPARE(m->headerData(4, Qt::Horizontal).toString(), QString("Uhr 1"));
            QCOMPARE(m->headerData(6, Qt::Horizontal).toString(), QString("Uhr 3"));
            QCOMPARE(m->headerData(7, Qt::Horizontal).toString(), QString("Zeit"));
            QCOMPARE(m->headerData(8, Qt::Horizontal).toString(), QString("Abzug"));
            ClickCell(d, 0, 4);
            // Lane 1: three watches, the middle one counts.
            Type("3530");
            Key(Qt::Key_Tab);
            Type("3510");
            // Two watches so far: their mean.
            QCOMPARE(Text(d, "Meldung"), QString("Bahn 1 (Dorn, Vorname): 0:35,10 – Zeit 0:35,20"));
            Key(Qt::Key_Tab);
            Type("3520");
            // While the third watch is typed, the time it gives is shown.
            QCOMPARE(Text(d, "Meldung"), QString("Bahn 1 (Dorn, Vorname): 0:35,20 – Zeit 0:35,20"));
            Key(Qt::Key_Backspace);
            QCOMPARE(Text(d, "Meldung"), QString("Bahn 1 (Dorn, Vorname): 0:03,52 – Zeit 0:35,10"));
            Type("0");
            Key(Qt::Key_Return);
            QCOMPARE(Cell(d, 0, 7), QString("0:35,20"));
            QCOMPARE(d.Table()->currentIndex(), m->index(1, 4));
            // Lane 2: 0,60 s apart, marked.
            Type("3600");
            Key(Qt::Key_Tab);
            Type("3660");
            Key(Qt::Key_Tab);
            Type("3600");
            Key(Qt::Key_Return);
            QCOMPARE(Cell(d, 1, 7), QString("0:36,00"));
            QCOMPARE(Background(d, 1, 7), kDeviating);
            QCOMPARE(Background(d, 1, 5), kDeviating);
            QVERIFY(Cell(d, 1, 7, Qt::ToolTipRole).contains("0,60 s"));
            // Lane 3: two watches, their mean to the slower hundredth; a penalty.
            Type("3700");
            Key(Qt::Key_Tab);
            Type("3711");
            Key(Qt::Key_Tab);
            Key(Qt::Key_Tab);
            Type("2");
            Key(Qt::Key_Return);
            QCOMPARE(Cell(d, 2, 7), QString("0:37,06"));
            QCOMPARE(Background(d, 2, 7), kPending);
            // Lane 4: one watch left; lane 5 stays empty.
            QCOMPARE(d.Table()->currentIndex(), m->index(3, 8));
            Key(Qt::Key_Backtab);
            Key(Qt::Key_Backtab);
            Key(Qt::Key_Backtab);
            Type("3800");
            Key(Qt::Key_Return);
            QCOMPARE(Cell(d, 3, 7), QString("0:38,00"));
            QCOMPARE(Text(d, "LaufStand"), QString("1 ohne Zeit, 1 abweichend"));
            QCOMPARE(HeatItem(d, 0), QString("Lauf 1: 1 ohne Zeit, 1 abweichend"));
            // Fewer timekeepers while times are typed would change them: refused.
            d.findChild<QSpinBox*>("Zeitnehmer")->setValue(1);
            QCOMPARE(d.Model()->WatchCount(), 3);
            QCOMPARE(seam.boxes.size(), std::size_t(1));
            seen = d.Results();
            QTest::mouseClick(Button(d, "OK"), Qt::LeftButton);
            QVERIFY(!d.isVisible());
        });
        QTest::keyClick(form.Grid(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(seam.dialogTitles.size(), std::size_t(1));
        QVERIFY(form.Document()->Modified());
        TWettkampf& c = MutableDoc(form).Competition();
        auto find = [&](const char* name) -> TTeilnehmer& {
            for (TAltersklasse& ac : c)
                for (TTeilnehmer& p : ac)
                    if (p.Name() == name) return p;
            throw std::runtime_error(name);
        };
        QCOMPARE(find("Dorn").Zeit[0], 3520);
        QCOMPARE(find("Brandt").Zeit[0], 3600);
        QCOMPARE(find("Adler").Zeit[0], 3706);
        QCOMPARE(find("Adler").Abzug[0], 2);
        QCOMPARE(find("Claus").Zeit[0], 3800);
        QCOMPARE(find("Eck").Zeit[0], 0);
        // The watches travel with the results, for the record of the heat.
        QCOMPARE(seen.size(), std::size_t(4));
        const TLaufErgebnis* dorn = ResultOf(seen, find("Dorn"));
        QVERIFY(dorn);
        QCOMPARE(dorn->watches, (TUhren{3530, 3510, 3520}));
        // The grid is ranked with the new times.
        QCOMPARE(form.Grid()->model()->index(0, 4).data().toString(), QString("Dorn"));
        // The next time, this file opens with three timekeepers; another one with one.
        seam.OnDialog([&](QDialog& dlg) {
            TLaufeingabeDlg& d = Entry(dlg);
            QCOMPARE(d.Model()->WatchCount(), 3);
            QCOMPARE(d.Table()->model()->columnCount(), 11);
            d.reject();
        });
        form.Action("actLaufeingabe")->trigger();
        TDesk other;
        seam.OnDialog([&](QDialog& dlg) {
            QCOMPARE(Entry(dlg).Model()->WatchCount(), 1);
            dlg.reject();
        });
        other.Enter(nullptr, QString::fromStdString(dir.File("ANDERE.ERG")));
        QCOMPARE(seam.unexpected, 0);
        MutableDoc(form).SetModified(false);
    }

    // "Zeitmessung einlesen…": a console's file fills its heat for the desk to confirm;
    // what it cannot place is listed in one box. A folder being watched offers each new
    // file. The start list goes out through its button.
    void consoleFilesInAndStartListOut() {
        vmtest::TempDir dir;
        TSeamScript seam;
        TDesk desk;
        // Heat 2: Graf on lane 2, Fink on lane 3, Hahn on lane 4.
        const std::string console = dir.File("Lauf2.csv");
        vmtest::WriteFileBytes(console, "Heat,Lane,Time,Backup1,Backup2,Status\r\n"
                                        "2,2,40.10,40.30,40.20,\r\n"
                                        "2,3,41.00,41.50,,\r\n"
                                        "2,4,,,,DNS\r\n"
                                        "2,5,39.00,,,\r\n");
        const std::string watched = dir.File("anlage");
        std::filesystem::create_directory(watched);
        vmtest::WriteFileBytes(watched + "/alt.csv", "Lauf;Bahn;Zeit\n1;3;0:50,00\n");
        seam.OnDialog([&](QDialog& dlg) {
            TLaufeingabeDlg& d = Entry(dlg);
            QCOMPARE(d.Heat(), 1);
            seam.AnswerFile(QString::fromStdString(console));
            seam.AnswerBox(QMessageBox::Ok);
            QTest::mouseClick(Button(d, "ZeitmessungEinlesen"), Qt::LeftButton);
            QCOMPARE(seam.fileRequests.back().caption, QString("Zeitmessung einlesen"));
            // The heat the file names is shown, with the watches the file has.
            QCOMPARE(d.Heat(), 2);
            QCOMPARE(d.Model()->WatchCount(), 3);
            QCOMPARE(Cell(d, 1, 1), QString("Graf, Vorname"));
            QCOMPARE(Cell(d, 1, 4), QString("0:40,10"));
            QCOMPARE(Cell(d, 1, 7), QString("0:40,20"));
            QCOMPARE(Cell(d, 2, 7), QString("0:41,25"));
            QCOMPARE(Background(d, 2, 7), kDeviating);
            QCOMPARE(Cell(d, 3, 8), QString("n.a."));
            QCOMPARE(seam.boxes.size(), std::size_t(1));
            QCOMPARE(seam.boxes[0].text,
                     QString("Lauf2.csv: Zeitmessung: 3 Zeiten in Lauf 2 eingelesen, 1 Bahn mit "
                             "abweichenden Zeiten.\n\n"
                             "Lauf 2, Bahn 3 (Fink, Vorname): die Uhren liegen 0,50 s "
                             "auseinander.\n\n"
                             "Übersprungen:\n"
                             "Zeile 5: auf Bahn 5 in Lauf 2 schwimmt niemand."));
            // Nothing is written until OK.
            QCOMPARE(desk.P("Graf").Zeit[0], 0);

            // A file that is no console file changes nothing.
            const std::string wrong = dir.File("Teilnehmer.txt");
            vmtest::WriteFileBytes(wrong, "Name;Vorname\nMeier;Leni\n");
            seam.AnswerFile(QString::fromStdString(wrong));
            seam.AnswerBox(QMessageBox::Ok);
            QTest::mouseClick(Button(d, "ZeitmessungEinlesen"), Qt::LeftButton);
            QVERIFY(seam.LastBoxText().startsWith(
                "Die Datei kann nicht als Zeitmessung gelesen werden."));
            QCOMPARE(Cell(d, 1, 7), QString("0:40,20"));

            // The folder: what is there is old; a new file is offered for its heat.
            seam.AnswerFile(QString::fromStdString(watched + "/alt.csv"));
            QTest::mouseClick(Button(d, "OrdnerUeberwachen"), Qt::LeftButton);
            QVERIFY(Text(d, "Ordner").contains("anlage"));
            d.CheckFolder();
            QCOMPARE(seam.boxes.size(), std::size_t(2));
            vmtest::WriteFileBytes(watched + "/neu.csv", "Lauf;Bahn;Zeit\n1;3;0:33,33\n");
            seam.AnswerBox(QMessageBox::Yes);
            d.CheckFolder();
            QCOMPARE(seam.boxes.size(), std::size_t(3));
            QCOMPARE(seam.boxes.back().text, QString("Neue Zeitmessung „neu.csv“ für Lauf 1 "
                                                     "einlesen?"));
            QCOMPARE(d.Heat(), 1);
            QCOMPARE(Cell(d, 2, 4), QString("0:33,33"));
            d.CheckFolder(); // offered once
            QCOMPARE(seam.boxes.size(), std::size_t(3));
            // The watcher itself notices a file the console leaves; Nein leaves it.
            seam.AnswerBox(QMessageBox::No);
            vmtest::WriteFileBytes(watched + "/spaet.csv", "Lauf;Bahn;Zeit\n1;3;0:44,44\n");
            QTRY_COMPARE(seam.boxes.size(), std::size_t(4));
            QVERIFY(seam.boxes.back().text.contains("spaet.csv"));
            QCOMPARE(Cell(d, 2, 4), QString("0:33,33"));

            // The start list of the discipline, named without extension.
            seam.AnswerFile(QString::fromStdString(dir.File("Start")));
            QTest::mouseClick(Button(d, "StartlisteSchreiben"), Qt::LeftButton);
            QVERIFY(Text(d, "Meldung").startsWith("Startliste mit 8 Bahnen in 2 Läufen"));
            QTest::mouseClick(Button(d, "OK"), Qt::LeftButton);
        });
        std::vector<TLaufErgebnis> results;
        QVERIFY(desk.Enter(&results));
        QCOMPARE(results.size(), std::size_t(4));
        QCOMPARE(desk.P("Graf").Zeit[0], 4020);
        QCOMPARE(desk.P("Fink").Zeit[0], 4125);
        QCOMPARE(desk.P("Hahn").Abzug[0], PenaltyCode(TStatus::NichtAngetreten));
        QCOMPARE(desk.P("Adler").Zeit[0], 3333); // lane 3 of heat 1
        QCOMPARE(vmtest::ReadFileBytes(dir.File("Start.csv")),
                 StartListText(desk.doc.Competition(), 1).text);
        QCOMPARE(seam.unexpected, 0);
    }

    void findingsGoToTheChosenParticipant() {
        TSeamScript seam;
        TDesk desk; // heats but no results: one finding per participant
        TAltersklasse* gotClass = nullptr;
        TTeilnehmer* gotParticipant = nullptr;
        auto goTo = [&](TAltersklasse* ac, TTeilnehmer* p) {
            gotClass = ac;
            gotParticipant = p;
        };
        seam.OnDialog([&](QDialog& d) {
            QApplication::setActiveWindow(&d);
            QCoreApplication::processEvents();
            QCOMPARE(Text(d, "Zusammenfassung"), QString("8 Auffälligkeiten gefunden."));
            auto* list = d.findChild<QListWidget*>("Befunde");
            QCOMPARE(list->count(), 8);
            QVERIFY(list->item(1)->text().startsWith(
                QString::fromStdString(OemToUtf8(desk.first->Name())) +
                ": Brandt, Vorname (NI): keine Zeit"));
            Key(Qt::Key_Down);
            Key(Qt::Key_Return);
            QVERIFY(!d.isVisible());
        });
        TPruefungDlg::Open(nullptr, desk.doc.Competition(), goTo);
        QCOMPARE(gotClass, desk.first);
        QCOMPARE(gotParticipant, &desk.P("Brandt"));
        // Closing goes nowhere.
        gotParticipant = nullptr;
        seam.OnDialog([&](QDialog& d) {
            QApplication::setActiveWindow(&d);
            QCoreApplication::processEvents();
            Key(Qt::Key_Escape);
        });
        TPruefungDlg::Open(nullptr, desk.doc.Competition(), goTo);
        QVERIFY(gotParticipant == nullptr);
        QCOMPARE(seam.unexpected, 0);
    }

    // From the menu of the main window: Ctrl+L enters a heat through the window's own
    // gate, and "Gehe zu" of the findings selects the participant in the grid.
    void throughTheMainWindow() {
        vmtest::TempDir dir;
        const std::string file = dir.File("TAG.ERG");
        {
            TDesk desk;
            QVERIFY(desk.doc.SaveAs(file, TFileType::Ergebnis));
        }
        TSeamScript seam;
        TMainForm form(QString::fromStdString(file));
        form.show();
        QApplication::setActiveWindow(&form);
        form.Grid()->setFocus();
        QCoreApplication::processEvents();
        seam.OnDialog([&](QDialog& dlg) {
            Entry(dlg);
            Type("3520");
            Key(Qt::Key_Return);
            QTest::mouseClick(Button(dlg, "OK"), Qt::LeftButton);
        });
        QTest::keyClick(form.Grid(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(seam.dialogTitles.size(), std::size_t(1));
        QVERIFY(form.Document()->Modified());
        TAltersklasse* ac = form.Document()->Competition().At(0);
        // Lane 1 holds Dorn; with the only time she leads the grid.
        QCOMPARE(std::string(ac->At(0)->Name()), std::string("Dorn"));
        QCOMPARE(form.Grid()->model()->index(0, 4).data().toString(), QString("Dorn"));

        seam.OnDialog([&](QDialog& d) {
            QApplication::setActiveWindow(&d);
            QCoreApplication::processEvents();
            // The third line: the third participant of the first age class.
            Key(Qt::Key_Down);
            Key(Qt::Key_Down);
            Key(Qt::Key_Return);
        });
        form.Action("actPruefen")->trigger();
        QCOMPARE(seam.dialogTitles.size(), std::size_t(2));
        QCOMPARE(form.CurrentAgeClass(), 0);
        QVERIFY(form.CurrentParticipant() != nullptr);
        QCOMPARE(form.CurrentParticipant(), ac->At(2));
        QCOMPARE(std::string(ac->At(2)->Name()), std::string("Brandt"));
        QCOMPARE(seam.unexpected, 0);
        MutableDoc(form).SetModified(false);
    }

    // On a small screen (the test screen is 800 pixels wide, as 1600 at scale 2) the
    // dialog fits, the participant column keeps its longest name, and the lanes open
    // from the left with the time field in view; a wider dialog gives the names the room.
    void fitsASmallScreenWithWholeNames() {
        TDesk desk;
        TTeilnehmer& p = desk.P("Brandt");
        p.SetName("Brandt-Oberhollenzer");
        p.SetVorname("Maximiliane");
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        TSeamScript seam;
        seam.OnDialog([&](QDialog& dlg) {
            TLaufeingabeDlg& d = Entry(dlg);
            QVERIFY(d.width() <= area.width());
            QVERIFY(d.height() <= area.height());
            QTableView* t = d.Table();
            const int name = 1, time = 4;
            QCOMPARE(t->model()->headerData(name, Qt::Horizontal).toString(), "Teilnehmer");
            QCOMPARE(t->model()->headerData(time, Qt::Horizontal).toString(), "Zeit");
            const int longest =
                t->fontMetrics().horizontalAdvance("Brandt-Oberhollenzer, Maximiliane");
            QVERIFY(t->columnWidth(name) > longest);
            // The time field is in view; where it fits beside Bahn and the name (it does
            // with common fonts), the lanes are not scrolled at all.
            QCOMPARE(t->currentIndex().column(), time);
            const QRect cell = t->visualRect(t->currentIndex());
            QVERIFY(cell.left() >= 0 && cell.right() <= t->viewport()->width());
            const QHeaderView* header = t->horizontalHeader();
            if (header->sectionPosition(time) + header->sectionSize(time) <=
                t->viewport()->width())
                QCOMPARE(t->horizontalScrollBar()->value(), 0);
            // Wider: the name column takes the room the others leave, if any.
            d.resize(area.width() * 2, d.height());
            QCoreApplication::processEvents();
            int sum = 0;
            for (int i = 0; i < t->model()->columnCount(); ++i)
                sum += t->columnWidth(i);
            QVERIFY(sum >= t->viewport()->width()); // no empty room beside the columns
            QVERIFY(t->columnWidth(name) > longest);
            dlg.reject();
        });
        QVERIFY(!desk.Enter());
        QCOMPARE(seam.unexpected, 0);
    }

    // Screenshots at the normal size, only when VELMORA_SHOTS names a folder.
    void screenshots() {
        const QString dir = qEnvironmentVariable("VELMORA_SHOTS");
        if (dir.isEmpty()) QSKIP("VELMORA_SHOTS not set");
        QDir().mkpath(dir);
        vmtest::TempDir tmp;
        const std::string file = tmp.File("WK.ERG");
        QCOMPARE(vmtest::RunCli({"generate", file, "--seed", "3", "--participants", "300"}).status,
                 0);
        QCOMPARE(vmtest::RunCli({"heats", file}).status, 0);
        TSeamScript seam;
        TVmFile doc(file);
        std::vector<TLaufErgebnis> results;
        seam.OnDialog([&](QDialog& dlg) {
            TLaufeingabeDlg& d = Entry(dlg);
            d.GoToHeat(7);
            QTest::keyClick(d.Table(), Qt::Key_Down);
            Type("3x5");
            Key(Qt::Key_Return);
            Type("412");
            QVERIFY(d.grab().save(dir + "/laufeingabe.png"));
            d.Table()->model()->setData(d.Table()->model()->index(1, 4), "3520", Qt::EditRole);
            // Three timekeepers; lane 3's watches lie 0,45 s apart.
            d.SetWatchCount(3);
            QAbstractItemModel* m = d.Table()->model();
            const char* watches[][3] = {{"3112", "3118", "3115"},
                                        {"3290", "3335", "3301"},
                                        {"3044", "3040", ""},
                                        {"2987", "2991", "2990"}};
            int lane = 0;
            for (int row = 0; row < m->rowCount() && lane < 4; ++row) {
                if (!(m->flags(m->index(row, 4)) & Qt::ItemIsEditable)) continue;
                for (int w = 0; w < 3; ++w)
                    m->setData(m->index(row, 4 + w), watches[lane][w], Qt::EditRole);
                ++lane;
            }
            QCoreApplication::processEvents(); // the heat's line is laid out anew
            QVERIFY(d.grab().save(dir + "/laufeingabe-uhren.png"));
            d.findChild<QSpinBox*>("Zeitnehmer")->setFocus();
            dlg.done(QDialog::Rejected);
        });
        TLaufeingabeDlg::Open(nullptr, doc.Competition(), results);
        TWettkampf& c = doc.Competition();
        c.At(0)->At(0)->Zeit[0] = 0;
        c.At(0)->At(1)->Bahn[0] = 9;
        c.At(3)->At(2)->SetGeburtsdatum("01.01.1950");
        c.At(5)->At(0)->Lauf[0] = 0;
        seam.OnDialog([&](QDialog& d) {
            QVERIFY(d.grab().save(dir + "/pruefung.png"));
            d.reject();
        });
        TPruefungDlg::Open(nullptr, c, {});
        // A competition without heats opens on the unassigned.
        const std::string none = tmp.File("OHNE.ERG");
        QCOMPARE(vmtest::RunCli({"generate", none, "--seed", "4", "--participants", "120"}).status,
                 0);
        TVmFile fresh(none);
        seam.OnDialog([&](QDialog& dlg) {
            Entry(dlg);
            QVERIFY(dlg.grab().save(dir + "/laufeingabe-ungesetzt.png"));
            dlg.reject();
        });
        TLaufeingabeDlg::Open(nullptr, fresh.Competition(), results);
    }
};

VM_UI_TEST_MAIN(LaufeingabeTest)
#include "LaufeingabeTest.moc"
