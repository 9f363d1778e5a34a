// Certificates in the desktop program: the print dialog's page "Urkunden" with preview
// and PDF, the calibration shift per printer, a faulty template, and the template
// editor with its live preview, saving and the test print.
#include "PrintScript.h"
#include "support/Builders.h"
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"

#include "file/VmWFile.h"
#include "support/UiWindow.h"
#include "ui/BvPrev.h"
#include "ui/VmUrkDlg.h"
#include "ui/VmWPrn.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTableWidget>

#include <fstream>
#include <memory>

using namespace vm;
using namespace vm::ui;
using vmtest::TPrinterScript;
using vmtest::TSeamScript;

namespace {

int QpdfPages(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("qpdf"), {QStringLiteral("--show-npages"), file});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return -1;
    return p.readAllStandardOutput().trimmed().toInt();
}

QPushButton* Button(QWidget* w, const char* name) {
    return w->findChild<QPushButton*>(QString::fromUtf8(name));
}

// Chooses the list "Urkunden" with the mouse and turns to the options.
void ChooseCertificates(TDruckenDlg& dlg) {
    auto* radio = vmtest::Find<QRadioButton>(&dlg, QStringLiteral("Urkunden"));
    QVERIFY(radio);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
    QCOMPARE(dlg.ListKind(), int(rkUrkunde));
    QCOMPARE(dlg.OptionPages()->currentWidget()->objectName(), QString("Urkunden"));
}

const TBvTextItem* FindText(const TBvPage& page, const std::string& text) {
    for (const TBvItem& item : page)
        if (item.Kind == ikText && static_cast<const TBvTextItem&>(item).Text == text)
            return static_cast<const TBvTextItem*>(&item);
    return nullptr;
}

bool HasText(const TBvDocument& d, const std::string& part) {
    for (const TBvPage& page : d)
        for (const TBvItem& item : page)
            if (item.Kind == ikText &&
                static_cast<const TBvTextItem&>(item).Text.find(part) != std::string::npos)
                return true;
    return false;
}

} // namespace

class UrkundeTest : public QObject {
    Q_OBJECT
    vmtest::TempDir dir;
    vmtest::TempDir config;
    std::vector<QString> opened;

private Q_SLOTS:
    void initTestCase() {
        // The calibration goes to the settings: a folder of the test's own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(config.Path().string()));
        SetPdfOpener([this](const QString& f) {
            opened.push_back(f);
            return true;
        });
    }
    void cleanupTestCase() { SetPdfOpener({}); }
    void init() {
        opened.clear();
        vmtest::UseNoPrinter();
    }

    void certificatesPagePreviewAndPdf() {
        TVmFile doc(vmtest::SmallCompetitionFile(dir, "U1.ERG"));
        const TWettkampf& c = doc.Competition();
        TSeamScript seam;
        TDruckenDlg dlg;
        dlg.Attach(&doc.Competition(), 0, 0, 0, 0);
        dlg.show();
        ChooseCertificates(dlg);
        auto* classes = dlg.findChild<QListWidget*>(QStringLiteral("UrkAltersklassen"));
        QCOMPARE(classes->count(), c.Count());
        // Every entry with points in the first age class and the one of the third.
        int expected = 0;
        for (const TAltersklasse& ac : c)
            for (const TTeilnehmer& p : ac)
                expected += p.Gesamtpunkte >= 1 && p.Platz >= 1 && p.Platz <= 3;
        QVERIFY(expected >= 2);

        // The preview shows what is built: one certificate a page, the classic layout.
        seam.OnDialog([&](QDialog& d) {
            auto* prev = qobject_cast<TPreviewForm*>(&d);
            QVERIFY(prev);
            QCOMPARE(prev->PageCount(), expected);
            QCOMPARE(d.windowTitle(), QString("Seitenansicht - Vm - Ausdruck der Teilnehmer"));
            QVERIFY(FindText(*prev->Document()->Page(1), "Urkunde"));
            d.reject();
        });
        QTest::mouseClick(Button(&dlg, "AnsichtBtn"), Qt::LeftButton);
        QCOMPARE(dlg.BuildCount(), 1);
        // "vorgedruckt (ohne Gesamtpunkte und Platz)" is on by default.
        QVERIFY(!HasText(*dlg.Job().Report(), "Platz"));

        // Only the third age class, the modern layout, with place: as PDF.
        for (int i = 0; i < classes->count(); ++i)
            classes->item(i)->setCheckState(i == 2 ? Qt::Checked : Qt::Unchecked);
        auto* modern = vmtest::Find<QRadioButton>(&dlg, QStringLiteral("mo&dern"));
        QTest::mouseClick(modern, Qt::LeftButton, {}, QPoint(8, modern->height() / 2));
        vmtest::Click(vmtest::Find<QCheckBox>(
            &dlg, QStringLiteral("vorgedruckt (ohne Gesamtpunkte und Platz)")));
        const QString file = QString::fromStdString(dir.File("urk.pdf"));
        seam.AnswerFile(file);
        seam.OnDialog([](QDialog& d) { d.accept(); }); // the PDF options
        QTest::mouseClick(Button(&dlg, "PdfBtn"), Qt::LeftButton);
        QCOMPARE(seam.fileRequests.back().fileName, QString("TEST.PDF"));
        const TVmReport& r = *dlg.Job().Report();
        QCOMPARE(r.PageCount(), 1);
        QVERIFY(HasText(r, "1. Platz"));
        QVERIFY(!FindText(*r.Page(1), "Velbund-Verband e.V."));
        if (QpdfPages(file) >= 0) QCOMPARE(QpdfPages(file), 1);
        QCOMPARE(opened, std::vector<QString>{file});

        // No age class ticked: nothing to print, said so, and no PDF.
        classes->item(2)->setCheckState(Qt::Unchecked);
        const QString none = QString::fromStdString(dir.File("keine.pdf"));
        seam.AnswerFile(none);
        dlg.CmdPdf();
        QVERIFY(seam.LastBoxText().contains("keine Urkunde"));
        QVERIFY(!QFile::exists(none));
        QCOMPARE(seam.unexpected, 0);
    }

    void calibrationIsKeptPerPrinter() {
        TVmFile doc(vmtest::SmallCompetitionFile(dir, "U2.ERG"));
        const QString printerFile = QString::fromStdString(dir.File("kal.pdf"));
        TPrinterScript printer;
        {
            vmtest::UseFilePrinter(printerFile);
            TDruckenDlg dlg;
            dlg.Attach(&doc.Competition(), 0, 0, 0, 0);
            ChooseCertificates(dlg);
            auto* label = dlg.findChild<QLabel*>(QStringLiteral("UrkDrucker"));
            QCOMPARE(label->text(), QString("PDF-Datei"));
            auto* x = dlg.findChild<QDoubleSpinBox*>(QStringLiteral("UrkVerschiebungX"));
            auto* y = dlg.findChild<QDoubleSpinBox*>(QStringLiteral("UrkVerschiebungY"));
            x->selectAll();
            QTest::keyClicks(x, "2,5");
            y->selectAll();
            QTest::keyClicks(y, "-1");
            QTest::keyClick(y, Qt::Key_Tab);
            QCOMPARE(dlg.ShiftX(), 25);
            QCOMPARE(dlg.ShiftY(), -10);

            // The build carries the shift: the same certificate without it sits 2,5 mm
            // further left and 1 mm lower.
            QVERIFY(dlg.Build());
            const TBvTextItem* shifted = FindText(*dlg.Job().Report()->Page(1), "Urkunde");
            QVERIFY(shifted);
            const std::int32_t left = shifted->Left, top = shifted->Top;
            dlg.SetShift(0, 0);
            QVERIFY(dlg.Build());
            const TBvTextItem* plain = FindText(*dlg.Job().Report()->Page(1), "Urkunde");
            QCOMPARE(left - plain->Left, 25);
            QCOMPARE(top - plain->Top, -10);
            dlg.SetShift(25, -10);

            // Another printer has a shift of its own.
            printer.Answer([](QPrinter&, const TPrintDialogRequest&) {
                vmtest::UseNoPrinter();
                return true;
            });
            QTest::mouseClick(Button(&dlg, "DruckerBtn"), Qt::LeftButton);
            QCOMPARE(label->text(), QString("kein Drucker"));
            QCOMPARE(dlg.ShiftX(), 0);
        }
        // A new dialog on the first printer finds its shift again.
        vmtest::UseFilePrinter(printerFile);
        TDruckenDlg again;
        QCOMPARE(again.ShiftX(), 25);
        QCOMPARE(again.ShiftY(), -10);
        QCOMPARE(QSettings().value(CalibrationKey("PDF-Datei") + "/x").toInt(), 25);
        again.SetShift(0, 0);
    }

    void faultyTemplatePrintsNothing() {
        TVmFile doc(vmtest::SmallCompetitionFile(dir, "U3.ERG"));
        const std::string urk = dir.File("kaputt.urk");
        std::ofstream(urk) << "Papier; A4; hoch\n\nFeld; 10; 10; serif; 12; fett; links; 0; "
                              "{Name\n";
        TSeamScript seam;
        TPrinterScript printer;
        vmtest::UseFilePrinter(QString::fromStdString(dir.File("nie.pdf")));
        TDruckenDlg dlg;
        dlg.Attach(&doc.Competition(), 0, 0, 0, 0);
        ChooseCertificates(dlg);
        auto* edit = dlg.findChild<QLineEdit*>(QStringLiteral("UrkVorlage"));
        QTest::keyClicks(edit, QString::fromStdString(urk));
        QCOMPARE(dlg.TemplateFile(), QString::fromStdString(urk));
        QTest::mouseClick(Button(&dlg, "OKBtn"), Qt::LeftButton);
        QCOMPARE(seam.boxes.size(), std::size_t(1));
        QVERIFY(seam.LastBoxText().contains("Zeile 3: "));
        QCOMPARE(dlg.BuildCount(), 0);
        QVERIFY(printer.asked.empty());
        QVERIFY(!QFile::exists(QString::fromStdString(dir.File("nie.pdf"))));
        QVERIFY(dlg.isVisible() || dlg.result() != QDialog::Accepted);
    }

    void templateEditorPreviewsSavesAndTestPrints() {
        TVmFile doc(vmtest::SmallCompetitionFile(dir, "U4.ERG"));
        TSeamScript seam;
        TPrinterScript printer;
        TDruckenDlg dlg;
        dlg.Attach(&doc.Competition(), 0, 0, 0, 0);
        dlg.show();
        ChooseCertificates(dlg);
        auto* vorlage = vmtest::Find<QRadioButton>(&dlg, QStringLiteral("V&orlage:"));
        QTest::mouseClick(vorlage, Qt::LeftButton, {}, QPoint(8, vorlage->height() / 2));

        const QString saved = QString::fromStdString(dir.File("neu.urk"));
        const QString testPrint = QString::fromStdString(dir.File("probe.pdf"));
        bool seen = false;
        seam.OnDialog([&](QDialog& d) {
            auto* ed = qobject_cast<TUrkVorlageDlg*>(&d);
            QVERIFY(ed);
            QCOMPARE(d.windowTitle(), QString("Urkundenvorlage bearbeiten"));
            // A new template starts from the fields of the pre-printed layout.
            QTableWidget* t = ed->Table();
            QVERIFY(t->rowCount() > 5);
            QVERIFY(ed->Valid());
            QCOMPARE(ed->Report()->PageCount(), 1);
            QCOMPARE(ed->Preview()->Document(), static_cast<const TBvDocument*>(ed->Report()));

            // A changed field shows at once in the preview.
            int nameRow = -1;
            for (int r = 0; r < t->rowCount(); ++r)
                if (t->item(r, TUrkVorlageDlg::colText)->text() == "{Vorname} {Name}") nameRow = r;
            QVERIFY(nameRow >= 0);
            t->item(nameRow, TUrkVorlageDlg::colText)->setText("Sieger: {Name}");
            t->item(nameRow, TUrkVorlageDlg::colX)->setText("30");
            t->item(nameRow, TUrkVorlageDlg::colAlign)->setText("links");
            const TBvTextItem* named = nullptr;
            for (const TBvItem& item : *ed->Report()->Page(1))
                if (item.Kind == ikText &&
                    static_cast<const TBvTextItem&>(item).Text.rfind("Sieger: ", 0) == 0)
                    named = static_cast<const TBvTextItem*>(&item);
            QVERIFY(named);
            QCOMPARE(named->Left, 300);

            // A wrong cell names its field; the preview keeps the last good state.
            const TVmReport* before = ed->Report();
            t->item(0, TUrkVorlageDlg::colFont)->setText("gotisch");
            QVERIFY(!ed->Valid());
            QVERIFY(ed->Error().startsWith("Feld 1: "));
            QCOMPARE(ed->Report(), before);
            seam.AnswerBox(QMessageBox::Ok);
            QVERIFY(!ed->CmdSaveAs());
            QVERIFY(seam.LastBoxText().contains("Feld 1: "));
            t->item(0, TUrkVorlageDlg::colFont)->setText("sans-serif");
            QVERIFY(ed->Valid());

            // Saved, it reads back as the table shows it.
            seam.AnswerFile(saved);
            QTest::mouseClick(Button(ed, "UrkSpeichernUnterBtn"), Qt::LeftButton);
            TUrkVorlage back;
            TUrkFehler error;
            QVERIFY(LoadUrkVorlage(saved.toStdString(), back, error));
            QVERIFY(back == ed->Vorlage());
            QCOMPARE(back.felder.at(0).font, TUrkFont::SansSerif);

            // The test print: one sheet with the grid.
            vmtest::UseFilePrinter(testPrint);
            QTest::mouseClick(Button(ed, "ProbedruckBtn"), Qt::LeftButton);
            seen = true;

            // Closing with a change not saved asks first; Abbrechen keeps the dialog.
            QVERIFY(!ed->Modified());
            t->item(0, TUrkVorlageDlg::colY)->setText("40");
            seam.AnswerBox(QMessageBox::Cancel);
            QTest::mouseClick(Button(ed, "CancelBtn"), Qt::LeftButton);
            QVERIFY(seam.LastBoxText().contains("geändert"));
            QVERIFY(d.isVisible());
            seam.AnswerBox(QMessageBox::No);
            QTest::mouseClick(Button(ed, "CancelBtn"), Qt::LeftButton);
            QVERIFY(!d.isVisible());
        });
        QTest::mouseClick(Button(&dlg, "UrkBearbeitenBtn"), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(dlg.TemplateFile(), saved);
        if (QpdfPages(testPrint) >= 0) QCOMPARE(QpdfPages(testPrint), 1);
        QVERIFY(printer.asked.empty());
        QCOMPARE(seam.unexpected, 0);

        // The print dialog now builds from the saved template.
        QVERIFY(dlg.Build());
        QVERIFY(HasText(*dlg.Job().Report(), "Sieger: "));
    }
};

VM_UI_TEST_MAIN(UrkundeTest)
#include "UrkundeTest.moc"
