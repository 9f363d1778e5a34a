// A championship day worked through the real windows with keyboard and mouse: exports
// beside the result file, a typo in a formula, impossible times, names with letters the
// result file lacks, the frozen columns of the grid, windows on a small screen, masked
// edits that take typing at once, and the small things of the look.
#include "support/TestSupport.h"
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"
#include "support/UiWindow.h"

#include "file/VmErg.h"
#include "ui/VmAkDlg.h"
#include "ui/VmDlgKit.h"
#include "ui/VmFrozenGrid.h"
#include "ui/VmMain.h"
#include "ui/VmOpsDlg.h"
#include "ui/VmRekDlg.h"
#include "ui/VmTeilnDlg.h"
#include "ui/VmTimeEdit.h"
#include "ui/VmWkDlg.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QUrl>

#include <filesystem>

using namespace vm;
using namespace vm::ui;
using vmtest::Click;
using vmtest::TSeamScript;
using vmtest::Type;
using Window = vmtest::TMainWindow;

// Takes the place of the desktop's PDF viewer.
class TViewerStub : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void open(const QUrl&) {}
};

namespace {

template <class W = QWidget> W* Get(QWidget& root, const QString& name) {
    W* w = vmtest::Find<W>(&root, name);
    if (!w) qFatal("no control %s", qPrintable(name));
    return w;
}

void ClickButton(QDialog& d, const QString& text) {
    Click(Get<QAbstractButton>(d, text));
}

// A key as the keyboard types it, any character (QTest's own clicks know Latin-1 only).
void TypeChar(QWidget* w, const QString& ch) {
    QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, ch, Qt::NoModifier);
}

// The dialog is the active window, its first field has the focus, as when it opened.
void Activate(QDialog& d) {
    QApplication::setActiveWindow(&d);
    QTRY_COMPARE(QApplication::activeWindow(), &d);
}

int CountContaining(const std::vector<TBoxRequest>& boxes, const QString& part) {
    int n = 0;
    for (const TBoxRequest& b : boxes)
        n += b.text.contains(part) ? 1 : 0;
    return n;
}

} // namespace

class ChampionshipDayTest : public QObject {
    Q_OBJECT
    vmtest::TempDir dir;
    std::string source; // a generated competition with results
    TViewerStub viewer;

private Q_SLOTS:
    void initTestCase() {
        QDesktopServices::setUrlHandler("file", &viewer, "open");
        source = dir.File("Bezirk.ERG");
        QCOMPARE(vmtest::RunCli({"generate", source, "--participants", "60", "--seed", "7"}).status,
                 0);
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("file"); }

    // "Tag1" typed without extension in the real file dialog, any export type chosen
    // there: the export gets the type's extension and the result file Tag1.ERG beside
    // it keeps every byte; no backup appears.
    void exportsTypedWithoutExtensionLeaveTheResultFile() {
        const std::filesystem::path folder = dir.Path() / "tag";
        std::filesystem::create_directories(folder);
        const std::string erg = (folder / "Tag1.ERG").string();
        std::filesystem::copy_file(source, erg);
        const std::string before = vmtest::ReadFileBytes(erg);
        const char* suffixes[] = {"", "", "DBF", "XLS", "HTM", "PDF", "CSV", "XLSX"};
        for (int filter = 2; filter <= 7; ++filter) {
            TSeamScript seam;
            vm::ui::SetFileHandler({}); // the real file dialog
            Window w(erg);
            vm::ui::SetDialogHandler([&](QDialog& d) {
                if (auto* fd = qobject_cast<QFileDialog*>(&d)) {
                    fd->setDirectory(QString::fromStdString(folder.string()));
                    auto* types = fd->findChild<QComboBox*>("fileTypeCombo");
                    QVERIFY(types);
                    types->setFocus();
                    for (int i = 1; i < filter; ++i)
                        QTest::keyClick(types, Qt::Key_Down);
                    QCOMPARE(types->currentIndex(), filter - 1);
                    auto* name = fd->findChild<QLineEdit*>("fileNameEdit");
                    QVERIFY(name);
                    Type(name, "Tag1");
                    QTest::keyClick(name, Qt::Key_Return);
                    QTRY_VERIFY(!fd->isVisible());
                    return;
                }
                ClickButton(d, "OK"); // the export's options as they are
            });
            w.form.Action("actSpeichernUnter")->trigger();
            QCOMPARE(vmtest::ReadFileBytes(erg), before);
            QVERIFY(!std::filesystem::exists(folder / "Tag1.BAK"));
            const std::string written = vmtest::ReadFileBytes(
                (folder / ("Tag1." + std::string(suffixes[filter]))).string());
            QVERIFY2(!written.empty(), suffixes[filter]);
            QVERIFY(seam.boxes.empty());
            QCOMPARE(w.Doc().FileName(), erg);
        }
    }

    // Naming the result file itself (or any file with a result file's signature) for an
    // export is refused with a message and writes nothing, in the desktop and in
    // velmora-cli alike.
    void anExportIsRefusedOverAResultFile() {
        const std::string erg = dir.File("Tag2.ERG");
        std::filesystem::copy_file(source, erg);
        const std::string old = dir.File("Alt.CSV"); // an older version's result file
        vmtest::WriteFileBytes(old, std::string(SignatureV15) + "Daten");
        const std::string ergBytes = vmtest::ReadFileBytes(erg);
        for (const std::string& target : {erg, old}) {
            for (int filter : {2, 4, 6}) {
                TSeamScript seam;
                Window w(erg);
                seam.AnswerFile(QString::fromStdString(target), filter);
                w.form.Action("actSpeichernUnter")->trigger();
                QCOMPARE(seam.boxes.size(), std::size_t(1));
                QCOMPARE(seam.boxes[0].kind, TBoxKind::Warning);
                QVERIFY(seam.boxes[0].text.startsWith(QString::fromStdString(target) +
                                                      " ist eine Ergebnisdatei."));
                QVERIFY(seam.dialogTitles.empty()); // not even the export's options
            }
        }
        QCOMPARE(vmtest::ReadFileBytes(erg), ergBytes);
        QCOMPARE(vmtest::ReadFileBytes(old), std::string(SignatureV15) + "Daten");
        QVERIFY(!std::filesystem::exists(dir.File("Tag2.BAK")));

        const auto cli = vmtest::RunCli({"save-as", erg, old});
        QCOMPARE(cli.status, 2);
        QVERIFY(cli.err.find(old) != std::string::npos);
        QCOMPARE(vmtest::RunCli({"save-as", erg, erg, "--type", "pdf"}).status, 2);
        QCOMPARE(vmtest::ReadFileBytes(erg), ergBytes);
        QCOMPARE(vmtest::ReadFileBytes(old), std::string(SignatureV15) + "Daten");
        // A copy of the result file may still replace one.
        QCOMPARE(vmtest::RunCli({"save-as", erg, old, "--type", "copy"}).status, 0);
    }

    // The discipline dialog refuses "(T" on OK: one message with the position, the
    // dialog stays open with the cursor at the fault.
    void aFormulaTypoIsCaughtInTheDisciplineDialog() {
        TSeamScript seam;
        TDisziplin d;
        d.Berechnungsart = baNeu;
        bool checked = false;
        seam.OnDialog([&](QDialog& dlg) {
            Activate(dlg);
            ClickButton(dlg, "benutzerdefiniert (per Formel)");
            auto* formula = Get<QLineEdit>(dlg, "Edit2");
            Type(formula, "(T");
            Get<QLineEdit>(dlg, "Edit1")->setFocus();
            QTest::keyClick(&dlg, Qt::Key_Return);
            QVERIFY(dlg.isVisible());
            QCOMPARE(seam.boxes.size(), std::size_t(1));
            QCOMPARE(seam.boxes[0].text,
                     QStringLiteral("Operator oder schließende Klammer erwartet.\r\n"
                                    "Position: 3\r\n(T"));
            QCOMPARE(QApplication::focusWidget(), formula);
            QCOMPARE(formula->cursorPosition(), 2);
            Type(formula, "100000-T");
            ClickButton(dlg, "OK");
            checked = true;
        });
        QVERIFY(TDisziplinDatenDlg::Open(nullptr, d, false, true));
        QVERIFY(checked);
        QCOMPARE(d.Formel.Get(), std::string("100000-T"));
        QCOMPARE(d.Berechnungsart, std::int16_t(baFormel));
        QCOMPARE(seam.boxes.size(), std::size_t(1));
    }

    // A stored faulty formula: one message for the age class and discipline when the file
    // opens, not one per participant, in the desktop and in velmora-cli.
    void aStoredFaultyFormulaIsReportedOnce() {
        const std::string file = dir.File("Formel.ERG");
        {
            std::unique_ptr<TWettkampf> c = Load(source);
            QVERIFY(c);
            TAltersklasse& ac = *c->At(0);
            QVERIFY(ac.Count() > 1);
            TDisziplin& d = ac.Data.Disziplinen[0];
            d.Berechnungsart = baFormel;
            d.Formel.Set("(T");
            QVERIFY(Save(file, *c, TSaveFormat::Ergebnis));
        }
        TSeamScript seam;
        Window w(file);
        QCOMPARE(CountContaining(seam.boxes, "Position: 3"), 1);
        QVERIFY(seam.boxes[0].text.startsWith(
            "Altersklasse " + FromOem(w.Competition().At(0)->Name()) + ", Disziplin 1"));
        const auto cli = vmtest::RunCli({"info", file});
        QCOMPARE(cli.status, 0);
        std::size_t at = 0;
        int found = 0;
        while ((at = cli.err.find("Position: 3", at)) != std::string::npos)
            ++found, ++at;
        QCOMPARE(found, 1);
    }

    // "3845" is 3:84,5: refused on leaving the field, in the participant and in the
    // records dialog; so are the HLW start 25:99 and an age class from 1966 to 1950.
    void impossibleTimesAreRefusedWhereTyped() {
        TVmFile doc;
        doc.New(8, 2026);
        TWettkampf& c = doc.Competition();
        c.Header.Optionen = 1; // with hundredths
        TTeilnehmer p;
        p.Altersklasse.Set(c.At(0)->Name());
        {
            TSeamScript seam;
            seam.OnDialog([&](QDialog& d) {
                Activate(d);
                auto* time = Get<TTimeEdit>(d, "MaskEdit1");
                Type(time, "3845");
                QCOMPARE(time->text(), QStringLiteral("3:84,5"));
                QTest::keyClick(time, Qt::Key_Tab);
                QTRY_COMPARE(seam.boxes.size(), std::size_t(1));
                QCOMPARE(seam.boxes[0].caption, QStringLiteral("Eingabeprüfung"));
                QCOMPARE(seam.boxes[0].text,
                         QStringLiteral("Der eingegebene Wert liegt nicht zwischen 0:00,00 und "
                                        "9:59,99."));
                QTRY_COMPARE(QApplication::focusWidget(), time);
                QTest::keyClicks(time, "33545");
                auto* clock = Get<TClockEdit>(d, "HLWZeitEdit");
                Type(clock, "2599");
                QTest::keyClick(clock, Qt::Key_Tab);
                QTRY_COMPARE(seam.boxes.size(), std::size_t(2));
                QCOMPARE(seam.boxes[1].text,
                         QStringLiteral("Die eingegebene Uhrzeit ist keine gültige Uhrzeit (00:00 "
                                        "bis 23:59)."));
                QTRY_COMPARE(QApplication::focusWidget(), clock);
                QTest::keyClicks(clock, "0905");
                ClickButton(d, "OK");
            });
            QVERIFY(TTeilnehmerDlg::Open(nullptr, c, p));
            QCOMPARE(p.Zeit[0], 21545); // 3:35,45
            QCOMPARE(p.Startzeit, std::int16_t(905));
        }
        {
            TSeamScript seam;
            TAltersklasseData data = c.At(0)->Data;
            data.Disziplinenanzahl = 2;
            seam.OnDialog([&](QDialog& d) {
                Activate(d);
                auto* time = Get<TTimeEdit>(d, "Zeit1");
                Type(time, "3845");
                QTest::keyClick(time, Qt::Key_Tab);
                QTRY_COMPARE(seam.boxes.size(), std::size_t(1));
                QCOMPARE(seam.boxes[0].caption, QStringLiteral("Eingabeprüfung"));
                QTRY_COMPARE(QApplication::focusWidget(), time);
                ClickButton(d, "OK"); // still refused
                QVERIFY(d.isVisible());
                QCOMPARE(seam.boxes.size(), std::size_t(2));
                ClickButton(d, "Abbrechen");
            });
            QVERIFY(!TRekordDatenDlg::Open(nullptr, data, true));
        }
        {
            TSeamScript seam;
            TAltersklasseData data = c.At(0)->Data;
            seam.OnDialog([&](QDialog& d) {
                Activate(d);
                Type(Get<QSpinBox>(d, "SpinEdit1"), "1966");
                Type(Get<QSpinBox>(d, "SpinEdit2"), "1950");
                ClickButton(d, "OK");
                QVERIFY(d.isVisible());
                QCOMPARE(seam.boxes.size(), std::size_t(1));
                QVERIFY(seam.boxes[0].text.startsWith("Jahrgänge von 1966 bis 1950"));
                QCOMPARE(QApplication::focusWidget(), Get<QSpinBox>(d, "SpinEdit1"));
                Type(Get<QSpinBox>(d, "SpinEdit1"), "1940");
                ClickButton(d, "OK");
            });
            QVERIFY(TAltersklassenDatenDlg::Open(nullptr, c, data, "Altersklassendaten ändern"));
            QCOMPARE(data.JahrgangVon, std::int16_t(1940));
            QCOMPARE(data.JahrgangBis, std::int16_t(1950));
        }
    }

    // Typed and pasted letters the result file lacks become their close letters at
    // once; what has none is refused with a beep; the stored name is what was shown.
    void namesKeepWhatTheFileCanHold() {
        TVmFile doc;
        doc.New(8, 2026);
        TWettkampf& c = doc.Competition();
        TTeilnehmer p;
        p.Altersklasse.Set(c.At(0)->Name());
        TSeamScript seam;
        seam.OnDialog([&](QDialog& d) {
            Activate(d);
            auto* name = Get<QLineEdit>(d, "NameEdit");
            name->setFocus();
            for (const QString& ch : {QStringLiteral("Ł"), QStringLiteral("u"), QStringLiteral("Ω"),
                                      QStringLiteral("k"), QStringLiteral("ő")})
                TypeChar(name, ch);
            QCOMPARE(name->text(), QStringLiteral("Lukö"));
            QCOMPARE(seam.beeps, 1);
            auto* first = Get<QLineEdit>(d, "VornameEdit");
            first->setFocus();
            QGuiApplication::clipboard()->setText(QStringLiteral("Šimůnek ☺"));
            QTest::keyClick(first, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(first->text(), QStringLiteral("Simunek "));
            QCOMPARE(first->cursorPosition(), 8);
            QCOMPARE(seam.beeps, 2);
            ClickButton(d, "OK");
        });
        QVERIFY(TTeilnehmerDlg::Open(nullptr, c, p));
        QCOMPARE(std::string(p.Name()), std::string("Luk\x94"));
        QCOMPARE(std::string(p.Vorname()), std::string("Simunek "));
    }

    // Place and names stay in view while the grid scrolls to the last discipline, with
    // the keyboard and with the mouse on the fixed columns.
    void placeAndNameStayInView() {
        TSeamScript seam;
        Window w(source);
        w.form.resize(700, 500);
        QCoreApplication::processEvents();
        auto* grid = qobject_cast<TFrozenGrid*>(w.form.Grid());
        QVERIFY(grid);
        QTableView* fixed = grid->FrozenView();
        QAbstractItemModel* m = grid->model();
        int vorname = -1;
        for (int col = 0; col < m->columnCount(); ++col)
            if (m->headerData(col, Qt::Horizontal).toString() == "Vorname") vorname = col;
        QVERIFY(vorname > 0);
        QCOMPARE(grid->FrozenColumns(), vorname + 1);
        QVERIFY(fixed->isVisible());
        int fixedWidth = 0;
        for (int col = 0; col < grid->FrozenColumns(); ++col) {
            QVERIFY(!fixed->isColumnHidden(col));
            QCOMPARE(fixed->columnWidth(col), grid->columnWidth(col));
            fixedWidth += grid->columnWidth(col);
        }
        QVERIFY(fixed->isColumnHidden(vorname + 1));

        w.Key(Qt::Key_Down, Qt::NoModifier);
        w.Key(Qt::Key_End, Qt::NoModifier);
        const QModelIndex last = grid->currentIndex();
        QCOMPARE(last.column(), m->columnCount() - 1);
        QCOMPARE(last.row(), 1);
        QVERIFY(grid->horizontalScrollBar()->value() > 0);
        QVERIFY(grid->visualRect(last).left() >= fixedWidth);
        // Back to the first scrolling column: it comes out from under the fixed ones.
        for (int col = last.column(); col > vorname + 1; --col)
            w.Key(Qt::Key_Left, Qt::NoModifier);
        QCOMPARE(grid->currentIndex().column(), vorname + 1);
        QVERIFY(grid->visualRect(grid->currentIndex()).left() >= fixedWidth);

        // Scrolled right, a click on a name in the fixed columns picks that row, and a
        // double click there edits it.
        grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
        const QRect cell = fixed->visualRect(m->index(3, vorname));
        QVERIFY(fixed->viewport()->rect().contains(cell.center()));
        QTest::mouseClick(fixed->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(w.form.CurrentRow(), 3);
        QCOMPARE(w.form.CurrentParticipant(), w.Competition().At(0)->At(3));
        seam.OnDialog([](QDialog& d) { d.reject(); });
        QTest::mouseDClick(fixed->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(seam.dialogTitles.size(), std::size_t(1));
        QCOMPARE(seam.unexpected, 0);
    }

    // On any screen the main window and the dialogs open inside its available area; a
    // remembered geometry larger than the screen is clamped, and the window remembers
    // where it was.
    void windowsOpenInsideTheScreen() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QRect placed;
        {
            Window w(source);
            QVERIFY(area.contains(w.form.frameGeometry()));
            w.form.setGeometry(area.left() + 10, area.top() + 20, 500, 400);
            placed = w.form.normalGeometry();
            QVERIFY(w.form.close());
        }
        QCOMPARE(QSettings().value("Hauptfenster/Geometrie").toRect(), placed);
        QSettings().setValue("Hauptfenster/Geometrie", QRect(area.left() - 400, area.top() + 50,
                                                             area.width() * 3, area.height() * 2));
        {
            Window w(source);
            QVERIFY(area.contains(w.form.frameGeometry()));
            QVERIFY(w.form.width() > area.width() * 9 / 10);
            QVERIFY(w.form.height() > area.height() * 9 / 10);
        }
        QSettings().remove("Hauptfenster/Geometrie");

        TSeamScript seam;
        seam.OnDialog([&](QDialog& d) {
            QVERIFY(d.width() <= area.width());
            QVERIFY(d.height() <= area.height());
            d.reject();
        });
        QDialog big;
        big.setWindowTitle("Groß");
        big.resize(area.width() * 2, area.height() * 3);
        ExecDialog(big);
        QCOMPARE(seam.dialogTitles.size(), std::size_t(1));
    }

    // A masked edit that has the focus when its dialog opens takes typing at once.
    void maskedEditsTakeTypingAtOnce() {
        TVmFile doc;
        doc.New(8, 2026);
        TAltersklasseData data = doc.Competition().At(0)->Data;
        data.Disziplinenanzahl = 2;
        TSeamScript seam;
        seam.OnDialog([&](QDialog& d) {
            Activate(d);
            auto* time = Get<TTimeEdit>(d, "Zeit1");
            QTRY_COMPARE(QApplication::focusWidget(), time);
            QTest::keyClicks(QApplication::focusWidget(), "03550");
            QCOMPARE(time->text(), QStringLiteral("0:35,50"));
            ClickButton(d, "OK");
        });
        QVERIFY(TRekordDatenDlg::Open(nullptr, data, true));
        QCOMPARE(data.Rekorde[0].VorjahrZeit, 3550);
    }

    // Captions, the widths of the dialogs, the status line on switching age classes,
    // Enter and double click in list dialogs, arrow keys in radio groups.
    void theLookOfTheDay() {
        // A dialog is at least as wide as its caption needs.
        TSeamScript seam;
        QStringList captions;
        auto wideEnough = [&](QDialog& d) {
            QFont bold = d.font();
            bold.setBold(true);
            captions << d.windowTitle();
            QVERIFY2(d.width() >= QFontMetrics(bold).horizontalAdvance(d.windowTitle()),
                     qPrintable(d.windowTitle()));
            d.reject();
        };
        TVmFile doc;
        doc.New(8, 2026);
        TAltersklasseData data = doc.Competition().At(0)->Data;
        seam.OnDialog(wideEnough);
        TRekordDatenDlg::Open(nullptr, data, true);
        seam.OnDialog(wideEnough);
        int mode = 0;
        TStreichenDlg::Open(nullptr, mode);
        seam.OnDialog(wideEnough);
        THeatSettings heats;
        TLaufbesetzungDlg::Open(nullptr, heats);
        QCOMPARE(captions, QStringList({"Vorjahresrekorde eingeben oder ändern",
                                        "Teilnehmer streichen", "Automatische Laufbesetzung"}));

        Window w(source);
        QCOMPARE(w.form.windowTitle(), "Velmora - " + QString::fromStdString(source));
        auto* status = w.form.statusBar()->findChild<QLabel*>("StatusLine");
        QVERIFY(status);
        for (auto [key, index] : {std::pair{Qt::Key_N, 1}, std::pair{Qt::Key_V, 0}}) {
            w.Key(key, Qt::AltModifier);
            QCOMPARE(w.form.CurrentAgeClass(), index);
            const TAltersklasse& ac = *w.Competition().At(index);
            QCOMPARE(status->text(), QStringLiteral("Anzeige der Altersklasse %1 (%2 - %3)")
                                         .arg(FromOem(ac.Name()))
                                         .arg(ac.Data.JahrgangVon)
                                         .arg(ac.Data.JahrgangBis));
        }

        // The age class list: Enter presses the default button, which edits; so does a
        // double click.
        seam.OnDialog([&](QDialog& d) {
            Activate(d);
            auto* list = Get<QListWidget>(d, "AkList");
            auto* edit = Get<QPushButton>(d, "Än&dern");
            QVERIFY(edit->isDefault());
            list->setFocus();
            list->setCurrentRow(1);
            seam.OnDialog([](QDialog& e) { e.reject(); });
            QTest::keyClick(list, Qt::Key_Return);
            seam.OnDialog([](QDialog& e) { e.reject(); });
            const QPoint at = list->visualItemRect(list->item(2)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            d.reject();
        });
        seam.dialogTitles.clear();
        w.form.Action("actAltersklassen")->trigger();
        QCOMPARE(seam.dialogTitles,
                 std::vector<QString>({"Altersklassen eingeben", "Altersklassendaten ändern",
                                       "Altersklassendaten ändern"}));

        // Arrow keys choose in radio groups, along the row and down the column.
        seam.OnDialog([&](QDialog& d) {
            Activate(d);
            auto* lanes = Get<TRadioGroup>(d, "RadioGroup2");
            lanes->SetItemIndex(2);
            lanes->Button(2)->setFocus();
            QTest::keyClick(lanes->Button(2), Qt::Key_Right);
            QCOMPARE(lanes->ItemIndex(), 3);
            QCOMPARE(QApplication::focusWidget(), lanes->Button(3));
            QTest::keyClick(lanes->Button(3), Qt::Key_Left);
            QTest::keyClick(lanes->Button(2), Qt::Key_Left);
            QCOMPARE(lanes->ItemIndex(), 1);
            auto* art = Get<TRadioGroup>(d, "RadioGroup1");
            art->SetItemIndex(0);
            art->Button(0)->setFocus();
            QTest::keyClick(art->Button(0), Qt::Key_Down);
            QCOMPARE(art->ItemIndex(), 1);
            QTest::keyClick(art->Button(1), Qt::Key_Down); // the end: stays
            QCOMPARE(art->ItemIndex(), 1);
            d.reject();
        });
        TWettkampfDatenDlg::Open(nullptr, w.Competition(), w.Competition().Header);
        QCOMPARE(seam.unexpected, 0);
    }
};

VM_UI_TEST_MAIN(ChampionshipDayTest)
#include "ChampionshipDayTest.moc"
