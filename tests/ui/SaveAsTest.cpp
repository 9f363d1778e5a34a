// "Speichern unter..." with every file type from the real main window: the export's
// option dialog worked with keys and clicks, and the written file compared byte for
// byte with what velmora-cli save-as writes with the same options.
#include "support/Builders.h"
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"
#include "support/UiWindow.h"

#include "file/VmErg.h"
#include "output/PdfWriter.h"
#include "ui/VmMain.h"
#include "ui/VmOptDlg.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QUrl>

#include <cstdlib>
#include <filesystem>
#include <functional>

using namespace vm;
using namespace vm::ui;
using vmtest::Click;
using vmtest::Find;
using vmtest::TSeamScript;
using vmtest::Type;
using Window = vmtest::TMainWindow;

// Takes the place of the desktop's PDF viewer.
class TViewerStub : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened.push_back(url); }
};

namespace {

void Click(QDialog& d, const QString& button) {
    Click(Find<QAbstractButton>(&d, button));
}

bool Checked(QDialog& d, const QString& nameOrText) {
    auto* b = Find<QAbstractButton>(&d, nameOrText);
    return b && b->isChecked();
}

// "Speichern unter..." with the name and filter index; dialogs as queued before.
void SaveAs(TSeamScript& seam, Window& w, const std::string& name, int filterIndex) {
    seam.AnswerFile(QString::fromStdString(name), filterIndex);
    w.form.Action("actSpeichernUnter")->trigger();
}

std::string CliSaveAs(const std::string& source, const std::string& out, const std::string& type,
                      std::vector<std::string> options = {}) {
    std::vector<std::string> args = {"save-as", source, out, "--type", type};
    args.insert(args.end(), options.begin(), options.end());
    const vmtest::CliResult r = vmtest::RunCli(args);
    if (r.status != 0) return "velmora-cli failed: " + r.err;
    return vmtest::ReadFileBytes(out);
}

// Two PDF files of the same list differ in nothing but their creation date and the
// footer's clock time; the desktop's file and the command line's are written seconds apart.
std::string WithoutWritingTime(const std::string& pdf) {
    QString s = QString::fromLatin1(pdf.data(), static_cast<qsizetype>(pdf.size()));
    s.replace(QRegularExpression("/CreationDate\\(D:\\d{14}\\)"), "/CreationDate(D:)");
    s.replace(QRegularExpression("\\d\\d\\.\\d\\d\\.\\d{4} - \\d\\d:\\d\\d:\\d\\d Uhr"),
              "TT.MM.JJJJ - hh:mm:ss Uhr");
    return s.toLatin1().toStdString();
}

} // namespace

class SaveAsTest : public QObject {
    Q_OBJECT
    vmtest::TempDir dir;
    std::string source;
    TViewerStub viewer;

private Q_SLOTS:
    void initTestCase() {
        QDesktopServices::setUrlHandler("file", &viewer, "open");
        source = dir.File("Bezirk.ERG");
        const auto r = vmtest::RunCli({"generate", source, "--participants", "60", "--seed", "4"});
        QCOMPARE(r.status, 0);
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("file"); }

    void exportsWithTheirOptionsMatchTheCommandLine() {
        struct Case {
            int filter;
            std::string name;
            std::string type;
            std::vector<std::string> cliOptions;
            std::function<void(TSeamScript&, QDialog&)> dialog;
            std::string starts = {}; // the first bytes of the file
        };
        const std::string picture = dir.File("wellen.gif");
        vmtest::WriteFileBytes(picture, "GIF89a");
        const std::vector<Case> cases = {
            {2, "Bezirk.DBF", "dbf", {}, {}},
            {3, "Bezirk.XLS", "xls", {}, {}},
            {7, "Bezirk.XLSX", "xlsx", {}, {}},
            {4,
             "Bezirk.HTM",
             "htm",
             {"--text-form", "--no-links", "--background-colour", "blau", "--background-picture",
              "wellen.gif"},
             [&](TSeamScript& seam, QDialog& d) {
                 QCOMPARE(d.windowTitle(), QString("HTML Optionen"));
                 QVERIFY(Checked(d, "Tabellenform"));
                 QVERIFY(Checked(d, "Sprungziele für Altersklassen"));
                 QVERIFY(Checked(d, "incl. Ergebnisse der Disziplinen"));
                 auto* colour = d.findChild<QComboBox*>("FarbeCombo");
                 QCOMPARE(colour->currentIndex(), -1);
                 QCOMPARE(colour->count(), 9);
                 auto* bild = d.findChild<QLineEdit*>("BildEdit");
                 QVERIFY(bild->text().isEmpty());
                 Click(d, "Textform");
                 Click(d, "Sprungziele für Altersklassen");
                 colour->setFocus();
                 QTest::keyClicks(colour, "b");
                 QCOMPARE(colour->currentText(), QString("blau"));
                 seam.AnswerFile(QString::fromStdString(picture));
                 // The mnemonic clicks the button a moment later.
                 QTest::keyClick(&d, Qt::Key_D, Qt::AltModifier);
                 QTRY_COMPARE(bild->text(), QString("wellen.gif"));
                 Click(d, "OK");
             }},
            {6,
             "Bezirk.CSV",
             "csv",
             {"--charset", "dos", "--separator", "{TAB}", "--no-quotes", "--non-starters"},
             [&](TSeamScript&, QDialog& d) {
                 QCOMPARE(d.windowTitle(), QString("Textexport - Optionen"));
                 QVERIFY(Checked(d, "ANSI (WIN)"));
                 auto* sep = d.findChild<QComboBox*>("TrennzeichenCombo");
                 QCOMPARE(sep->currentText(), QString(";"));
                 QCOMPARE(d.findChild<QComboBox*>("BegrenzungszeichenCombo")->currentText(),
                          QString("\""));
                 QVERIFY(Checked(d, "mit Spaltenüberschriften der Felder"));
                 QVERIFY(Checked(d, "Felder mit Begrenzungszeichen "));
                 QVERIFY(Checked(d, "incl. Ergebnisse der Disziplinen"));
                 QVERIFY(!Checked(d, "incl. nicht angetretene Teilnehmer"));
                 Click(d, "ASCII (DOS)");
                 Type(sep->lineEdit(), "{TAB}");
                 QCOMPARE(sep->currentText(), QString("{TAB}"));
                 Click(d, "Felder mit Begrenzungszeichen ");
                 Click(d, "incl. nicht angetretene Teilnehmer");
                 Click(d, "OK");
             }},
            {6,
             "Unicode.CSV",
             "csv",
             {"--charset", "utf8"},
             [&](TSeamScript&, QDialog& d) {
                 Click(d, "UTF-8 (Unicode)");
                 Click(d, "OK");
             },
             "\xEF\xBB\xBF\"NAME\";"},
        };
        for (const Case& k : cases) {
            TSeamScript seam;
            Window w(source);
            const QString caption = w.form.windowTitle();
            if (k.dialog)
                seam.OnDialog([&](QDialog& d) {
                    QApplication::setActiveWindow(&d);
                    k.dialog(seam, d);
                });
            SaveAs(seam, w, dir.File(k.name), k.filter);
            QCOMPARE(seam.dialogTitles.size(), std::size_t(k.dialog ? 1 : 0));
            const std::string written = vmtest::ReadFileBytes(dir.File(k.name));
            QVERIFY2(!written.empty(), k.name.c_str());
            QVERIFY2(written.rfind(k.starts, 0) == 0, k.name.c_str());
            QVERIFY2(written == CliSaveAs(source, dir.File("cli-" + k.name), k.type, k.cliOptions),
                     k.name.c_str());
            // An export leaves the document as it was.
            QCOMPARE(w.Doc().FileName(), source);
            QVERIFY(!w.Doc().Modified());
            QCOMPARE(w.form.windowTitle(), caption);
            QCOMPARE(seam.unexpected, 0);
            QVERIFY(seam.boxes.empty());
        }
    }

    void resultFileTakesTheNameCopyDoesNot() {
        TSeamScript seam;
        Window w(source);
        w.Doc().SetModified();
        const std::string copy = dir.File("Kopie.ERG");
        SaveAs(seam, w, copy, 8);
        QCOMPARE(vmtest::ReadFileBytes(copy), CliSaveAs(source, dir.File("cli-Kopie.ERG"), "copy"));
        QCOMPARE(w.Doc().FileName(), source);
        QVERIFY(w.Doc().Modified());

        const std::string renamed = dir.File("Endlauf.ERG");
        SaveAs(seam, w, renamed, 1);
        QCOMPARE(vmtest::ReadFileBytes(renamed),
                 CliSaveAs(source, dir.File("cli-Endlauf.ERG"), "erg"));
        QCOMPARE(w.Doc().FileName(), renamed);
        QVERIFY(!w.Doc().Modified());
        QCOMPARE(w.form.windowTitle(), "Velmora - " + QString::fromStdString(renamed));
        QCOMPARE(seam.dialogTitles.size(), std::size_t(0));
        QCOMPARE(seam.unexpected, 0);
    }

    void everyFilterEntryGivesItsTypeAndExtension() {
        // The entries in order; a name typed without an extension gets the entry's.
        struct Entry {
            QString filter;
            const char* suffix;
            std::string head;
        };
        const Entry entries[] = {
            {"Ergebnisdateien (*.ERG)", "ERG", std::string(SignatureV21)},
            {"dBase (*.DBF)", "DBF", std::string("\x03", 1)},
            {"Excel (*.XLS)", "XLS", std::string("\x09\x02\x06\x00", 4)},
            {"HTML Datei (*.HTM)", "HTM", "<HTML>"},
            {"PDF Datei (*.PDF)", "PDF", "%PDF-"},
            {"Textdateien (*.CSV)", "CSV", "\"NAME\";"},
            {"Excel-Arbeitsmappe (*.XLSX)", "XLSX", std::string("PK\x03\x04", 4)},
            {"Alle Dateien (*)", "ERG", std::string(SignatureV21)},
        };
        viewer.opened.clear();
        for (int index = 1; index <= 8; ++index) {
            const Entry& e = entries[index - 1];
            TSeamScript seam;
            Window w(source);
            seam.OnDialog([&](QDialog& d) { Click(d, "OK"); });
            const std::string base = dir.File("Eintrag" + std::to_string(index));
            SaveAs(seam, w, base, index);
            QCOMPARE(seam.fileRequests.size(), std::size_t(1));
            QCOMPARE(seam.fileRequests[0].filter.split(";;").value(index - 1), e.filter);
            QCOMPARE(seam.fileRequests[0].filter.split(";;").size(), 8);
            const std::string written = vmtest::ReadFileBytes(base + "." + e.suffix);
            QVERIFY2(written.substr(0, e.head.size()) == e.head, e.suffix);
            QCOMPARE(seam.unexpected, 0);
        }
        viewer.opened.clear();
    }

    void pdfFillsSubjectAndAuthorAndOpensTheFile() {
        viewer.opened.clear();
        TSeamScript seam;
        Window w(source);
        const TWettkampf& c = w.Doc().Competition();
        seam.OnDialog([&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("PDF Optionen"));
            QCOMPARE(d.findChild<QLineEdit*>("Edit1")->text(), QString("Velbund Rettungssport"));
            QCOMPARE(d.findChild<QLineEdit*>("Edit2")->text(),
                     FromOem(c.Header.Veranstaltung.View()) + " - Einzelwettbewerb");
            QCOMPARE(d.findChild<QLineEdit*>("Edit3")->text(),
                     FromOem(c.Header.Veranstalter.View()));
            QCOMPARE(d.findChild<QLineEdit*>("Edit4")->text(),
                     QString("Velbund, Rettungssport, Ergebnis"));
            QVERIFY(!d.findChild<QCheckBox*>("CheckBox1")->isEnabled());
            auto* load = d.findChild<QCheckBox*>("LoadPDFCB");
            QVERIFY(load->isChecked() && !load->isVisible());
            Click(d, "OK");
        });
        const std::string pdf = dir.File("Ergebnisse.PDF");
        SaveAs(seam, w, pdf, 5);
        QCOMPARE(WithoutWritingTime(vmtest::ReadFileBytes(pdf)),
                 WithoutWritingTime(CliSaveAs(source, dir.File("cli-Ergebnisse.PDF"), "pdf")));
        QCOMPARE(viewer.opened.size(), std::size_t(1));
        QCOMPARE(viewer.opened[0], QUrl::fromLocalFile(QString::fromStdString(pdf)));

        // What the user types goes into the file, umlauts in the Windows character set.
        seam.OnDialog([&](QDialog& d) {
            QApplication::setActiveWindow(&d);
            Type(d.findChild<QLineEdit*>("Edit1"), "Kreismeisterschaft");
            QTest::keyClick(&d, Qt::Key_S, Qt::AltModifier);
            QWidget* keywords = QApplication::focusWidget();
            QCOMPARE(keywords, d.findChild<QLineEdit*>("Edit4"));
            QTest::keyClick(keywords, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(keywords, "R");
            QTest::sendKeyEvent(QTest::Click, keywords, Qt::Key_Udiaeresis, QString("ü"),
                                Qt::NoModifier);
            QTest::keyClicks(keywords, "ckenlage");
            Click(d, "OK");
        });
        const std::string edited = dir.File("Kreis.PDF");
        SaveAs(seam, w, edited, 5);
        const std::string bytes = vmtest::ReadFileBytes(edited);
        QVERIFY(bytes.find("/Title(Kreismeisterschaft)") != std::string::npos);
        QVERIFY(bytes.find("/Keywords(R\xFC"
                           "ckenlage)") != std::string::npos);
        QCOMPARE(w.form.PdfInfo().Title, std::string("Kreismeisterschaft"));
        QCOMPARE(viewer.opened.size(), std::size_t(2));
        QCOMPARE(seam.unexpected, 0);
    }

    void cancelInAnOptionDialogWritesNothing() {
        for (int filter : {4, 5, 6}) {
            viewer.opened.clear();
            TSeamScript seam;
            Window w(source);
            seam.OnDialog([&](QDialog& d) { Click(d, "Abbrechen"); });
            const std::string name = dir.File("Abbruch" + std::to_string(filter) + ".OUT");
            SaveAs(seam, w, name, filter);
            QCOMPARE(seam.dialogTitles.size(), std::size_t(1));
            QVERIFY(!std::filesystem::exists(name));
            QVERIFY(seam.boxes.empty());
            QVERIFY(viewer.opened.empty());
            QVERIFY(!w.Doc().Modified());
        }
    }

    void failedExportSaysSoAndWritesNothing() {
        TSeamScript seam;
        Window w(source);
        seam.OnDialog([&](QDialog& d) { Click(d, "OK"); });
        const std::string name = dir.File("fehlt/Liste.CSV");
        SaveAs(seam, w, name, 6);
        QCOMPARE(seam.LastBoxText(), QString("Fehler beim Speichern der Datei.\nListe.CSV: Datei "
                                             "oder Verzeichnis nicht gefunden"));
        QVERIFY(!std::filesystem::exists(dir.File("fehlt")));
        QCOMPARE(w.Doc().FileName(), source);
    }

    void fieldButtonsActOnlyWhenTheyCan() {
        TOptTXTDlg dlg(nullptr, TTextExportOptions{});
        dlg.show();
        auto* possible = dlg.findChild<QListWidget*>("MoeglicheList");
        auto* exported = dlg.findChild<QListWidget*>("ExportierteList");
        auto button = [&](const char* name) { return dlg.findChild<QPushButton*>(name); };
        auto enabled = [&] {
            QString s;
            for (auto n : {"AddBtn", "AddAllBtn", "RemoveBtn", "RemoveAllBtn", "UpBtn", "DownBtn"})
                s += button(n)->isEnabled() ? '1' : '0';
            return s;
        };
        QCOMPARE(possible->count(), 21);
        QCOMPARE(exported->item(5)->text(), QString("Zeit 1"));
        QCOMPARE(exported->item(20)->text(), QString("HLW Punkte"));
        QCOMPARE(enabled(), QString("010100"));
        exported->item(5)->setSelected(true);
        QCOMPARE(enabled(), QString("011111"));
        Click(button("UpBtn"));
        QCOMPARE(exported->item(4)->text(), QString("Zeit 1"));
        exported->clearSelection();
        exported->item(20)->setSelected(true);
        QCOMPARE(enabled(), QString("011110"));
        Click(button("RemoveAllBtn"));
        QCOMPARE(exported->count(), 0);
        QCOMPARE(possible->count(), 21);
        QCOMPARE(enabled(), QString("010000"));
        possible->item(0)->setSelected(true);
        Click(button("AddBtn"));
        QCOMPARE(exported->count(), 1);
        QCOMPARE(exported->item(0)->text(), QString("Platz"));
        QCOMPARE(possible->count(), 20);
        Click(button("AddAllBtn"));
        QCOMPARE(exported->count(), 21);
        QCOMPARE(possible->count(), 0);
        QCOMPARE(enabled(), QString("000100"));
    }

    // Only with VELMORA_SHOTS naming a folder: each option dialog as save as opens it.
    void screenshots() {
        const char* folder = std::getenv("VELMORA_SHOTS");
        if (!folder) QSKIP("VELMORA_SHOTS names no folder");
        TSeamScript seam;
        Window w(source);
        auto shot = [&](const QString& name) {
            seam.OnDialog([&, name](QDialog& d) {
                QVERIFY(d.grab().save(QString("%1/%2.png").arg(folder, name)));
                if (auto* pages = d.findChild<QTabWidget*>()) {
                    pages->setCurrentIndex(1);
                    QVERIFY(d.grab().save(QString("%1/%2-felder.png").arg(folder, name)));
                }
                d.reject();
            });
        };
        const std::vector<std::pair<int, QString>> shots = {
            {4, "opthtml"}, {5, "optpdf"}, {6, "opttxt"}};
        for (const auto& [filter, name] : shots) {
            shot(name);
            SaveAs(seam, w, dir.File("shot.out"), filter);
        }
        QCOMPARE(seam.unexpected, 0);
    }
};

VM_UI_TEST_MAIN(SaveAsTest)
#include "SaveAsTest.moc"
