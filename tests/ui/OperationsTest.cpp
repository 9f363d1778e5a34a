// The operations of the menu "Wettkampf" and the import, run from the real main window:
// each dialog opened by its command, worked with keys and clicks, and the competition
// read back through the core afterwards.
#include "support/Builders.h"
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"
#include "support/UiWindow.h"

#include "file/VmErg.h"
#include "model/VmBasis.h"
#include "operations/VmAuswahl.h"
#include "operations/VmHLW.h"
#include "operations/VmLauf.h"
#include "ui/BvValEdit.h"
#include "ui/VmMain.h"
#include "ui/VmTimeEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>

#include <cstdlib>

using namespace vm;
using namespace vm::ui;
using vmtest::Click;
using vmtest::Find;
using vmtest::TSeamScript;
using vmtest::Type;
using vmtest::OnDialog;
using vmtest::Press;
using Window = vmtest::TMainWindow;

namespace {

// The dialog handed to the script, made the active window so that its mnemonics work.
QString BoxTexts(const TSeamScript& seam) {
    QStringList l;
    for (const TBoxRequest& b : seam.boxes)
        l << b.text;
    return l.join('\n');
}

using vmtest::Names;

// Every participant of both competitions, in list order, through the check.
template <class F> void ForPairs(const TWettkampf& a, const TWettkampf& b, F check) {
    QCOMPARE(a.Count(), b.Count());
    for (int i = 0; i < a.Count(); ++i) {
        QCOMPARE(a.At(i)->Count(), b.At(i)->Count());
        for (int k = 0; k < a.At(i)->Count(); ++k)
            check(*a.At(i)->At(k), *b.At(i)->At(k));
    }
}

} // namespace

class OperationsTest : public QObject {
    Q_OBJECT
    vmtest::TempDir dir;

private Q_SLOTS:
    void qualificationPresetCancelAndOk() {
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir));
        TWettkampf& c = w.Competition();
        OnDialog(seam, [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Qualifikation"));
            QCOMPARE(d.toolTip(),
                     QString("Anzahl der zugelassenen Teilnehmer pro Altersklasse festlegen"));
            auto* quota = d.findChild<QSpinBox*>("SpinEdit1");
            QVERIFY(quota);
            // Three times the competition's five lanes.
            QCOMPARE(quota->value(), 15);
            QCOMPARE(quota->minimum(), 1);
            QCOMPARE(quota->maximum(), 100);
            QVERIFY(Find<QRadioButton>(&d, "&beide folgenden Aktionen")->isChecked());
            QVERIFY(Find<QRadioButton>(&d, "nicht startberechtigte Teilnehmer löschen"));
            Press(d, "Abbrechen");
        });
        w.Key(Qt::Key_Q, Qt::AltModifier);
        QCOMPARE(seam.dialogTitles.size(), std::size_t(1));
        QVERIFY(!w.Modified());
        QCOMPARE(c.At(0)->Count(), 3);

        OnDialog(seam, [&](QDialog& d) {
            Type(d.findChild<QSpinBox*>("SpinEdit1"), "2");
            Press(d, "OK");
        });
        w.Key(Qt::Key_Q, Qt::AltModifier);
        QVERIFY(w.Modified());
        // Both actions: the two best are admitted, the slowest is deleted; the single
        // participant of the third age class stays admitted.
        QCOMPARE(Names(*c.At(0)), (std::vector<std::string>{"Berger", "Zander"}));
        for (const TTeilnehmer& p : *c.At(0))
            QVERIFY(p.Has(tnStartberechtigt));
        QCOMPARE(c.At(2)->Count(), 1);
        QVERIFY(c.At(2)->At(0)->Has(tnStartberechtigt));
        QCOMPARE(w.form.findChild<QLabel*>("ActivityIndicator")->text(), QString("Bereit"));
        QCOMPARE(seam.unexpected, 0);
    }

    void heatAssignmentDefaultsAndOptions() {
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir));
        TWettkampf& c = w.Competition();
        auto expected = CopyCompetition(c);
        OnDialog(seam, [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Automatische Laufbesetzung"));
            for (int k = 1; k <= 5; ++k) {
                auto* b = d.findChild<QCheckBox*>(QString("CheckBox%1").arg(k));
                QVERIFY(b && !b->isChecked());
                QCOMPARE(b->isEnabled(), k > 2);
            }
            QCOMPARE(d.findChild<QCheckBox*>("CheckBox4")->text(),
                     QString("&umgekehrte Reihenfolge der Läufe"));
            for (auto n : {"LaufEdit", "BahnEdit"}) {
                auto* s = d.findChild<QSpinBox*>(n);
                QCOMPARE(s->value(), 1);
                QCOMPARE(s->minimum(), 0);
                QCOMPARE(s->maximum(), 1000);
            }
            Press(d, "Abbrechen");
        });
        w.Key(Qt::Key_L, Qt::AltModifier);
        QVERIFY(!w.Modified());
        QCOMPARE(c.At(0)->At(0)->Lauf[0], std::int16_t(0));

        OnDialog(seam, [&](QDialog& d) {
            // A mnemonic clicks its button a moment later, as a click with the mouse.
            QTest::keyClick(&d, Qt::Key_U, Qt::AltModifier);
            QTRY_VERIFY(d.findChild<QCheckBox*>("CheckBox4")->isChecked());
            Type(d.findChild<QSpinBox*>("LaufEdit"), "3");
            Press(d, "OK");
        });
        w.Key(Qt::Key_L, Qt::AltModifier);
        QVERIFY(w.Modified());
        // Reverse order: the strongest in the first heat, from the middle lane out;
        // the empty second age class takes no heat.
        const TAltersklasse& first = *c.At(0);
        QCOMPARE(first.At(0)->Lauf[0], std::int16_t(3));
        QCOMPARE(first.At(0)->Bahn[0], std::int16_t(3));
        QCOMPARE(first.At(1)->Bahn[0], std::int16_t(2));
        QCOMPARE(first.At(2)->Bahn[0], std::int16_t(4));
        QCOMPARE(c.At(2)->At(0)->Lauf[0], std::int16_t(4));
        THeatSettings s;
        s.startHeat = 3;
        s.options = lbUmgekehrt;
        AssignHeats(*expected, s);
        ForPairs(c, *expected, [](const TTeilnehmer& a, const TTeilnehmer& b) {
            QCOMPARE(a.Lauf, b.Lauf);
            QCOMPARE(a.Bahn, b.Bahn);
        });
    }

    void hlwScheduleChecksItsFieldsAndRuns() {
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir));
        TWettkampf& c = w.Competition();
        // The first age class is scored with HLW from now on.
        TAltersklasseData data = c.At(0)->Data;
        data.Eigenschaften = static_cast<std::int16_t>(data.Eigenschaften | akHLW);
        SetAgeClassData(*c.At(0), data);
        auto expected = CopyCompetition(c);
        OnDialog(seam, [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("HLW Laufeinteilung"));
            auto* start = d.findChild<TClockEdit*>("HLWZeitEdit");
            auto* station = d.findChild<QSpinBox*>("SpinEdit1");
            auto* duration = d.findChild<TBvNumEdit*>("BvNumEdit1");
            auto* measures = d.findChild<QSpinBox*>("SpinEdit2");
            QVERIFY(start && station && duration && measures);
            QCOMPARE(start->text(), QString("08:00"));
            QCOMPARE(station->value(), 1);
            QCOMPARE(station->maximum(), 99);
            QCOMPARE(duration->text(), QString("15"));
            QCOMPARE(measures->value(), 1);
            QCOMPARE(measures->maximum(), 9);
            QVERIFY(!d.findChild<QCheckBox*>("CheckBox1")->isChecked());
            QCOMPARE(QApplication::focusWidget(), start);

            QTest::keyClick(start, Qt::Key_Home);
            QTest::keyClicks(start, "0930");
            Type(station, "2");
            // A duration beyond 30 minutes cannot leave its field.
            Type(duration, "45");
            QTest::keyClick(duration, Qt::Key_Tab);
            QCoreApplication::processEvents();
            QCOMPARE(seam.LastBoxText(), QString("Der eingegebene Wert liegt nicht zwischen 0 "
                                                 "und 30."));
            QCOMPARE(QApplication::focusWidget(), duration);
            Type(duration, "20");
            QTest::keyClick(&d, Qt::Key_B, Qt::AltModifier);
            QTRY_VERIFY(d.findChild<QCheckBox*>("CheckBox1")->isChecked());
            Press(d, "OK");
        });
        w.form.Action("actHLW")->trigger();
        QCOMPARE(seam.dialogTitles.size(), std::size_t(1));
        QVERIFY(w.Modified());
        THLWSettings s;
        s.startTime = 930;
        s.firstStation = 2;
        s.duration = 20;
        s.block = true;
        AssignHLW(*expected, s);
        QCOMPARE(c.Header.HLWDauer, std::int16_t(20));
        int scheduled = 0;
        ForPairs(c, *expected, [&](const TTeilnehmer& a, const TTeilnehmer& b) {
            QCOMPARE(a.Startzeit, b.Startzeit);
            QCOMPARE(a.HLWBahn, b.HLWBahn);
            QCOMPARE(a.HLWLauf, b.HLWLauf);
            if (a.Startzeit == 930) ++scheduled;
        });
        QCOMPARE(scheduled, 3);
        QCOMPARE(seam.unexpected, 0);
    }

    void hlwStartTimeMustBeATimeOfDay() {
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir));
        OnDialog(seam, [&](QDialog& d) {
            auto* start = d.findChild<TClockEdit*>("HLWZeitEdit");
            QTest::keyClick(start, Qt::Key_Home);
            QTest::keyClicks(start, "2575");
            QTest::keyClick(start, Qt::Key_Tab);
            QCoreApplication::processEvents();
            QVERIFY(seam.LastBoxText().startsWith("Die eingegebene Anfangszeit"));
            QCOMPARE(QApplication::focusWidget(), start);
            // Cancel may always be reached.
            Press(d, "Abbrechen");
        });
        w.form.Action("actHLW")->trigger();
        QCOMPARE(seam.boxes.size(), std::size_t(1));
        QVERIFY(!w.Modified());
    }

    void hlwPresetsFourMeasuresForTeams() {
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir, "Team.ERG", true));
        OnDialog(seam, [&](QDialog& d) {
            QCOMPARE(d.findChild<QSpinBox*>("SpinEdit2")->value(), 4);
            Press(d, "Abbrechen");
        });
        w.form.Action("actHLW")->trigger();
        QCOMPARE(seam.dialogTitles.size(), std::size_t(1));
        QVERIFY(!w.Modified());
    }

    void resetPresetsAndIndividualChoice() {
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir));
        TWettkampf& c = w.Competition();
        AssignHeats(c, THeatSettings{});
        auto before = CopyCompetition(c);
        auto box = [](QDialog& d, int item) {
            return d.findChild<QCheckBox*>(QString("CheckBox%1").arg(item));
        };
        OnDialog(seam, [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Zurücksetzen"));
            QGroupBox* group = nullptr;
            for (QGroupBox* g : d.findChildren<QGroupBox*>())
                if (g->title() == "Folgende Werte zurücksetzen") group = g;
            QVERIFY(group && !group->isEnabled());
            for (int item = 1; item <= 21; ++item)
                QCOMPARE(box(d, item)->isChecked(), item <= 10 || item == 21);
            QCOMPARE(box(d, 21)->text(), QString("Herz-Lungen-Wiederbelebung"));
            QCOMPARE(box(d, 12)->text(), QString("Lauf 2"));
            QTest::keyClick(&d, Qt::Key_I, Qt::AltModifier);
            QTRY_VERIFY(group->isEnabled());
            for (int item = 1; item <= 21; ++item)
                QVERIFY(!box(d, item)->isChecked());
            Click(box(d, 1));
            Click(box(d, 11));
            // Another option shows its preset; the individual choice comes back.
            QTest::keyClick(&d, Qt::Key_L, Qt::AltModifier);
            QTRY_VERIFY(!group->isEnabled());
            for (int item = 1; item <= 21; ++item)
                QCOMPARE(box(d, item)->isChecked(), item >= 11 && item <= 20);
            QTest::keyClick(&d, Qt::Key_I, Qt::AltModifier);
            QTRY_VERIFY(group->isEnabled());
            for (int item = 1; item <= 21; ++item)
                QCOMPARE(box(d, item)->isChecked(), item == 1 || item == 11);
            Press(d, "OK");
        });
        w.Key(Qt::Key_Z, Qt::AltModifier);
        QVERIFY(w.Modified());
        int withLane = 0;
        for (const TAltersklasse& ac : c)
            for (const TTeilnehmer& p : ac) {
                QCOMPARE(p.Zeit[0], 0);
                QCOMPARE(p.Lauf[0], std::int16_t(0));
                QVERIFY(p.Zeit[1] > 0);
                if (p.Bahn[0] > 0) ++withLane;
            }
        QCOMPARE(withLane, 4);
        // Cancel resets nothing.
        OnDialog(seam, [&](QDialog& d) { Press(d, "Abbrechen"); });
        w.Doc().SetModified(false);
        w.Key(Qt::Key_Z, Qt::AltModifier);
        QVERIFY(!w.Modified());
        QVERIFY(before->At(0)->At(0)->Zeit[1] == c.At(0)->At(0)->Zeit[1]);
    }

    void strikeDeletesThoseWithoutTimes() {
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir));
        TWettkampf& c = w.Competition();
        auto absent = NewParticipant();
        absent->SetName("Abwesend");
        absent->Altersklasse.Set(c.At(0)->Name());
        w.form.RunCommand("Teilnehmer einfügen",
                          [&](TWettkampf& wc) { wc.At(0)->InsertParticipant(std::move(absent)); });
        w.Key(Qt::Key_F2, Qt::NoModifier);
        QVERIFY(!w.Modified());
        OnDialog(seam, [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Teilnehmer streichen"));
            QVERIFY(Find<QRadioButton>(&d, "\"n.a.\" für alle Disziplinen setzen")->isChecked());
            QVERIFY(Find<QRadioButton>(&d, "nur löschen, wenn \"n.a.\" gesetzt"));
            Press(d, "Abbrechen");
        });
        w.Key(Qt::Key_S, Qt::AltModifier);
        QCOMPARE(c.At(0)->Count(), 4);
        OnDialog(seam, [&](QDialog& d) {
            Click(Find<QRadioButton>(&d, "löschen"));
            Press(d, "OK");
        });
        w.Key(Qt::Key_S, Qt::AltModifier);
        QVERIFY(w.Modified());
        QCOMPARE(Names(*c.At(0)), (std::vector<std::string>{"Berger", "Zander", "Meier"}));
        QCOMPARE(seam.dialogTitles.size(), std::size_t(2));
    }

    void mergeWithOptions() {
        TSeamScript seam;
        const std::string source = vmtest::SmallCompetitionFile(dir, "Vorlauf.ERG");
        {
            // One entrant of the preliminary did not enter: the default options skip it.
            TVmFile doc(source);
            for (TTeilnehmer& p : *doc.Competition().At(0))
                if (p.Name() == "Meier") p.SetFlag(tnMeldet, false);
            QVERIFY(doc.SaveAs(source, TFileType::Ergebnis));
        }
        Window w(vmtest::SmallCompetitionFile(dir, "Meisterschaft.ERG"));
        TWettkampf& c = w.Competition();
        w.Key(Qt::Key_N, Qt::AltModifier);
        seam.AnswerFile(QString::fromStdString(source), 1);
        OnDialog(seam, [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Wettkampf hinzufügen"));
            QVERIFY(d.findChild<QCheckBox*>("Option1")->isChecked());
            QVERIFY(d.findChild<QCheckBox*>("Option2")->isChecked());
            QVERIFY(!d.findChild<QCheckBox*>("Option8")->isChecked());
            Type(d.findChild<QComboBox*>("GliederungCombo")->lineEdit(), "XY");
            Type(d.findChild<QSpinBox*>("QualifyEdit"), "1");
            Press(d, "OK");
        });
        w.Key(Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(seam.fileRequests.size(), std::size_t(1));
        QCOMPARE(seam.fileRequests[0].caption, QString("Datei importieren"));
        QCOMPARE(seam.fileRequests[0].filter,
                 QString("Ergebnisdateien (*.ERG);;Textdateien (*.TXT);;Meldebogen (*.XLSX);;"
                         "Alle Dateien (*)"));
        QVERIFY(w.Modified());
        QCOMPARE(w.form.CurrentAgeClass(), 0);
        QCOMPARE(c.At(0)->Count(), 5);
        QCOMPARE(c.At(2)->Count(), 2);
        int moved = 0;
        for (const TAltersklasse& ac : c)
            for (const TTeilnehmer& p : ac) {
                if (p.Gliederung.View() != "XY") continue;
                ++moved;
                // Place 1 of the preliminary is directly qualified, the others not.
                QCOMPARE(p.Has(tnDirektQualifiziert),
                         p.Name() == "Berger" || p.Name() == "Kr\x94ger");
            }
        QCOMPARE(moved, 3);
        QVERIFY2(BoxTexts(seam).contains("1 Teilnehmer der Altersklasse " +
                                         FromOem(c.At(0)->Name()) + " übersprungen."),
                 qPrintable(BoxTexts(seam)));
        QCOMPARE(seam.unexpected, 0);
    }

    void refusedMergeAndDamagedFileChangeNothing() {
        struct Case {
            std::string file;
            QString message;
        };
        const std::string damaged = dir.File("kaputt.ERG");
        vmtest::WriteFileBytes(damaged, std::string(SignatureV21) + "\x01\x02");
        const std::vector<Case> cases = {
            {vmtest::SmallCompetitionFile(dir, "Staffel.ERG", true),
             "Einzel- u. Mannschaftswettkämpfe können nicht gemischt werden"},
            {damaged, "Fehler beim Laden der Datei."},
        };
        for (const Case& k : cases) {
            TSeamScript seam;
            Window w(vmtest::SmallCompetitionFile(dir, "Einzel.ERG"));
            auto saved = [&](const std::string& name) {
                QVERIFY(w.Doc().SaveAs(dir.File(name), TFileType::Kopie));
            };
            saved("vorher.ERG");
            seam.AnswerFile(QString::fromStdString(k.file), 1);
            OnDialog(seam, [&](QDialog& d) { Press(d, "OK"); });
            w.Key(Qt::Key_F3, Qt::ControlModifier);
            QCOMPARE(seam.dialogTitles.size(), std::size_t(1));
            QVERIFY2(BoxTexts(seam).contains(k.message), qPrintable(BoxTexts(seam)));
            QVERIFY(!w.Modified());
            // What is in memory still saves to the same bytes.
            saved("nachher.ERG");
            QCOMPARE(vmtest::ReadFileBytes(dir.File("nachher.ERG")),
                     vmtest::ReadFileBytes(dir.File("vorher.ERG")));
        }
    }

    void importAddsParticipantsFromTextAndOlderFiles() {
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir));
        TWettkampf& c = w.Competition();
        const std::string ak = c.At(0)->Name();
        const std::string text = dir.File("meldung.txt");
        vmtest::WriteFileBytes(text, "Name;Vorname;Glied;AK;Geschlecht;Zeit1;Abzug1\r\n"
                                     "Neumann;Nina;by;" +
                                         ak +
                                         ";w;0:41,00;0\r\n"
                                         "\r\n"
                                         "Fremd;Fritz;HE;Gibtsnicht;m\r\n");
        w.Key(Qt::Key_N, Qt::AltModifier);
        seam.AnswerFile(QString::fromStdString(text), 2);
        w.Key(Qt::Key_I, Qt::ControlModifier);
        QVERIFY(w.Modified());
        QCOMPARE(w.form.CurrentAgeClass(), 0);
        QCOMPARE(c.At(0)->Count(), 4);
        const TTeilnehmer* nina = nullptr;
        for (const TTeilnehmer& p : *c.At(0))
            if (p.Name() == "Neumann") nina = &p;
        QVERIFY(nina);
        QCOMPARE(nina->Gliederung.View(), std::string_view("BY"));
        QCOMPARE(nina->Zeit[0], 4100);
        QCOMPARE(BoxTexts(seam), QString("Fremd, Fritz (Altersklasse Gibtsnicht) konnte nicht "
                                         "eingefügt werden."));

        // Under "Alle Dateien" a file that is not text holds the older program's records.
        std::string records;
        for (int r = 0; r < 2; ++r) {
            std::string rec(96, '\0');
            // Name, first name and Gliederung, blank-padded; age-class code 1 "Schüler".
            rec.replace(0, 32, PadRight("Alt" + std::to_string(r), 32));
            rec[32] = 1;
            records += rec;
        }
        const std::string old = dir.File("MELDUNG.DAT");
        vmtest::WriteFileBytes(old, records);
        w.Doc().SetModified(false);
        seam.boxes.clear();
        seam.AnswerFile(QString::fromStdString(old), 4);
        w.Key(Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(seam.boxes.size(), std::size_t(2));
        QVERIFY(BoxTexts(seam).contains("(Altersklasse Schüler) konnte nicht eingefügt werden."));
        QVERIFY(!w.Modified());
        QCOMPARE(seam.unexpected, 0);
    }

    // Only with VELMORA_SHOTS naming a folder: each dialog as its command opens it.
    void screenshots() {
        const char* folder = std::getenv("VELMORA_SHOTS");
        if (!folder) QSKIP("VELMORA_SHOTS names no folder");
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir));
        const std::vector<std::pair<const char*, const char*>> shots = {
            {"actQualifikation", "qualifikation"},
            {"actLaufbesetzung", "laufbesetzung"},
            {"actHLW", "hlw"},
            {"actZuruecksetzen", "zuruecksetzen"},
            {"actStreichen", "streichen"},
        };
        for (const auto& [action, name] : shots) {
            OnDialog(seam, [&, name = name](QDialog& d) {
                QVERIFY(d.grab().save(QString("%1/%2.png").arg(folder, name)));
                d.reject();
            });
            w.form.Action(action)->trigger();
        }
        OnDialog(seam, [&](QDialog& d) {
            QTest::keyClick(&d, Qt::Key_I, Qt::AltModifier);
            QTRY_VERIFY(d.findChild<QCheckBox*>("CheckBox1")->isEnabled());
            QVERIFY(d.grab().save(QString("%1/zuruecksetzen-individuell.png").arg(folder)));
            d.reject();
        });
        w.form.Action("actZuruecksetzen")->trigger();
        QCOMPARE(seam.unexpected, 0);
    }
};

VM_UI_TEST_MAIN(OperationsTest)
#include "OperationsTest.moc"
