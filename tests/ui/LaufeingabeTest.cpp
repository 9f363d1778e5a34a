// Heat-wise entry and the findings list, driven as the desk drives them: keys into the
// real dialogs, boxes answered through the seam, results read back from the core.
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"

#include "file/VmWFile.h"
#include "model/VmRech.h"
#include "operations/VmLauf.h"
#include "support/TestSupport.h"
#include "ui/VmLaufEingabeDlg.h"
#include "ui/VmMain.h"
#include "ui/VmPruefungDlg.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

using namespace vm;
using namespace vm::ui;
using vmtest::TSeamScript;

namespace {

// Runs each change as the main window would and counts them.
struct TTestGate : TCommandGate {
    int calls = 0;
    bool RunCommand(const std::function<bool()>& change) override {
        ++calls;
        return change();
    }
};

// The default championship with five entries in its first age class (heat 1, lanes
// 3 2 4 1 5 in name order) and three in its third (heat 2, lanes 3 2 4), no results.
struct TDesk {
    TVmFile doc;
    TTestGate gate;
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

// An entry that cannot be read is shown on red.
bool Red(TLaufeingabeDlg& d, int row, int col) {
    const QVariant v = d.Table()->model()->index(row, col).data(Qt::BackgroundRole);
    const QColor c = v.value<QColor>();
    return v.isValid() && c.red() > 200 && c.green() < 200;
}

QPushButton* Button(QDialog& d, const QString& text) {
    return vmtest::Find<QPushButton>(&d, text);
}

QString HeatItem(QDialog& d, int row) {
    return d.findChild<QListWidget*>("LaufListe")->item(row)->text();
}

constexpr int kZeit = 4, kAbzug = 5;

} // namespace

class LaufeingabeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wholeHeatByKeyboardThenCancelKeepsIt() {
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
            QCOMPARE(desk.gate.calls, 0); // nothing written while the heat is open
            QCOMPARE(desk.P("Eck").Zeit[0], 0);
            Key(Qt::Key_Return);
            // The last lane's Enter applied the heat and went on to lane 2 of heat 2.
            QCOMPARE(desk.gate.calls, 1);
            QCOMPARE(d.Heat(), 2);
            QCOMPARE(d.Table()->currentIndex(), d.Table()->model()->index(1, kZeit));
            QCOMPARE(HeatItem(d, 0), QString("Lauf 1: vollständig"));
            QCOMPARE(Text(d, "LaufStand"), QString("3 ohne Zeit"));
            // A time typed into heat 2 and then Esc twice: the field, then the dialog.
            Type("3000");
            Key(Qt::Key_Return);
            Key(Qt::Key_Escape);
            QVERIFY(!d.isVisible());
            checked = true;
        });
        QVERIFY(TLaufeingabeDlg::Open(nullptr, desk.doc, desk.gate));
        QVERIFY(checked);
        QCOMPARE(desk.gate.calls, 1);

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
        QVERIFY(desk.P("Claus").Gesamtpunkte == 0);
        // Ranked: places follow the totals, the disqualified one last.
        for (int i = 0; i < desk.first->Count(); ++i)
            QCOMPARE(static_cast<int>(desk.first->At(i)->Platz), i + 1);
        QCOMPARE(std::string(desk.first->At(0)->Name()), std::string("Dorn"));
        QCOMPARE(std::string(desk.first->At(4)->Name()), std::string("Claus"));
        // Heat 2 was cancelled before it was applied.
        for (const char* n : {"Fink", "Graf", "Hahn"})
            QCOMPARE(desk.P(n).Zeit[0], 0);
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
            QVERIFY(
                Text(d, "Meldung").startsWith("Bahn 1 (Dorn, Vorname): die Zeit „7599“"));
            // Leaving the heat is refused with a box that names the entry.
            Key(Qt::Key_PageDown);
            QCOMPARE(seam.boxes.size(), std::size_t(1));
            QVERIFY(seam.boxes[0].text.startsWith("Lauf 1 kann nicht übernommen werden"));
            QVERIFY(
                seam.boxes[0].text.contains("Bahn 1 (Dorn, Vorname): die Zeit „7599“"));
            QCOMPARE(d.Heat(), 1);
            QCOMPARE(desk.gate.calls, 0);
            QCOMPARE(desk.P("Dorn").Zeit[0], 0);
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
            // Esc inside a field leaves it as it was.
            Type("12");
            Key(Qt::Key_Escape);
            QVERIFY(d.isVisible());
            QCOMPARE(Cell(d, 1, kZeit), QString());
            Key(Qt::Key_PageDown);
            QCOMPARE(d.Heat(), 2);
            QCOMPARE(desk.gate.calls, 1);
            Key(Qt::Key_PageUp);
            QCOMPARE(d.Heat(), 1);
            QCOMPARE(Cell(d, 0, kZeit), QString("0:35,99"));
            d.reject();
        });
        TLaufeingabeDlg::Open(nullptr, desk.doc, desk.gate);
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
            // Alt+2: the next discipline; discipline 1 is applied on the way.
            Key(Qt::Key_2, Qt::AltModifier);
            QCOMPARE(d.Discipline(), 2);
            QCOMPARE(desk.gate.calls, 1);
            QCOMPARE(Cell(d, 0, kZeit), QString());
            Type("5020");
            Key(Qt::Key_Tab);
            Type("a");
            Key(Qt::Key_Return);
            QTest::mouseClick(Button(d, "OK"), Qt::LeftButton);
            QVERIFY(!d.isVisible());
        });
        QVERIFY(TLaufeingabeDlg::Open(nullptr, desk.doc, desk.gate));
        QCOMPARE(desk.gate.calls, 2);
        const TTeilnehmer& adler = desk.P("Adler");
        QCOMPARE(adler.Zeit[0], 4012);
        QCOMPARE(adler.Zeit[1], 5020);
        QCOMPARE(adler.Abzug[1], PenaltyCode(TStatus::NichtAngetreten));
        QCOMPARE(adler.Punkte[1], 0);
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
        form.Document()->SetModified(false);
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
        TTestGate gate;
        seam.OnDialog([&](QDialog& dlg) {
            TLaufeingabeDlg& d = Entry(dlg);
            d.GoToHeat(7);
            QTest::keyClick(d.Table(), Qt::Key_Down);
            Type("3x5");
            Key(Qt::Key_Return);
            Type("412");
            QVERIFY(d.grab().save(dir + "/laufeingabe.png"));
            d.reject();
        });
        TLaufeingabeDlg::Open(nullptr, doc, gate);
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
        TLaufeingabeDlg::Open(nullptr, fresh, gate);
    }
};

VM_UI_TEST_MAIN(LaufeingabeTest)
#include "LaufeingabeTest.moc"
