// The main window driven as a user drives it: keys and clicks on the real window,
// boxes and dialogs answered through the seam, results read back from the core.
#include "support/Builders.h"
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"
#include "support/UiWindow.h"

#include "ui/VmFind.h"
#include "ui/VmMain.h"
#include "ui/VmTimeEdit.h"
#include "ui/VmWkDlg.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QTimer>

using namespace vm;
using namespace vm::ui;
using vmtest::TSeamScript;
using Window = vmtest::TMainWindow;

namespace {

QString Label(TMainForm& f, const char* name) {
    return f.findChild<QLabel*>(name)->text();
}

void Key(TMainForm& f, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(f.Grid(), key, mods);
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT
    vmtest::TempDir dir;

private Q_SLOTS:
    void startsUnnamedAndSaveAsksForAName() {
        TSeamScript seam;
        Window w;
        QCOMPARE(w.form.windowTitle(), QString("Velmora - <unbenannt>"));
        QCOMPARE(w.form.CurrentAgeClass(), 0);
        QCOMPARE(w.form.Tabs()->currentIndex(), 0);
        QVERIFY(Label(w.form, "Label1").endsWith(" - Einzelwettbewerbe"));
        QCOMPARE(Label(w.form, "ActivityIndicator"), QString("Bereit"));
        QCOMPARE(Label(w.form, "ModifiedIndicator"), QString());
        // F2 on an unnamed document is Save as; answering Cancel saves nothing.
        seam.AnswerFile(QString());
        Key(w.form, Qt::Key_F2);
        QCOMPARE(seam.fileRequests.size(), std::size_t(1));
        QCOMPARE(seam.fileRequests[0].caption, QString("Wettkampf speichern unter"));
        QVERIFY(seam.fileRequests[0].filter.startsWith("Ergebnisdateien (*.ERG);;dBase (*.DBF);;"));
        QCOMPARE(seam.unexpected, 0);
    }

    void damagedFileAtStartGivesNewCompetition() {
        const std::string bad = dir.File("kaputt.ERG");
        vmtest::WriteFileBytes(bad, "Ergebnisdatei von Vm.EXE Version 2.1 \x01\x02garbage");
        TSeamScript seam;
        Window w(QString::fromStdString(bad));
        // The message names the file and why.
        QCOMPARE(seam.LastBoxText(), QString("Fehler beim Laden der Datei.\nkaputt.ERG: Die Datei ist "
                                             "beschädigt oder keine Ergebnisdatei."));
        QCOMPARE(seam.boxes.back().kind, TBoxKind::Warning);
        QCOMPARE(w.form.windowTitle(), QString("Velmora - <unbenannt>"));
        QVERIFY(w.form.Document()->Competition().Count() > 0);
        QCOMPARE(vmtest::ReadFileBytes(bad).substr(0, 11), std::string("Ergebnisdat"));
    }

    void gridShowsRankedAgeClassWithStatus() {
        TSeamScript seam;
        const auto file = QString::fromStdString(vmtest::SmallCompetitionFile(dir));
        Window w(file);
        QCOMPARE(w.form.windowTitle(), "Velmora - " + file);
        auto* m = w.form.Grid()->model();
        // Three participants, then the empty new-participant row.
        QCOMPARE(m->rowCount(), 4);
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QString("Pl."));
        QCOMPARE(m->headerData(3, Qt::Horizontal).toString(), QString("Jg"));
        QCOMPARE(m->headerData(6, Qt::Horizontal).toString(), QString("Zeit1"));
        QCOMPARE(m->index(0, 4).data().toString(), QString("Berger"));
        QCOMPARE(m->index(0, 0).data().toString(), QString("1."));
        QCOMPARE(m->index(3, 4).data().toString(), QString());
        // Widths in characters times the font's point size.
        const int pt = w.form.Grid()->font().pointSize();
        QCOMPARE(w.form.Grid()->columnWidth(4), 20 * pt);
        QCOMPARE(Label(w.form, "InfoIndicator"), QString("1/3/4"));
        QVERIFY(w.form.Grid()->toolTip().startsWith("Anzeige der Altersklasse "));
        QVERIFY(w.form.Action("actLoeschen")->isEnabled());
        // On the new-participant row nothing can be cut, copied, deleted or edited.
        QTest::keyClick(w.form.Grid(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(w.form.CurrentRow(), 3);
        QCOMPARE(Label(w.form, "InfoIndicator"), QString("3/4"));
        for (auto n : {"actAusschneiden", "actKopieren", "actLoeschen", "actTeilnehmerBearbeiten"})
            QVERIFY2(!w.form.Action(n)->isEnabled(), n);
    }

    void altNAndAltVWrapAround() {
        TSeamScript seam;
        Window w(QString::fromStdString(vmtest::SmallCompetitionFile(dir)));
        const int n = w.form.Document()->Competition().Count();
        Key(w.form, Qt::Key_V, Qt::AltModifier);
        QCOMPARE(w.form.CurrentAgeClass(), n - 1);
        QCOMPARE(w.form.Tabs()->currentIndex(), n - 1);
        Key(w.form, Qt::Key_N, Qt::AltModifier);
        QCOMPARE(w.form.CurrentAgeClass(), 0);
        Key(w.form, Qt::Key_N, Qt::AltModifier);
        QCOMPARE(w.form.CurrentAgeClass(), 1);
        QCOMPARE(w.form.Grid()->model()->rowCount(), 1);
    }

    void findStepsAcrossAgeClassesAndWraps() {
        TSeamScript seam;
        Window w(QString::fromStdString(vmtest::SmallCompetitionFile(dir)));
        Key(w.form, Qt::Key_S, Qt::ControlModifier);
        TFindDlg* find = w.form.FindDialog();
        QVERIFY(find && find->isVisible());
        QTest::keyClicks(find->TextEdit(), "er");
        auto* next = find->findChild<QPushButton*>("FindNext");
        // From Berger (row 0): Zander? no; Meier has "er"; then Krüger in class 3; then Berger.
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(std::string(w.form.CurrentParticipant()->Name())),
                 QString("Zander"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(std::string(w.form.CurrentParticipant()->Name())),
                 QString("Meier"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(w.form.CurrentAgeClass(), 2);
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(w.form.CurrentAgeClass(), 0);
        QCOMPARE(w.form.CurrentRow(), 0);
        // Whole words only: "er" is no name of anybody.
        QTest::mouseClick(find->findChild<QCheckBox*>(), Qt::LeftButton);
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(seam.LastBoxText(), QString("Suchtext 'er' nicht gefunden."));
        QCOMPARE(w.form.CurrentRow(), 0);
    }

    void copyPutsTabbedTextAndTheParticipantOnTheClipboards() {
        TSeamScript seam;
        Window w(QString::fromStdString(vmtest::SmallCompetitionFile(dir)));
        auto* grid = w.form.Grid();
        auto* m = grid->model();
        grid->selectionModel()->select(QItemSelection(m->index(0, 3), m->index(1, 5)),
                                       QItemSelectionModel::ClearAndSelect);
        Key(w.form, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString("12\tBerger\tGreta\t\r\n12\tZander\tPaula\t\r\n"));
        // The participant clipboard holds the current one; Paste inserts a copy.
        Key(w.form, Qt::Key_Insert, Qt::ShiftModifier);
        const TAltersklasse* ac = w.form.Document()->Competition().At(0);
        QCOMPARE(ac->Count(), 4);
        int bergers = 0;
        for (const TTeilnehmer& p : *ac)
            bergers += p.Name() == "Berger";
        QCOMPARE(bergers, 2);
        QCOMPARE(Label(w.form, "ModifiedIndicator"), QString("Geändert"));
    }

    void pasteBeforeAnyCopyInsertsAnEmptyRecord() {
        TSeamScript seam;
        Window w(QString::fromStdString(vmtest::SmallCompetitionFile(dir)));
        Key(w.form, Qt::Key_N, Qt::AltModifier); // an empty age class
        Key(w.form, Qt::Key_Insert, Qt::ShiftModifier);
        const TAltersklasse* ac = w.form.Document()->Competition().At(1);
        QCOMPARE(ac->Count(), 1);
        QCOMPARE(std::string(ac->At(0)->Name()), std::string());
        QCOMPARE(ac->At(0)->Altersklasse.Get(), ac->Name());
        QVERIFY(w.form.Document()->Modified());
    }

    void deleteAsksAndCutDoesNot() {
        TSeamScript seam;
        Window w(QString::fromStdString(vmtest::SmallCompetitionFile(dir)));
        const TAltersklasse* ac = w.form.Document()->Competition().At(0);
        seam.AnswerBox(QMessageBox::No);
        Key(w.form, Qt::Key_Delete);
        QCOMPARE(seam.LastBoxText(),
                 QString("Möchten Sie den Teilnehmer ´Berger, Greta´ löschen?"));
        QCOMPARE(seam.boxes.back().kind, TBoxKind::Warning);
        QCOMPARE(ac->Count(), 3);
        QVERIFY(!w.form.Document()->Modified());
        seam.AnswerBox(QMessageBox::Yes);
        Key(w.form, Qt::Key_Delete);
        QCOMPARE(ac->Count(), 2);
        QCOMPARE(std::string(ac->At(0)->Name()), std::string("Zander"));
        QCOMPARE(ac->At(0)->Platz, 1);
        QVERIFY(w.form.Document()->Modified());
        Key(w.form, Qt::Key_Delete, Qt::ControlModifier); // cut: no question
        QCOMPARE(ac->Count(), 1);
        QCOMPARE(seam.boxes.size(), std::size_t(2));
        QCOMPARE(seam.unexpected, 0);
    }

    void lastAgeClassCannotBeDeleted() {
        TSeamScript seam;
        Window w(QString::fromStdString(vmtest::SmallCompetitionFile(dir)));
        TWettkampf& c = w.Competition();
        // An empty one goes after its question; a full one asks the other question.
        Key(w.form, Qt::Key_N, Qt::AltModifier);
        const QString name = FromOem(c.At(1)->Name());
        seam.AnswerBox(QMessageBox::Yes);
        Key(w.form, Qt::Key_Delete, Qt::AltModifier);
        QCOMPARE(seam.LastBoxText(),
                 QString("Möchten Sie die Altersklasse '%1' löschen?").arg(name));
        seam.AnswerBox(QMessageBox::No);
        Key(w.form, Qt::Key_V, Qt::AltModifier);
        Key(w.form, Qt::Key_Delete, Qt::AltModifier);
        QVERIFY(seam.LastBoxText().endsWith(
            "ist nicht leer. Altersklasse mit allen enthaltenen Teilnehmern löschen?"));
        while (c.Count() > 1)
            c.Free(c.At(c.Count() - 1));
        w.Doc().SetModified(false);
        w.form.RedrawAll();
        Key(w.form, Qt::Key_Delete, Qt::AltModifier);
        QCOMPARE(seam.LastBoxText(),
                 QString("Ein Wettkampf muß mindestens aus einer Altersklasse bestehen. Sie "
                         "können die letzte Altersklasse nicht löschen."));
        QCOMPARE(seam.boxes.back().kind, TBoxKind::Error);
        QCOMPARE(c.Count(), 1);
        QVERIFY(!w.form.Document()->Modified());
        QCOMPARE(seam.unexpected, 0);
    }

    void saveQueryOnClose() {
        const auto file = vmtest::SmallCompetitionFile(dir, "Query.ERG");
        const std::string before = vmtest::ReadFileBytes(file);
        TSeamScript seam;
        Window w(QString::fromStdString(file));
        Key(w.form, Qt::Key_Delete, Qt::ControlModifier);
        // Abbrechen keeps the window open.
        seam.AnswerBox(QMessageBox::Cancel);
        QVERIFY(!w.form.close());
        QCOMPARE(
            seam.LastBoxText(),
            QString("Die Datei ´%1´ wurde geändert. Speichern?").arg(QString::fromStdString(file)));
        QVERIFY(w.form.isVisible());
        // Nein closes without saving.
        seam.AnswerBox(QMessageBox::No);
        QVERIFY(w.form.close());
        QCOMPARE(vmtest::ReadFileBytes(file), before);
        // Ja saves, then closes.
        w.form.show();
        seam.AnswerBox(QMessageBox::Yes);
        QVERIFY(w.form.close());
        QVERIFY(!w.form.Document()->Modified());
        QVERIFY(vmtest::ReadFileBytes(file) != before);
        QCOMPARE(seam.unexpected, 0);
    }

    void insertTypeEnterShowsTheNewRanking() {
        TSeamScript seam;
        Window w(QString::fromStdString(vmtest::SmallCompetitionFile(dir)));
        // Ins, type a name and the fastest first time, Enter: the grid ranks her first.
        seam.OnDialog([](QDialog& d) {
            QTest::keyClicks(d.findChild<QLineEdit*>("NameEdit"), "Ahrens");
            QTest::keyClicks(d.findChild<QLineEdit*>("VornameEdit"), "Lotta");
            for (const char* name : {"MaskEdit1", "MaskEdit2", "MaskEdit3"}) {
                auto* t = d.findChild<TTimeEdit*>(name);
                t->setFocus();
                t->selectAll();
                QTest::keyClicks(t, "02000");
            }
            QTest::keyClick(d.findChild<TTimeEdit*>("MaskEdit3"), Qt::Key_Return);
        });
        Key(w.form, Qt::Key_Insert);
        const TAltersklasse* ac = w.form.Document()->Competition().At(0);
        QCOMPARE(ac->Count(), 4);
        QCOMPARE(std::string(ac->At(0)->Name()), std::string("Ahrens"));
        QCOMPARE(ac->At(0)->Zeit[0], 2000);
        QCOMPARE(ac->At(0)->Platz, 1);
        QVERIFY(ac->At(0)->Has(tnWeiblich));
        QCOMPARE(w.form.Grid()->model()->index(0, 4).data().toString(), QString("Ahrens"));
        QCOMPARE(w.form.CurrentRow(), 0);
        QVERIFY(w.form.Document()->Modified());
        // Cancel inserts nothing.
        seam.OnDialog([](QDialog& d) { d.reject(); });
        Key(w.form, Qt::Key_Insert);
        QCOMPARE(ac->Count(), 4);
        QCOMPARE(seam.unexpected, 0);
    }

    void enterEditsTheRowOrAddsOnTheNewRow() {
        TSeamScript seam;
        Window w(QString::fromStdString(vmtest::SmallCompetitionFile(dir)));
        const TAltersklasse* ac = w.form.Document()->Competition().At(0);
        // Meier (third) becomes the fastest: she moves to the top and stays selected.
        QTest::keyClick(w.form.Grid(), Qt::Key_Down);
        QTest::keyClick(w.form.Grid(), Qt::Key_Down);
        QCOMPARE(std::string(w.form.CurrentParticipant()->Name()), std::string("Meier"));
        seam.OnDialog([](QDialog& d) {
            auto* t = d.findChild<TTimeEdit*>("MaskEdit1");
            t->SetTime(1000);
            d.accept();
        });
        Key(w.form, Qt::Key_Return);
        QCOMPARE(std::string(ac->At(0)->Name()), std::string("Meier"));
        QCOMPARE(std::string(w.form.CurrentParticipant()->Name()), std::string("Meier"));
        // "TN abwesend" on the new-participant row: a new, absent participant.
        QTest::keyClick(w.form.Grid(), Qt::Key_End, Qt::ControlModifier);
        seam.OnDialog([](QDialog& d) {
            QTest::keyClicks(d.findChild<QLineEdit*>("NameEdit"), "Abwesend");
            QTest::mouseClick(d.findChild<QPushButton*>("AbwesendButton"), Qt::LeftButton);
            d.accept();
        });
        Key(w.form, Qt::Key_Enter);
        QCOMPARE(ac->Count(), 4);
        const TTeilnehmer* absent = nullptr;
        for (const TTeilnehmer& p : *ac)
            if (p.Name() == "Abwesend") absent = &p;
        QVERIFY(absent);
        QCOMPARE(absent->Abzug[0], std::int16_t(-3));
        QCOMPARE(absent->HLWPunkte, -300);
        QCOMPARE(seam.unexpected, 0);
    }

    void newChampionshipFromThePresets() {
        TSeamScript seam;
        Window w(QString::fromStdString(vmtest::SmallCompetitionFile(dir)));
        Key(w.form, Qt::Key_Delete, Qt::ControlModifier); // modified
        seam.OnDialog([](QDialog& d) {
            d.findChild<QSpinBox*>("YearEdit")->setValue(2025);
            for (QRadioButton* r : d.findChildren<QRadioButton*>())
                if (r->text() == "Mannschaftsmeisterschaft") r->click();
            d.accept();
        });
        seam.AnswerBox(QMessageBox::No); // the save query: discard
        w.form.Action("actNeu")->trigger();
        QCOMPARE(seam.dialogTitles.at(0), QString("Neue Meisterschaft anlegen"));
        QVERIFY(seam.LastBoxText().endsWith("wurde geändert. Speichern?"));
        QCOMPARE(w.form.windowTitle(), QString("Velmora - <unbenannt>"));
        const TWettkampf& c = w.Competition();
        QVERIFY(!IsSingleCompetition(c));
        QCOMPARE(FromOem(c.Header.Veranstaltung.Get()), QString("neue Meisterschaft 2025"));
        QVERIFY(Label(w.form, "Label1").endsWith(" - Mannschaftswettbewerbe"));
        QCOMPARE(w.form.Grid()->model()->headerData(3, Qt::Horizontal).toString(),
                 QString("Mannschaft"));
        QVERIFY(!w.form.Document()->Modified());
        QCOMPARE(seam.unexpected, 0);
    }

    void labelsOpenTheCompetitionData() {
        TSeamScript seam;
        Window w(QString::fromStdString(vmtest::SmallCompetitionFile(dir)));
        seam.OnDialog([](QDialog& d) {
            auto* e = d.findChild<QLineEdit*>("Edit2");
            if (e) {
                e->clear();
                QTest::keyClicks(e, "Velbund Landesverband Nord");
            }
            d.accept();
        });
        QTest::mouseDClick(w.form.findChild<QLabel*>("Label2"), Qt::LeftButton);
        QCOMPARE(seam.dialogTitles.at(0), QString("Wettkampfdaten"));
        QCOMPARE(Label(w.form, "Label2"), QString("Velbund Landesverband Nord"));
        QVERIFY(w.form.Document()->Modified());
    }

    void droppedFilesOpenTheLastOne() {
        TSeamScript seam;
        const auto first = QString::fromStdString(vmtest::SmallCompetitionFile(dir, "A.ERG"));
        const auto last = QString::fromStdString(vmtest::SmallCompetitionFile(dir, "B.ERG", true));
        Window w;
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(last)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&w.form, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w.form, &drop);
        QCOMPARE(w.form.windowTitle(), "Velmora - " + last);
        QVERIFY(!IsSingleCompetition(w.form.Document()->Competition()));
        // A damaged file dropped later keeps what is open.
        const std::string bad = dir.File("bad.ERG");
        vmtest::WriteFileBytes(bad, "nonsense");
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(bad))});
        QDragEnterEvent enter2(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                               Qt::NoModifier);
        QApplication::sendEvent(&w.form, &enter2);
        QDropEvent drop2(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w.form, &drop2);
        QCOMPARE(w.form.windowTitle(), "Velmora - " + last);
        QVERIFY(seam.LastBoxText().contains("Fehler beim Laden der Datei."));
    }

    void helpItemHiddenWithoutAHelpFile() {
        TSeamScript seam;
        Window w;
        QVERIFY(w.form.HelpFile().isEmpty());
        QVERIFY(!w.form.Action("actRegelwerk")->isVisible());
        QCOMPARE(w.form.Action("actRegelwerk")->statusTip(),
                 QString("Informationen zum Regelwerk 1999 der Velbund"));
        seam.OnDialog([](QDialog& d) { d.accept(); });
        seam.OnDialog([](QDialog& d) { d.accept(); });
        Key(w.form, Qt::Key_T, Qt::AltModifier);
        w.form.Action("actInfo")->trigger();
        QCOMPARE(seam.dialogTitles, (std::vector<QString>{"Tips und Tricks", "Info über Velmora"}));
    }

    void messagesDuringACommandWaitUntilItEnds() {
        TSeamScript seam;
        Window w;
        std::size_t shownInside = 99;
        QString activity;
        w.form.RunCommand("Test", [&](TWettkampf& c) {
            ShowMessage("erste");
            ShowMessage("zweite");
            shownInside = seam.boxes.size();
            activity = Label(w.form, "ActivityIndicator");
            c.Header.Veranstaltung.Set("Bezirk");
        });
        QCOMPARE(shownInside, std::size_t(0));
        QCOMPARE(activity, QString("Warten"));
        QCOMPARE(seam.boxes.size(), std::size_t(2));
        QCOMPARE(seam.boxes[0].text, QString("erste"));
        QCOMPARE(seam.boxes[1].text, QString("zweite"));
        QCOMPARE(Label(w.form, "ActivityIndicator"), QString("Bereit"));
        QCOMPARE(Label(w.form, "ModifiedIndicator"), QString("Geändert"));
        ShowMessage("sofort");
        QCOMPARE(seam.LastBoxText(), QString("sofort"));
    }

    void exceptionsAreReportedAndTheProgramGoesOn() {
        TSeamScript seam;
        Window w;
        QTimer::singleShot(0, &w.form, [&] {
            w.form.RunCommand("Test", [](TWettkampf&) { throw std::runtime_error("kaputt"); });
        });
        QCoreApplication::processEvents();
        QCOMPARE(seam.LastBoxText(), QString("Interner Programmfehler aufgetreten: \r\nkaputt"));
        QCOMPARE(Label(w.form, "ActivityIndicator"), QString("Bereit"));
    }
};

VM_UI_TEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
