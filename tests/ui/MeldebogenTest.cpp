// The entry form in the desktop program: "Meldebogen erstellen…" writes the workbook,
// "Importieren…" under "Meldebogen" reads a returned one; rows with errors are listed in
// their own window and nothing is imported unless the user skips them.
#include "support/Builders.h"
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"
#include "support/UiWindow.h"

#include "file/VmErg.h"
#include "io/VmMeldebogen.h"
#include "ui/VmGliedCodes.h"
#include "ui/VmMeldDlg.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <cstdlib>

using namespace vm;
using namespace vm::ui;
using vmtest::Find;
using vmtest::TSeamScript;
using vmtest::OnDialog;
using vmtest::Press;
using Window = vmtest::TMainWindow;

namespace {

QString BoxTexts(const TSeamScript& seam) {
    QStringList l;
    for (const TBoxRequest& b : seam.boxes)
        l << b.text;
    return l.join('\n');
}

std::string Serialised(const TWettkampf& c) {
    TMemoryStream s;
    WriteNative(s, c);
    return s.Data();
}

int Entries(const TWettkampf& c) {
    int n = 0;
    for (const TAltersklasse& ac : c)
        n += ac.Count();
    return n;
}

// A form returned as CSV: one good row, one whose year fits no age class and one with
// an unknown sex.
std::string FaultyForm(const vmtest::TempDir& dir) {
    const std::string file = dir.File("Meldungen Verein.csv");
    vmtest::WriteFileBytes(file, "Name;Vorname;Jahrgang;Geschlecht;Altersklasse;Gliederung\n"
                                 "Neumann;Nina;2016;w;;SH\n"
                                 "Alt;Otto;1890;m;;SH\n"
                                 "Klein;Kim;2016;x;;SH\n");
    return file;
}

} // namespace

class MeldebogenTest : public QObject {
    Q_OBJECT
    vmtest::TempDir dir;

private Q_SLOTS:
    void programCodesAreTheDialogsCodes() {
        QStringList core;
        for (const std::string& code : ProgramGliederungCodes())
            core << QString::fromStdString(code);
        QCOMPARE(core, GliederungCodes());
    }

    void meldebogenErstellenWritesTheWorkbookAndLeavesTheDocument() {
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir));
        const std::string before = Serialised(w.Competition());
        const std::string file = dir.File("Verein.xlsx");
        OnDialog(seam, [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Meldebogen erstellen"));
            auto* box = d.findChild<QComboBox*>("GliederungCombo");
            QVERIFY(box && box->currentText().isEmpty());
            box->lineEdit()->setFocus();
            QTest::keyClicks(box->lineEdit(), "nord");
            QTest::keyClick(&d, Qt::Key_Return);
        });
        seam.AnswerFile(QString::fromStdString(file));
        CmdMeldebogen(w.form);
        QCOMPARE(seam.fileRequests.size(), std::size_t(1));
        QCOMPARE(seam.fileRequests[0].filter, QString("Meldebogen (*.XLSX)"));
        QVERIFY(seam.fileRequests[0].save);
        QVERIFY(!w.Modified());
        QCOMPARE(Serialised(w.Competition()), before);

        TXlsxSheet sheet;
        QCOMPARE(ReadXlsxSheetFile(file, MeldSheetMeldungen, sheet), TXlsxStatus::Ok);
        QCOMPARE(sheet.rows.size(), std::size_t(MeldRows + 1));
        QCOMPARE(sheet.rows[0].cells, MeldColumns(false));
        QCOMPARE(sheet.rows[1].cells.back(), std::string("NORD"));

        // Cancel in the dialog writes nothing, and an existing file is replaced only
        // when the user says so.
        OnDialog(seam, [&](QDialog& d) { Press(d, "Abbrechen"); });
        CmdMeldebogen(w.form);
        QCOMPARE(seam.fileRequests.size(), std::size_t(1));
        const std::string written = vmtest::ReadFileBytes(file);
        OnDialog(seam, [&](QDialog& d) { Press(d, "OK"); });
        seam.AnswerFile(QString::fromStdString(file));
        seam.AnswerBox(QMessageBox::No);
        CmdMeldebogen(w.form);
        QVERIFY(seam.LastBoxText().contains("existiert bereits"));
        QCOMPARE(vmtest::ReadFileBytes(file), written);
        QCOMPARE(seam.unexpected, 0);
    }

    void errorsAreListedAndCancelImportsNothing() {
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir));
        const std::string before = Serialised(w.Competition());
        OnDialog(seam, [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Meldebogen: fehlerhafte Zeilen"));
            auto* table = d.findChild<QTableWidget*>("Fehler");
            QVERIFY(table);
            QCOMPARE(table->rowCount(), 2);
            QCOMPARE(table->item(0, 0)->text(), QString("3"));
            QCOMPARE(table->item(0, 1)->text(), QString("Jahrgang"));
            QCOMPARE(table->item(0, 2)->text(), QString("1890 passt zu keiner Altersklasse."));
            QCOMPARE(table->item(1, 0)->text(), QString("4"));
            QCOMPARE(table->item(1, 1)->text(), QString("Geschlecht"));
            QVERIFY(Find<QLabel>(&d, "Zusammenfassung")->text().contains("nichts importiert"));
            // Escape is Cancel.
            QTest::keyClick(table, Qt::Key_Escape);
        });
        seam.AnswerFile(QString::fromStdString(FaultyForm(dir)), 3);
        w.Key(Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(seam.fileRequests.size(), std::size_t(1));
        QCOMPARE(seam.fileRequests[0].filter,
                 QString("Ergebnisdateien (*.ERG);;Textdateien (*.TXT);;Meldebogen (*.XLSX);;"
                         "Alle Dateien (*)"));
        QCOMPARE(seam.dialogTitles.size(), std::size_t(1));
        QVERIFY(!w.Modified());
        QCOMPARE(Serialised(w.Competition()), before);
        QVERIFY2(seam.boxes.empty(), qPrintable(BoxTexts(seam)));
        QCOMPARE(seam.unexpected, 0);
    }

    void skippingFaultyRowsImportsTheGoodOnesAsOneChange() {
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir));
        const int before = Entries(w.Competition());
        const char* shots = std::getenv("VELMORA_SHOTS");
        OnDialog(seam, [&](QDialog& d) {
            if (shots) QVERIFY(d.grab().save(QString("%1/meldebogen-fehler.png").arg(shots)));
            Press(d, QStringLiteral("Fehlerhafte Zeilen überspringen"));
        });
        // Under "Alle Dateien" the CSV is known by its header.
        seam.AnswerFile(QString::fromStdString(FaultyForm(dir)), 4);
        w.Key(Qt::Key_I, Qt::ControlModifier);
        QVERIFY(w.Modified());
        QCOMPARE(Entries(w.Competition()), before + 1);
        const TTeilnehmer* nina = nullptr;
        for (const TAltersklasse& ac : w.Competition())
            for (const TTeilnehmer& p : ac)
                if (p.Name() == "Neumann") nina = &p;
        QVERIFY(nina);
        QCOMPARE(nina->Gliederung.View(), std::string_view("SH"));
        QCOMPARE(BoxTexts(seam), QString("2 fehlerhafte Zeilen übersprungen.\n"
                                         "Meldungen: 1 neu, 0 geändert, 0 unverändert."));
        QCOMPARE(seam.unexpected, 0);
    }

    void aFileThatIsNoFormChangesNothing() {
        TSeamScript seam;
        Window w(vmtest::SmallCompetitionFile(dir));
        const std::string before = Serialised(w.Competition());
        const std::string file = dir.File("kaputt.xlsx");
        vmtest::WriteFileBytes(file, std::string("PK\x03\x04", 4) + "kein Archiv");
        seam.AnswerFile(QString::fromStdString(file), 3);
        w.Key(Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(seam.boxes.size(), std::size_t(1));
        QCOMPARE(seam.boxes[0].kind, TBoxKind::Error);
        QVERIFY2(BoxTexts(seam).contains("keine lesbare Excel-Arbeitsmappe"),
                 qPrintable(BoxTexts(seam)));
        QVERIFY(!w.Modified());
        QCOMPARE(Serialised(w.Competition()), before);
        QCOMPARE(seam.unexpected, 0);
    }
};

VM_UI_TEST_MAIN(MeldebogenTest)
#include "MeldebogenTest.moc"
