// The commands every menu reaches, the messages that name what went wrong, and the
// change journal that the desktop program's save appends to.
#include "support/Builders.h"
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"
#include "support/UiWindow.h"

#include "journal/VmJournal.h"
#include "ui/VmMain.h"
#include "ui/VmWPrn.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>

#include <filesystem>

using namespace vm;
using namespace vm::ui;
using vmtest::TSeamScript;
using vmtest::OnDialog;
using vmtest::Press;
using Window = vmtest::TMainWindow;

namespace {

QMenu* Menu(TMainForm& f, const QString& title) {
    for (QAction* a : f.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

} // namespace

class MenusMessagesTest : public QObject {
    Q_OBJECT
    vmtest::TempDir dir;
    std::string file;

private Q_SLOTS:
    void initTestCase() {
        file = dir.File("Tag1.ERG");
        QCOMPARE(vmtest::RunCli({"generate", file, "--participants", "60", "--seed", "3"}).status, 0);
    }

    // Every finished window is in a menu, with its keys shown.
    void heatEntryAndDataChecksAreInTheMenu() {
        TSeamScript seam;
        Window w(file);
        QMenu* wk = Menu(w.form, "Wett&kampf");
        QVERIFY(wk);
        for (const char* name : {"actLaufeingabe", "actPruefen"}) {
            QAction* a = w.form.Action(name);
            QVERIFY(wk->actions().contains(a));
            QVERIFY(!a->shortcut().isEmpty());
        }
        QMenu* edit = Menu(w.form, "&Bearbeiten");
        QCOMPARE(edit->actions().at(0), w.form.Action("actRueckgaengig"));
        QCOMPARE(edit->actions().at(1), w.form.Action("actWiederherstellen"));
        QMenu* datei = Menu(w.form, "&Datei");
        QVERIFY(datei->actions().contains(w.form.Action("actProtokoll")));
        QVERIFY(datei->actions().contains(w.form.Action("actMeldebogen")));
        // Ctrl+D opens the data checks.
        OnDialog(seam, [](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Daten prüfen"));
            d.reject();
        });
        w.Key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(seam.dialogTitles.size(), std::size_t(1));
        QCOMPARE(seam.unexpected, 0);
    }

    // A result list with findings of the data checks: printing asks first, and Nein
    // opens the checks instead.
    void printingAResultListOffersTheChecks() {
        TSeamScript seam;
        Window w(file);
        // Somebody without any time: a finding.
        w.form.RunCommand("Zeiten löschen", [](TWettkampf& c) {
            TTeilnehmer& p = *c.At(0)->At(0);
            p.Zeit = {};
            p.Abzug = {};
            RecalcAgeClass(*c.At(0));
        });
        OnDialog(seam, [](QDialog& d) {
            auto* print = qobject_cast<TDruckenDlg*>(&d);
            QVERIFY(print);
            print->SetListKind(rkErgebnis);
            Press(d, "OK");
        });
        seam.AnswerBox(QMessageBox::No);
        OnDialog(seam, [](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Daten prüfen"));
            d.reject();
        });
        w.Key(Qt::Key_F4, Qt::NoModifier);
        QVERIFY(!seam.boxes.empty());
        QVERIFY2(seam.boxes[0].text.contains(QRegularExpression(
                     "^Es gibt \\d+ Hinweise? der Datenprüfung\\. Trotzdem drucken\\?$")),
                 qPrintable(seam.boxes[0].text));
        QCOMPARE(seam.dialogTitles.size(), std::size_t(2));
        QCOMPARE(seam.unexpected, 0);
    }

    // A save that fails names the file and the system's reason, with a warning.
    void aFailedSaveSaysWhichFileAndWhy() {
        TSeamScript seam;
        Window w(file);
        const std::string target = dir.File("fehlt/Neu.ERG");
        seam.AnswerFile(QString::fromStdString(target), 1);
        w.form.CmdSaveAs();
        QCOMPARE(seam.boxes.size(), std::size_t(1));
        QCOMPARE(seam.boxes[0].kind, TBoxKind::Warning);
        QCOMPARE(seam.boxes[0].text,
                 QString("Fehler beim Speichern der Datei.\nNeu.ERG: Datei oder Verzeichnis nicht "
                         "gefunden"));
        QCOMPARE(w.form.Document()->FileName(), file);
        QCOMPARE(seam.unexpected, 0);
    }

    // A merge that skips several age classes lists them in one window.
    void skippedEntriesOfAMergeComeInOneList() {
        const std::string source = dir.File("Quelle.ERG");
        QCOMPARE(vmtest::RunCli({"generate", source, "--participants", "40", "--seed", "8"}).status, 0);
        TSeamScript seam;
        Window w(file);
        // A competition that keeps only its first age class.
        w.form.RunCommand("Altersklassen", [](TWettkampf& c) {
            while (c.Count() > 1)
                c.Free(c.At(1));
        });
        seam.AnswerFile(QString::fromStdString(source), 1);
        OnDialog(seam, [](QDialog& d) {
            // Without "add missing age classes": the others are skipped.
            vmtest::Click(d.findChild<QCheckBox*>("Option1"));
            Press(d, "OK");
        });
        int listed = 0;
        OnDialog(seam, [&](QDialog& d) {
            auto* list = d.findChild<QListWidget*>("Meldungen");
            QVERIFY(list);
            listed = list->count();
            for (int i = 0; i < list->count(); ++i)
                QVERIFY(list->item(i)->text().endsWith("übersprungen."));
            d.accept();
        });
        w.Key(Qt::Key_I, Qt::ControlModifier);
        QVERIFY(listed > 1);
        for (const auto& b : seam.boxes)
            QVERIFY2(!b.text.endsWith("übersprungen."), qPrintable(b.text));
        QCOMPARE(seam.unexpected, 0);
    }

    // Saving appends a block per step since the last save to the journal beside the
    // file; a step undone before the save does not appear.
    void saveWritesTheJournal() {
        const std::string copy = dir.File("Journal.ERG");
        vmtest::WriteFileBytes(copy, vmtest::ReadFileBytes(file));
        TSeamScript seam;
        Window w(copy);
        const std::string who = OemToUtf8(w.Competition().At(0)->At(0)->Name());
        OnDialog(seam, [](QDialog& d) {
            vmtest::Type(d.findChild<QLineEdit*>("NameEdit"), "Verworfen");
            Press(d, "OK");
        });
        w.Key(Qt::Key_Return, Qt::NoModifier);
        w.Key(Qt::Key_Z, Qt::ControlModifier);
        OnDialog(seam, [](QDialog& d) {
            vmtest::Type(d.findChild<QLineEdit*>("NameEdit"), "Gespeichert");
            Press(d, "OK");
        });
        w.Key(Qt::Key_Return, Qt::NoModifier);
        w.Key(Qt::Key_F2, Qt::NoModifier);
        std::string text, error;
        QVERIFY(ReadJournal(copy, text, error));
        QVERIFY(text.find(" | Teilnehmerdaten bearbeiten | Velmora\n") != std::string::npos);
        QVERIFY(text.find("Name " + who + " → Gespeichert") != std::string::npos);
        QVERIFY(text.find("Verworfen") == std::string::npos);

        // Undone past the save, the next save journals the step taken back.
        w.Key(Qt::Key_Z, Qt::ControlModifier);
        w.Key(Qt::Key_F2, Qt::NoModifier);
        QVERIFY(ReadJournal(copy, text, error));
        QVERIFY(text.find("Rückgängig: Teilnehmerdaten bearbeiten | Velmora") != std::string::npos);
        QVERIFY(text.find("Name Gespeichert → " + who) != std::string::npos);
        QCOMPARE(seam.unexpected, 0);
    }
};

VM_UI_TEST_MAIN(MenusMessagesTest)
#include "MenusMessagesTest.moc"
