// Undo and redo through the real window: every kind of change taken back and done
// again, compared by the bytes a save would write; the modified flag following the
// saved state; a change that fails leaving the document as it was; and the load
// message shown over a grid that must no longer point into the replaced competition.
#include "support/Builders.h"
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"
#include "support/UiWindow.h"

#include "file/VmErg.h"
#include "file/VmUndo.h"
#include "ui/VmMain.h"
#include "ui/VmTimeEdit.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QTimer>

#include <stdexcept>

using namespace vm;
using namespace vm::ui;
using vmtest::TSeamScript;
using vmtest::OnDialog;
using vmtest::Press;
using Window = vmtest::TMainWindow;

namespace {

std::string Bytes(const TMainForm& f) {
    TMemoryStream s;
    WriteNative(s, f.Document()->Competition());
    return s.Data();
}

void Ok(QDialog& d) {
    Press(d, "OK");
}

QString UndoText(TMainForm& f) {
    return f.Action("actRueckgaengig")->text();
}

// One kind of change: what the user does, and the label of its step.
struct TChange {
    QString label;
    std::function<void(Window&, TSeamScript&)> act;
};

} // namespace

class UndoTest : public QObject {
    Q_OBJECT
    vmtest::TempDir dir;
    std::string file;
    std::string other;
    std::string text;

private Q_SLOTS:
    void initTestCase() {
        file = dir.File("Tag1.ERG");
        other = dir.File("Zweiter.ERG");
        text = dir.File("Meldungen.TXT");
        QCOMPARE(vmtest::RunCli({"generate", file, "--participants", "80", "--seed", "4"}).status, 0);
        QCOMPARE(vmtest::RunCli({"generate", other, "--participants", "30", "--seed", "9"}).status, 0);
    }

    void everyKindOfChangeIsOneStepBackAndForth() {
        // A text file of two participants for the import, into the first age class.
        {
            Window probe(file);
            const TAltersklasse& ac = *probe.Competition().At(0);
            const QString line = QStringLiteral("Name;Vorname;Glied;AK;Geschlecht\r\n"
                                                "Neumann;Ida;NORD;%1;%2\r\nNeumann;Jule;NORD;%1;%2\r\n")
                                     .arg(FromOem(ac.Name()), IsFemale(ac) ? "w" : "m");
            vmtest::WriteFileBytes(text, line.toUtf8().toStdString());
        }
        const std::vector<TChange> changes = {
            {"Teilnehmer einfügen",
             [](Window& w, TSeamScript& seam) {
                 OnDialog(seam, [](QDialog& d) {
                     vmtest::Type(d.findChild<QLineEdit*>("NameEdit"), "Ahrens");
                     vmtest::Type(d.findChild<QLineEdit*>("VornameEdit"), "Lotta");
                     Ok(d);
                 });
                 w.Key(Qt::Key_Insert, Qt::NoModifier);
             }},
            {"Teilnehmerdaten bearbeiten",
             [](Window& w, TSeamScript& seam) {
                 OnDialog(seam, [](QDialog& d) {
                     vmtest::Type(d.findChild<QLineEdit*>("NameEdit"), "Umbenannt");
                     Ok(d);
                 });
                 w.Key(Qt::Key_Return, Qt::NoModifier);
             }},
            {"Teilnehmerdaten bearbeiten",
             [](Window& w, TSeamScript& seam) {
                 // "TN abwesend" in the participant dialog, for the one just entered.
                 OnDialog(seam, [](QDialog& d) {
                     Press(d, "AbwesendButton");
                     Ok(d);
                 });
                 w.Key(Qt::Key_Return, Qt::NoModifier);
             }},
            {"Ausschneiden", [](Window& w, TSeamScript&) { w.Key(Qt::Key_X, Qt::ControlModifier); }},
            {"Einfügen", [](Window& w, TSeamScript&) { w.Key(Qt::Key_V, Qt::ControlModifier); }},
            {"Teilnehmer löschen",
             [](Window& w, TSeamScript& seam) {
                 seam.AnswerBox(QMessageBox::Yes);
                 w.Key(Qt::Key_Delete, Qt::NoModifier);
             }},
            {"Wettkampfdaten",
             [](Window& w, TSeamScript& seam) {
                 OnDialog(seam, [](QDialog& d) {
                     vmtest::Type(d.findChild<QLineEdit*>("Edit1"), "Kreismeisterschaft");
                     Ok(d);
                 });
                 w.Key(Qt::Key_W, Qt::AltModifier);
             }},
            {"Altersklasse einfügen",
             [](Window& w, TSeamScript& seam) {
                 OnDialog(seam, [](QDialog& d) {
                     vmtest::Type(d.findChild<QComboBox*>("ComboBox1")->lineEdit(), "AK Gast");
                     Ok(d);
                 });
                 w.Key(Qt::Key_Insert, Qt::AltModifier);
             }},
            {"Altersklassendaten ändern",
             [](Window& w, TSeamScript& seam) {
                 OnDialog(seam, [](QDialog& d) {
                     vmtest::Type(d.findChild<QComboBox*>("ComboBox1")->lineEdit(), "AK Gast 2");
                     Ok(d);
                 });
                 w.Key(Qt::Key_Return, Qt::AltModifier);
             }},
            {"Altersklasse löschen",
             [](Window& w, TSeamScript& seam) {
                 for (int i = 0; i < 3; ++i)
                     seam.AnswerBox(QMessageBox::Yes);
                 w.Key(Qt::Key_Delete, Qt::AltModifier);
             }},
            {"Qualifikation",
             [](Window& w, TSeamScript& seam) {
                 OnDialog(seam, [](QDialog& d) {
                     vmtest::Type(d.findChild<QSpinBox*>("SpinEdit1"), "2");
                     Ok(d);
                 });
                 w.Key(Qt::Key_Q, Qt::AltModifier);
             }},
            {"Laufbesetzung",
             [](Window& w, TSeamScript& seam) {
                 OnDialog(seam, Ok);
                 w.Key(Qt::Key_L, Qt::AltModifier);
             }},
            {"HLW Laufeinteilung",
             [](Window& w, TSeamScript& seam) {
                 OnDialog(seam, Ok);
                 w.form.Action("actHLW")->trigger();
             }},
            {"Zurücksetzen",
             [](Window& w, TSeamScript& seam) {
                 OnDialog(seam, Ok);
                 w.Key(Qt::Key_Z, Qt::AltModifier);
             }},
            {"Streichen",
             [](Window& w, TSeamScript& seam) {
                 OnDialog(seam, Ok);
                 w.Key(Qt::Key_S, Qt::AltModifier);
             }},
            {"Importieren",
             [this](Window& w, TSeamScript& seam) {
                 seam.AnswerFile(QString::fromStdString(text), 2);
                 w.Key(Qt::Key_I, Qt::ControlModifier);
             }},
            {"Zusammenführen",
             [this](Window& w, TSeamScript& seam) {
                 seam.AnswerFile(QString::fromStdString(other), 1);
                 OnDialog(seam, Ok);
                 w.Key(Qt::Key_I, Qt::ControlModifier);
             }},
            {"Rekorde",
             [](Window& w, TSeamScript& seam) {
                 OnDialog(seam, [](QDialog& d) {
                     auto* list = d.findChild<QListWidget*>("RekordList");
                     list->setCurrentRow(0);
                     Press(d, "Än&dern...");
                     Ok(d);
                 });
                 OnDialog(seam, [](QDialog& d) {
                     auto* time = d.findChild<TTimeEdit*>("Zeit1");
                     time->SetTime(3550);
                     time->setModified(true);
                     Ok(d);
                 });
                 w.Key(Qt::Key_R, Qt::AltModifier);
             }},
            {"Gliederungen",
             [](Window& w, TSeamScript& seam) {
                 OnDialog(seam, [](QDialog& d) {
                     d.findChild<QListWidget*>("GliederungListe")->setCurrentRow(0);
                     Press(d, "AendernBtn");
                     Ok(d);
                 });
                 OnDialog(seam, [](QDialog& d) {
                     vmtest::Type(d.findChild<QLineEdit*>("NameEdit"), "Ortsgruppe Nord-Ost");
                     Ok(d);
                 });
                 w.Key(Qt::Key_G, Qt::AltModifier);
             }},
        };

        TSeamScript seam;
        Window w(file);
        for (const TChange& change : changes) {
            const QByteArray what = change.label.toUtf8();
            const std::string before = Bytes(w.form);
            const int ageClass = w.form.CurrentAgeClass();
            const int row = w.form.CurrentRow();
            change.act(w, seam);
            QCOMPARE(seam.unexpected, 0);
            const std::string after = Bytes(w.form);
            QVERIFY2(after != before, what.constData());
            QCOMPARE(UndoText(w.form), "&Rückgängig: " + change.label);
            QVERIFY(w.Modified());

            w.Key(Qt::Key_Z, Qt::ControlModifier);
            QVERIFY2(Bytes(w.form) == before, what.constData());
            // Back where the user was when he began.
            QCOMPARE(w.form.CurrentAgeClass(), ageClass);
            QCOMPARE(w.form.CurrentRow(), row);
            QCOMPARE(w.form.Action("actWiederherstellen")->text(),
                     "&Wiederherstellen: " + change.label);

            w.Key(Qt::Key_Y, Qt::ControlModifier);
            QVERIFY2(Bytes(w.form) == after, what.constData());
            // Ctrl+Shift+Z redoes as well.
            w.Key(Qt::Key_Z, Qt::ControlModifier);
            w.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY2(Bytes(w.form) == after, what.constData());
        }
        QCOMPARE(seam.unexpected, 0);
        // Every step is there to go back through, to the file as it was opened.
        while (w.form.History().CanUndo())
            w.Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Bytes(w.form), Bytes(Window(file).form));
        QVERIFY(!w.Modified());
        QVERIFY(!w.form.Action("actRueckgaengig")->isEnabled());
        QCOMPARE(UndoText(w.form), QString("&Rückgängig"));
    }

    void modifiedFlagFollowsTheSavedState() {
        const std::string copy = dir.File("Flag.ERG");
        vmtest::WriteFileBytes(copy, vmtest::ReadFileBytes(file));
        TSeamScript seam;
        Window w(copy);
        auto edit = [&](const QString& name) {
            OnDialog(seam, [name](QDialog& d) {
                vmtest::Type(d.findChild<QLineEdit*>("NameEdit"), name);
                Ok(d);
            });
            w.Key(Qt::Key_Return, Qt::NoModifier);
        };
        QCOMPARE(w.form.findChild<QLabel*>("ModifiedIndicator")->text(), QString());
        edit("Erster");
        QVERIFY(w.Modified());
        w.Key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!w.Modified()); // back to what was saved
        QCOMPARE(w.form.findChild<QLabel*>("ModifiedIndicator")->text(), QString());
        w.Key(Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(w.Modified());

        w.Key(Qt::Key_F2, Qt::NoModifier);
        QVERIFY(!w.Modified());
        const std::string saved = vmtest::ReadFileBytes(copy);
        QCOMPARE(saved, Bytes(w.form));
        w.Key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(w.Modified()); // undone past the save
        w.Key(Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(!w.Modified());

        // A dialog confirmed without a change is no step and leaves the flag alone.
        OnDialog(seam, Ok);
        w.Key(Qt::Key_Return, Qt::NoModifier);
        QVERIFY(!w.Modified());
        QCOMPARE(UndoText(w.form), QString("&Rückgängig: Teilnehmerdaten bearbeiten"));
        QCOMPARE(w.form.History().Steps(), std::size_t(1));
        QCOMPARE(seam.unexpected, 0);
    }

    void aChangeThatThrowsLeavesTheDocumentAsItWas() {
        TSeamScript seam;
        Window w(file);
        const std::string before = Bytes(w.form);
        bool threw = false;
        try {
            w.form.RunCommand("Kaputt", [](TWettkampf& c) {
                c.At(0)->Free(c.At(0)->At(0));
                c.Header.Veranstaltung.Set("halb fertig");
                throw std::runtime_error("mitten im Befehl");
            });
        } catch (const std::runtime_error&) {
            threw = true;
        }
        QVERIFY(threw);
        QCOMPARE(Bytes(w.form), before);
        QVERIFY(!w.Modified());
        QVERIFY(!w.form.History().CanUndo());
        // The grid shows the competition as it is, not what the change left.
        QCOMPARE(w.form.Grid()->model()->rowCount() - 1, w.Competition().At(0)->Count());
        QCOMPARE(w.form.findChild<QLabel*>("ActivityIndicator")->text(), QString("Bereit"));
    }

    void theHistoryKeepsItsLimitAndOpenStartsAnew() {
        TSeamScript seam;
        Window w(file);
        // More steps than the history keeps: the oldest go first.
        for (int i = 0; i < 105; ++i)
            w.form.RunCommand(QStringLiteral("Schritt %1").arg(i), [i](TWettkampf& c) {
                c.At(0)->At(0)->Zeit[0] = 4000 + i;
            });
        QCOMPARE(w.form.History().Steps(), std::size_t(100));
        QCOMPARE(UndoText(w.form), QString("&Rückgängig: Schritt 104"));
        int back = 0;
        while (w.form.History().CanUndo()) {
            w.form.CmdUndo();
            ++back;
        }
        QCOMPARE(back, 100);
        QCOMPARE(w.Competition().At(0)->At(0)->Zeit[0], 4004);
        QVERIFY(w.Modified()); // the opened state is gone from the history

        // Opening a file starts an empty history.
        seam.AnswerBox(QMessageBox::No);
        QVERIFY(w.form.OpenDocument(QString::fromStdString(other)));
        QVERIFY(!w.form.History().CanUndo());
        QVERIFY(!w.form.History().CanRedo());
        QVERIFY(!w.Modified());
        QCOMPARE(seam.unexpected, 0);
    }

    // Loading reports a second copy of an age class while the grid still showed the
    // competition being replaced: with the box really shown (its event loop running)
    // the grid is repainted, and must read the new competition, not the freed one.
    void loadMessageOverARepaintedGrid() {
        auto big = vmtest::MakeCompetition(false, 400, 2);
        const TSnapshot parts = TSnapshot::Take(*big);
        std::string head = *parts.Head();
        // The count of the age-class list, right after signature, header size and header.
        const std::size_t at = SignatureSize + 4 + TWettkampfHeader::Size;
        head[at] = 2;
        head[at + 1] = 0;
        const std::string once = parts.AgeClasses()[0]->Bytes();
        const std::string twice = head + once + once + *parts.Tail();
        const std::string damaged = dir.File("Doppelt.ERG");
        vmtest::WriteFileBytes(damaged, twice);

        Window w(file);
        QVERIFY(w.Competition().Count() > 1);
        int shown = 0;
        QString boxText;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            ++shown;
            boxText = box->text();
            // What a window moved over the grid does: repaint it while the box is up.
            w.form.Grid()->viewport()->repaint();
            w.form.Grid()->resize(w.form.Grid()->width() - 10, w.form.Grid()->height());
            w.form.Grid()->viewport()->repaint();
            box->accept();
        });
        poll.start();
        QVERIFY(w.form.OpenDocument(QString::fromStdString(damaged)));
        poll.stop();
        QVERIFY(shown >= 1);
        QVERIFY(boxText.contains("existiert bereits"));
        QCOMPARE(w.Competition().Count(), 1);
        QCOMPARE(w.form.Grid()->model()->rowCount() - 1, 400);
    }
};

VM_UI_TEST_MAIN(UndoTest)
#include "UndoTest.moc"
