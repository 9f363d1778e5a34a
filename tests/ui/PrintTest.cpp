// Printing as the user meets it: the canvas device's fonts, alignment and pens, what
// the printer tells, the print dialog with its options, margins, preview, PDF and
// printing to a file printer, the heat view and the Gliederungen dialog.
#include "PrintScript.h"
#include "support/Builders.h"
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"
#include "support/UiWindow.h"

#include "model/VmBasis.h"
#include "model/VmGlied.h"
#include "operations/VmAuswahl.h"
#include "output/PdfDevice.h"
#include "output/PdfWriter.h"
#include "print/VmListen.h"
#include "print/VmStat.h"
#include "ui/BvPrev.h"
#include "ui/BvPrinter.h"
#include "ui/VmCanvas.h"
#include "ui/VmGliedDlg.h"
#include "ui/VmLaufAnz.h"
#include "file/VmErg.h"
#include "ui/VmMain.h"
#include "ui/VmWPrn.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QUrl>

#include <memory>

using namespace vm;
using namespace vm::ui;
using vmtest::TPrinterScript;
using vmtest::TSeamScript;
using Window = vmtest::TMainWindow;

namespace {

int Run(const QString& program, const QStringList& args, QByteArray* out = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) return -1;
    if (out) *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// qpdf's verdict (0 clean, 3 warnings only) and the page count; -1 when qpdf is missing.
int QpdfPages(const QString& file) {
    if (Run(QStringLiteral("qpdf"), {QStringLiteral("--check"), file}) != 0) return -1;
    QByteArray out;
    if (Run(QStringLiteral("qpdf"), {QStringLiteral("--show-npages"), file}, &out) != 0) return -1;
    return out.trimmed().toInt();
}

// Ink (any pixel not white) in a column or row range of an image.
bool InkIn(const QImage& img, QRect area) {
    area = area.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixelColor(x, y).lightness() < 200) return true;
    return false;
}

int FirstInkColumn(const QImage& img) {
    for (int x = 0; x < img.width(); ++x)
        if (InkIn(img, QRect(x, 0, 1, img.height()))) return x;
    return -1;
}

QImage White(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

// The small championship with heats in discipline 1: Zander 1/2, Berger 1/1, Meier
// 2/3 in the first age class, Kröger 3/1 in the third.
std::unique_ptr<TVmFile> SmallDoc(const vmtest::TempDir& dir, bool heats) {
    auto doc = std::make_unique<TVmFile>(vmtest::SmallCompetitionFile(dir));
    if (!heats) return doc;
    TWettkampf& c = doc->Competition();
    auto set = [&](int ac, std::string_view name, int heat, int lane) {
        for (TTeilnehmer& p : *c.At(ac))
            if (p.Name() == name) {
                p.Lauf[0] = static_cast<std::int16_t>(heat);
                p.Bahn[0] = static_cast<std::int16_t>(lane);
            }
    };
    set(0, "Zander", 1, 2);
    set(0, "Berger", 1, 1);
    set(0, "Meier", 2, 3);
    set(2, "Kr\x94ger", 3, 1);
    return doc;
}

bool SameOptions(const TPrintOptions& a, const TPrintOptions& b) {
    return a.allAgeClasses == b.allAgeClasses && a.ageClassData == b.ageClassData &&
           a.newPagePerAgeClass == b.newPagePerAgeClass && a.recordMarks == b.recordMarks &&
           a.twoLines == b.twoLines && a.medalTable == b.medalTable &&
           a.gliederungen == b.gliederungen && a.laneAllDisciplines == b.laneAllDisciplines &&
           a.statisticsIndex == b.statisticsIndex && a.printHead == b.printHead &&
           a.legend == b.legend && a.footer == b.footer && a.emptyLineAfter5 == b.emptyLineAfter5;
}

QPushButton* Button(QWidget* w, const char* name) {
    return w->findChild<QPushButton*>(QString::fromUtf8(name));
}

} // namespace

class PrintTest : public QObject {
    Q_OBJECT
    vmtest::TempDir dir;

public Q_SLOTS:
    // The desktop's "open" of a written file, caught instead of starting a viewer.
    void openUrl(const QUrl& url) { opened.push_back(url.toLocalFile()); }

public:
    std::vector<QString> opened;

private Q_SLOTS:
    void initTestCase() {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void init() {
        opened.clear();
        vmtest::UseNoPrinter();
    }

    // ---- canvas device ----------------------------------------------------------------

    void canvasPageSizeFollowsTheZoom() {
        auto d = TCanvasDevice::CreatePreview(nullptr, nullptr, 2100, 2970);
        QCOMPARE(d->Zoom(), 100);
        QCOMPARE(d->PageWidthDev, 630);
        QCOMPARE(d->PageHeightDev, 891);
        QCOMPARE(d->ScaleX, 3.0);
        QCOMPARE(d->Orientation, 1);
        // One tenth of a millimetre is 0.3 pixels.
        QCOMPARE(d->DeviceX(1), 0);
        QCOMPARE(d->DeviceX(10), 3);
        QCOMPARE(d->DeviceY(2970), 891);
        // Whole millimetres: 2105 tenths are 210 mm.
        d->SetPageSize(2105, 2979);
        QCOMPARE(d->PageWidthMm, 210);
        QCOMPARE(d->PageHeightMm, 297);
        d->SetZoom(33);
        QCOMPARE(d->PageWidthDev, 208);  // 207.9
        QCOMPARE(d->PageHeightDev, 294); // 294.03
        QCOMPARE(d->ScaleX, 208.0 / 210);
        d->SetPageSize(2970, 2100);
        QCOMPARE(d->Orientation, 2);
        QCOMPARE(d->Zoom(), 33);
    }

    void canvasColoursFacesAndTexts() {
        QCOMPARE(CanvasColour(0), QColor(0, 0, 0));
        QCOMPARE(CanvasColour(1), QColor(255, 255, 255));
        QCOMPARE(CanvasColour(2), QColor(255, 0, 0));
        QCOMPARE(CanvasColour(3), QColor(0, 128, 0)); // dark green, unlike the PDF
        QCOMPARE(CanvasColour(4), QColor(0, 0, 255));
        QCOMPARE(CanvasColour(9), QColor(0, 0, 0));
        const TCanvasDevice d(nullptr, nullptr);
        const struct {
            int index;
            const char* face;
            const char* resolved;
        } faces[] = {{0, "Courier New", "Liberation Mono"},
                     {1, "Courier New", "Liberation Mono"},
                     {2, "Times New Roman", "Liberation Serif"},
                     {3, "Arial", "Liberation Sans"},
                     {4, "Symbol", nullptr},
                     {5, "Wingdings", nullptr},
                     {7, "Courier New", "Liberation Mono"}};
        for (const auto& f : faces) {
            QCOMPARE(CanvasFaceName(f.index), QString(f.face));
            if (f.resolved)
                QCOMPARE(QFontInfo(d.MakeFont(f.index, 0, 40)).family(), QString(f.resolved));
        }
        QCOMPARE(ItemText("Kr\x94ger", true), QString("Kröger"));
        // Unflagged text is Windows 1252 that may still carry a stored umlaut.
        QCOMPARE(ItemText("Kr\x94ger \x80", false), QString("Kröger €"));
    }

    void canvasTextIsAsWideAsInThePdfAndStylesMap() {
        const TCanvasDevice d(nullptr, nullptr);
        // The faces are metric-compatible with the PDF's fonts at the PDF's sizes.
        const std::string text = "Rettungsschwimmen 2026, Zeit 1:02,35 Abz. 0";
        for (int index : {1, 2, 3})
            for (std::uint8_t style : {std::uint8_t(0), std::uint8_t(fsBold),
                                       std::uint8_t(fsItalic), std::uint8_t(fsCondensed)}) {
                const double canvas = QFontMetricsF(d.MakeFont(index, style, 200))
                                          .horizontalAdvance(QString::fromStdString(text));
                // What the PDF draws: the width table at the size of its "Tf".
                const int n = PdfFontNumber(index, style);
                const double pdf = PdfTextWidth(n, text, 200, style) *
                                   (PdfFontSize(n, 1000) * 254.0 / 72.0 / 1000.0);
                QVERIFY2(std::abs(canvas / pdf - 1) < 0.015,
                         qPrintable(QString("font %1 style %2: %3 against %4")
                                        .arg(index)
                                        .arg(style)
                                        .arg(canvas)
                                        .arg(pdf)));
            }
        const QFont f = d.MakeFont(3, fsBold | fsItalic | fsUnderline | fsStrikeOut, 40);
        QCOMPARE(f.weight(), QFont::ExtraBold);
        QVERIFY(f.italic() && f.underline() && f.strikeOut());
        const QFont plain = d.MakeFont(1, 0, 40);
        QCOMPARE(plain.weight(), QFont::Normal);
        QVERIFY(!plain.italic() && !plain.underline());
        // Condensed: the average glyph is 0.6 of its natural width.
        const QString line = QStringLiteral("Altersklasse 13/14 weiblich");
        const double normal = QFontMetricsF(plain).horizontalAdvance(line);
        const double narrow = QFontMetricsF(d.MakeFont(1, fsCondensed, 40)).horizontalAdvance(line);
        QVERIFY2(std::abs(narrow / normal - 0.6) < 0.03,
                 qPrintable(QString::number(narrow / normal)));
    }

    void canvasAlignmentAndShrink() {
        const TCanvasDevice d(nullptr, nullptr);
        const QRect box(10, 20, 200, 40); // x 10..209, y 20..59
        const QString word = QStringLiteral("Rettung");
        auto place = [&](std::uint8_t align, const QString& t = QStringLiteral("Rettung"),
                         int height = 20, QRect b = QRect(10, 20, 200, 40)) {
            return d.PlaceText(b, t, 1, 0, height, align);
        };
        const TTextPlacement left = place(taLeft | taTop);
        QCOMPARE(left.rect, box);
        QVERIFY(left.width > 0 && left.width < 200);
        const int w = left.width, h = left.height;
        QCOMPARE(place(taHCenter).rect.left(), 10 + (200 - w) / 2);
        QCOMPARE(place(taRight).rect.left(), 210 - w);
        QCOMPARE(place(taVCenter).rect.top(), 20 + (40 - h) / 2);
        QCOMPARE(place(taBottom).rect.top(), 60 - h);
        QCOMPARE(place(taBottom).rect.bottom(), box.bottom());
        // Later rules win: bottom after vertical centring, right after centring.
        QCOMPARE(place(taVCenter | taBottom | taHCenter | taRight).rect.topLeft(),
                 QPoint(210 - w, 60 - h));
        // A position outside the box is not taken: a centred or right-aligned text
        // wider than its box starts at the box's left edge.
        const QString wide(60, QLatin1Char('W'));
        QCOMPARE(place(taHCenter, wide).rect.left(), 10);
        QCOMPARE(place(taRight, wide).rect.left(), 10);
        // A text as high as its box keeps the box's top.
        QCOMPARE(place(taVCenter, word, 51).rect.top(), 20);
        QVERIFY(place(taVCenter, word, 51).height >= 40);

        // Shrinking ends where the text fits, or at height 3.
        const TTextPlacement fit = place(taShrink, wide);
        QVERIFY(fit.width <= 200 && fit.height <= 40);
        QVERIFY(fit.fontHeight < 20 && fit.fontHeight > 3);
        const TTextPlacement bigger = place(taLeft, wide, fit.fontHeight + 1);
        QVERIFY(bigger.width > 200 || bigger.height > 40);
        QCOMPARE(place(taShrink, QString(400, QLatin1Char('W'))).fontHeight, 3);
        // Without the bit nothing shrinks.
        QCOMPARE(place(taLeft, wide).fontHeight, 20);
    }

    void canvasDrawsClippedWrappedAndTabbed() {
        TBvDocument doc("t");
        QImage img = White(300, 120);
        QPainter p(&img);
        TCanvasDevice d(&doc, &p);
        const QRect box(0, 0, 100, 60);
        // Without word wrap the text is cut at the box; with it, it flows down.
        d.DrawTextItem(box, QStringLiteral("aaaa bbbb cccc dddd eeee"), 1, 0, 14, 0,
                       taLeft | taTop);
        p.end();
        QVERIFY(InkIn(img, QRect(0, 0, 100, 14)));
        QVERIFY(!InkIn(img, QRect(100, 0, 200, 120)));
        QVERIFY(!InkIn(img, QRect(0, 16, 100, 104)));

        img = White(300, 120);
        p.begin(&img);
        d.DrawTextItem(box, QStringLiteral("aaaa bbbb cccc dddd eeee"), 1, 0, 14, 0,
                       taLeft | taTop | taWordWrap);
        p.end();
        QVERIFY(InkIn(img, QRect(0, 16, 100, 40)));
        QVERIFY(!InkIn(img, QRect(100, 0, 200, 120)));

        // A tab goes to the next stop of eight average characters.
        img = White(300, 40);
        p.begin(&img);
        d.DrawTextItem(QRect(0, 0, 300, 40), QStringLiteral("\tX"), 1, 0, 20, 0, taLeft);
        p.end();
        const int stop = 8 * QFontMetrics(d.MakeFont(1, 0, 20)).averageCharWidth();
        QVERIFY2(std::abs(FirstInkColumn(img) - stop) <= 2,
                 qPrintable(QString::number(FirstInkColumn(img))));
    }

    void canvasItemsWithPensBrushesAndSkippedTexts() {
        TBvDocument doc("t");
        TBvPage* page = doc.CreatePage(1);
        doc.AddRect(*page, 100, 100, 500, 300, 6, clGreen, true, clRed);
        doc.AddLine(*page, 100, 500, 600, 500, 10, clBlue);
        const TFontSpec font{.face = fiCourier,
                             .height = 40,
                             .alignment = taLeft,
                             .charset = TTextCharset::CodePage850};
        doc.AddText(*page, 0, 600, 600, 700, "unsichtbar", font);
        doc.AddText(*page, 100, 800, 600, 900, "", font);
        QImage img = White(630, 891);
        QPainter p(&img);
        auto d = TCanvasDevice::CreatePreview(&doc, &p, 2100, 2970);
        d->Render(1, 1);
        p.end();
        QCOMPARE(img.pixelColor(90, 60), QColor(0, 128, 0)); // fill, dark green
        QCOMPARE(img.pixelColor(30, 60), QColor(255, 0, 0)); // frame on the left edge
        // Pen of 0.6 mm at 3 pixels per millimetre: 2 pixels.
        int frame = 0;
        for (int x = 27; x < 34; ++x)
            if (img.pixelColor(x, 60) == QColor(255, 0, 0)) ++frame;
        QCOMPARE(frame, 2);
        QCOMPARE(img.pixelColor(100, 150), QColor(0, 0, 255)); // line, 3 px wide
        QCOMPARE(img.pixelColor(100, 148), QColor(255, 255, 255));
        // A text at x 0 and an empty text draw nothing.
        QVERIFY(!InkIn(img, QRect(0, 175, 630, 100)));
        QVERIFY(!InkIn(img, QRect(0, 235, 630, 40)));
    }

    // ---- printer information and printing ---------------------------------------------

    void printerInfosWithoutAndWithAPrinter() {
        if (PrintersInstalled()) QSKIP("a printer is installed on this machine");
        {
            const TBvPrinterInfos none;
            QVERIFY(!none.Valid);
            QCOMPARE(none.Orientation, 1);
            const TPageSize a4 = PrintPageSize(none);
            QCOMPARE(a4.width, 2100);
            QCOMPARE(a4.height, 2970);
        }
        vmtest::UseFilePrinter(QString::fromStdString(dir.File("infos.pdf")));
        const struct {
            QPageSize::PageSizeId paper;
            QPageLayout::Orientation orientation;
            int paperWidth, paperLength, orientationCode, pageWidth, pageHeight;
        } cases[] = {
            {QPageSize::A4, QPageLayout::Portrait, 2100, 2970, 1, 2100, 2970},
            {QPageSize::A4, QPageLayout::Landscape, 2100, 2970, 2, 2970, 2100},
            {QPageSize::Letter, QPageLayout::Portrait, 2159, 2794, 1, 2159, 2794},
            {QPageSize::A5, QPageLayout::Landscape, 1480, 2100, 2, 2100, 1480},
        };
        for (const auto& c : cases) {
            CurrentPrinter().setPageSize(QPageSize(c.paper));
            CurrentPrinter().setPageOrientation(c.orientation);
            const TBvPrinterInfos i;
            QVERIFY(i.Valid);
            QCOMPARE(i.PaperCode, static_cast<int>(c.paper));
            QCOMPARE(i.PaperWidth, c.paperWidth);
            QCOMPARE(i.PaperLength, c.paperLength);
            QCOMPARE(i.Orientation, c.orientationCode);
            const TPageSize s = PrintPageSize(i);
            QCOMPARE(s.width, c.pageWidth);
            QCOMPARE(s.height, c.pageHeight);
            QCOMPARE(i.PpiX, CurrentPrinter().resolution());
            QCOMPARE(i.PixPerMmX, i.PpiX / 25.4);
            QVERIFY(std::abs(i.PhysWidth / i.PixPerMmX * 10 - c.pageWidth) < 2);
        }
    }

    void printDocumentRangeCopiesAndCancel() {
        if (PrintersInstalled()) QSKIP("a printer is installed on this machine");
        TBvDocument doc("Vm - Probe");
        for (int n = 1; n <= 4; ++n) {
            TBvPage* page = doc.CreatePage(n);
            doc.AddText(*page, 100, 100, 2000, 140, "Seite " + std::to_string(n),
                        {.face = fiArial,
                         .height = 40,
                         .alignment = taLeft,
                         .charset = TTextCharset::CodePage850});
        }
        TSeamScript seam;
        {
            // No printer: said clearly, and no print dialog.
            TPrinterScript printer;
            QVERIFY(!PrintDocument(nullptr, doc, 1, 0, true, 4));
            QCOMPARE(seam.LastBoxText(), QString::fromUtf8(NoPrinterText));
            QVERIFY(printer.asked.empty());
        }
        const QString file = QString::fromStdString(dir.File("range.pdf"));
        vmtest::UseFilePrinter(file);
        {
            TPrinterScript printer;
            printer.Cancel();
            QVERIFY(!PrintDocument(nullptr, doc, 1, 2, true, 4));
            QVERIFY(!QFile::exists(file));
            QCOMPARE(printer.requests.at(0).minPage, 1);
            QCOMPARE(printer.requests.at(0).maxPage, 4);
            QCOMPARE(printer.requests.at(0).currentPage, 2);
        }
        {
            TPrinterScript printer;
            printer.Answer([](QPrinter& p, const TPrintDialogRequest&) {
                p.setPrintRange(QPrinter::PageRange);
                p.setFromTo(2, 3);
                p.setCopyCount(2);
                return true;
            });
            QVERIFY(PrintDocument(nullptr, doc, 1, 0, true, 4));
            QCOMPARE(QpdfPages(file), 2);
            QByteArray text;
            Run(QStringLiteral("pdftotext"), {file, QStringLiteral("-")}, &text);
            QVERIFY(text.contains("Seite 2") && text.contains("Seite 3"));
            QVERIFY(!text.contains("Seite 1") && !text.contains("Seite 4"));
            // Each copy is a print job of its own.
            QCOMPARE(PrintPages(CurrentPrinter(), doc, 1, 4, 3), 12);
        }
        {
            TPrinterScript printer;
            printer.Answer([](QPrinter& p, const TPrintDialogRequest&) {
                p.setPrintRange(QPrinter::CurrentPage);
                return true;
            });
            QVERIFY(PrintDocument(nullptr, doc, 1, 3, true, 4));
            QCOMPARE(QpdfPages(file), 1);
        }
        QCOMPARE(seam.unexpected, 0);
    }

    // ---- print dialog -----------------------------------------------------------------

    void printDialogDefaultsAndOptionMapping() {
        TDruckenDlg dlg;
        QCOMPARE(dlg.windowTitle(), QString("Drucken"));
        QCOMPARE(dlg.Tabs()->tabText(0), QString("Auswahl"));
        QCOMPARE(dlg.Tabs()->tabText(1), QString("Optionen"));
        QCOMPARE(dlg.ListKind(), 0);
        const char* pageNames[] = {"Ergebnis", "Qualifikation", "Laufbesetzung", "HLW-Startliste",
                                   "Gliederungen"};
        const char* listTexts[] = {"Ergebnisliste bzw. Zwischenergebnis", "Qualifikationsliste",
                                   "Laufeinteilung /  Startliste", "HLW-Startliste",
                                   "Statistiken (Gliederungen, Medaillenspiegel, ...)"};
        dlg.show();
        for (int k = 4; k >= 0; --k) {
            auto* radio = vmtest::Find<QRadioButton>(&dlg, QString::fromUtf8(listTexts[k]));
            QVERIFY(radio);
            QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
            QCOMPARE(dlg.ListKind(), k);
            QCOMPARE(dlg.OptionPages()->currentWidget()->objectName(), QString(pageNames[k]));
            // Every list starts from the defaults.
            QVERIFY(SameOptions(dlg.Options(), TPrintOptions{}));
        }

        // Each check box sets exactly its option on its list's page.
        using Field = bool TPrintOptions::*;
        const struct {
            int kind;
            const char* text;
            Field field;
        } checks[] = {
            {0, "alle Altersklassen einbeziehen", &TPrintOptions::allAgeClasses},
            {0, "einschließlich Altersklassendaten (Disziplinen)", &TPrintOptions::ageClassData},
            {0, "jede Altersklasse auf einer neuen Seite beginnen",
             &TPrintOptions::newPagePerAgeClass},
            {0, "einschließlich eventueller Rekorde", &TPrintOptions::recordMarks},
            {0, "je Teilnehmer zwei Zeilen drucken", &TPrintOptions::twoLines},
            {0, "einschließlich Medaillenspiegel der Gliederungen", &TPrintOptions::medalTable},
            {1, "alle Altersklassen einbeziehen", &TPrintOptions::allAgeClasses},
            {1, "einschließlich Altersklassendaten (Disziplinen)", &TPrintOptions::ageClassData},
            {1, "jede Altersklasse auf einer neuen Seite beginnen",
             &TPrintOptions::newPagePerAgeClass},
            {1, "einschließlich teilnehmende Gliederungen", &TPrintOptions::gliederungen},
            {2, "einschließlich teilnehmende Gliederungen", &TPrintOptions::gliederungen},
            {2, "Lauf/Bahn für alle Disziplinen angeben", &TPrintOptions::laneAllDisciplines},
        };
        for (const auto& c : checks) {
            dlg.SetListKind(c.kind);
            auto* box = vmtest::Find<QCheckBox>(dlg.OptionPages()->widget(c.kind),
                                                QString::fromUtf8(c.text));
            QVERIFY2(box, c.text);
            box->toggle();
            TPrintOptions expected;
            expected.*c.field = !(expected.*c.field);
            QVERIFY2(SameOptions(dlg.Options(), expected), c.text);
            box->toggle();
        }
        const char* general[] = {"einschließlich Druckkopf",
                                 "einschließlich Hinweise / Erläuterungen",
                                 "einschließlich Fußzeile (Datum, Uhrzeit, Seite)",
                                 "Leerzeile nach jeweils 5 Zeilen einfügen"};
        const Field generalFields[] = {&TPrintOptions::printHead, &TPrintOptions::legend,
                                       &TPrintOptions::footer, &TPrintOptions::emptyLineAfter5};
        for (int k = 0; k < 5; ++k) {
            dlg.SetListKind(k);
            for (int g = 0; g < 4; ++g) {
                auto* box = vmtest::Find<QCheckBox>(&dlg, QString::fromUtf8(general[g]));
                box->toggle();
                TPrintOptions expected;
                expected.*generalFields[g] = false;
                QVERIFY(SameOptions(dlg.Options(), expected));
                box->toggle();
            }
        }
        dlg.SetListKind(4);
        const char* stats[] = {"Gliederungsübersicht (alphabetisch)", "Medaillenspiegel",
                               "Liste der Punktbesten (Gesamtpunkte)", "Kranz-Pokalwertung"};
        for (int i = 3; i >= 0; --i) {
            vmtest::Find<QRadioButton>(&dlg, QString::fromUtf8(stats[i]))->setChecked(true);
            QCOMPARE(dlg.Options().statisticsIndex, i);
        }
        QCOMPARE(Button(&dlg, "AnsichtBtn")->toolTip(),
                 QString("Seitenansicht des Ausdrucks anzeigen"));
        QCOMPARE(Button(&dlg, "PdfBtn")->toolTip(), QString("PDF erzeugen"));
        QCOMPARE(Button(&dlg, "DruckerBtn")->text(), QString("&Drucker..."));
        QCOMPARE(Button(&dlg, "EinrichtenBtn")->text(), QString("&einrichten..."));
    }

    void okBuildsOnThePrintersPaperAndClosesOnlyWhenPrinted() {
        if (PrintersInstalled()) QSKIP("a printer is installed on this machine");
        auto doc = SmallDoc(dir, false);
        TSeamScript seam;
        TPrinterScript printer;
        TDruckenDlg dlg;
        dlg.show();
        // Not attached: nothing is built.
        QVERIFY(!dlg.Build());
        dlg.Attach(&doc->Competition(), 0, 0, 0, 0);

        // No printer: built on A4, said clearly, the dialog stays.
        QTest::mouseClick(Button(&dlg, "OKBtn"), Qt::LeftButton);
        QCOMPARE(seam.LastBoxText(), QString::fromUtf8(NoPrinterText));
        QCOMPARE(dlg.BuildCount(), 1);
        QCOMPARE(dlg.BuiltWidth(), 2100);
        QCOMPARE(dlg.BuiltHeight(), 2970);
        QVERIFY(dlg.isVisible());

        // Landscape paper: the list is built wider than high; a cancelled platform
        // print dialog leaves the dialog open.
        const QString file = QString::fromStdString(dir.File("ok.pdf"));
        vmtest::UseFilePrinter(file);
        CurrentPrinter().setPageOrientation(QPageLayout::Landscape);
        printer.Cancel();
        QTest::mouseClick(Button(&dlg, "OKBtn"), Qt::LeftButton);
        QCOMPARE(dlg.BuiltWidth(), 2970);
        QCOMPARE(dlg.Job().Report()->PageWidth, 2970);
        QCOMPARE(dlg.Job().Report()->FrameRight(), 2970 - 100);
        QVERIFY(dlg.Job().Report()->FrameRight() - dlg.Job().Report()->FrameLeft() >
                dlg.Job().Report()->BottomLimit());
        QVERIFY(dlg.isVisible());
        QVERIFY(!QFile::exists(file));

        printer.PrintAll();
        QTest::mouseClick(Button(&dlg, "OKBtn"), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(QpdfPages(file), dlg.Job().Report()->PageCount());
        QCOMPARE(printer.requests.back().maxPage, dlg.Job().Report()->PageCount());
        QCOMPARE(printer.requests.back().currentPage, 0);
        QCOMPARE(printer.unexpected, 0);
    }

    void everyListPrintsToAFilePrinter() {
        const std::string gen = dir.File("gen.ERG");
        QCOMPARE(vmtest::RunCli({"generate", gen, "--participants", "400", "--seed", "3"}).status,
                 0);
        TVmFile doc(gen);
        for (int kind = 0; kind < 5; ++kind) {
            const QString file =
                QString::fromStdString(dir.File("liste" + std::to_string(kind) + ".pdf"));
            vmtest::UseFilePrinter(file);
            TPrinterScript printer;
            printer.PrintAll();
            TDruckenDlg dlg;
            dlg.Attach(&doc.Competition(), 0, 0, 0, 0);
            dlg.SetListKind(kind);
            dlg.show();
            QTest::mouseClick(Button(&dlg, "OKBtn"), Qt::LeftButton);
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            const int pages = dlg.Job().Report()->PageCount();
            QVERIFY(pages >= 1);
            QCOMPARE(QpdfPages(file), pages);
        }
    }

    void pageSetupMarginsInTenths() {
        TPrinterScript printer;
        TDruckenDlg dlg;
        QMarginsF given;
        printer.Answer([&](QPrinter& p, const TPrintDialogRequest&) {
            given = p.pageLayout().margins(QPageLayout::Millimeter);
            p.setPageMargins(QMarginsF(12.5, 20, 7.25, 10.09), QPageLayout::Millimeter);
            return true;
        });
        dlg.CmdPageSetup();
        QCOMPARE(printer.asked.at(0), TPrinterDialogKind::PageSetup);
        QCOMPARE(given, QMarginsF(10, 10, 10, 10));
        QCOMPARE(dlg.Job().MarginLeft, 125);
        QCOMPARE(dlg.Job().MarginTop, 200);
        QCOMPARE(dlg.Job().MarginRight, 72);
        QCOMPARE(dlg.Job().MarginBottom, 100);
        // Cancelled: the margins stay.
        printer.Cancel();
        dlg.CmdPageSetup();
        QCOMPARE(dlg.Job().MarginLeft, 125);

        // The margins form works in millimetres with a decimal comma.
        TSeamScript seam;
        seam.OnDialog([](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Seitenränder einstellen"));
            auto* left = d.findChildren<QLineEdit*>().at(0);
            QCOMPARE(left->text(), QString("12,5"));
            left->selectAll();
            QTest::keyClicks(left, "20,3");
            d.accept();
        });
        TMargins m{125, 200, 72, 100};
        QVERIFY(TRaenderDlg::Open(nullptr, m));
        QCOMPARE(m.left, 203);
        QCOMPARE(m.top, 200);
        QCOMPARE(m.right, 72);
    }

    void previewPrintsAFreshBuild() {
        auto doc = SmallDoc(dir, false);
        const QString file = QString::fromStdString(dir.File("fresh.pdf"));
        vmtest::UseFilePrinter(file);
        TSeamScript seam;
        TPrinterScript printer;
        TDruckenDlg dlg;
        dlg.Attach(&doc->Competition(), 0, 0, 0, 0);
        dlg.show();
        const TVmReport* previewed = nullptr;
        seam.OnDialog([&](QDialog& d) {
            auto* prev = qobject_cast<TPreviewForm*>(&d);
            QVERIFY(prev);
            previewed = static_cast<const TVmReport*>(prev->Document());
            QCOMPARE(previewed, dlg.Job().Report());
            QCOMPARE(d.windowTitle(), QString("Seitenansicht - Vm - Ausdruck des Ergebnisses"));
            for (QAction* a : prev->ButtonBar()->actions())
                if (a->text() == "Drucken") a->trigger();
        });
        printer.PrintAll();
        QTest::mouseClick(Button(&dlg, "AnsichtBtn"), Qt::LeftButton);
        QCOMPARE(dlg.BuildCount(), 2);
        QCOMPARE(printer.asked.size(), std::size_t(1));
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(QpdfPages(file) >= 1);

        // Closing the preview prints nothing.
        TDruckenDlg again;
        again.Attach(&doc->Competition(), 0, 0, 0, 0);
        seam.OnDialog([](QDialog& d) { d.reject(); });
        again.CmdPreview();
        QCOMPARE(again.BuildCount(), 1);
        QCOMPARE(printer.asked.size(), std::size_t(1));
        QCOMPARE(seam.unexpected, 0);
    }

    void pdfWithOptionsAndAFileThatCannotBeWritten() {
        auto doc = SmallDoc(dir, false);
        TSeamScript seam;
        TDruckenDlg dlg;
        dlg.Attach(&doc->Competition(), 0, 0, 0, 0);
        dlg.SetListKind(4);

        // Cancelling the file dialog writes nothing.
        seam.AnswerFile(QString());
        dlg.CmdPdf();
        QCOMPARE(seam.fileRequests.back().defaultSuffix, QString("PDF"));
        QVERIFY(opened.empty());

        const QString file = QString::fromStdString(dir.File("stat.pdf"));
        seam.AnswerFile(file);
        QString subject;
        seam.OnDialog([&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("PDF Optionen"));
            subject = QString::fromLatin1(dlg.PdfInfo().Subject);
            d.accept();
        });
        dlg.CmdPdf();
        QCOMPARE(subject,
                 QString::fromLatin1(OemToAnsi(doc->Competition().Header.Veranstaltung.View())) +
                     " - Einzelwettbewerb");
        QCOMPARE(QpdfPages(file), dlg.Job().Report()->PageCount());
        QCOMPARE(opened, std::vector<QString>{file});

        // The options dialog cancelled: nothing is written.
        const QString other = QString::fromStdString(dir.File("nie.pdf"));
        seam.AnswerFile(other);
        seam.OnDialog([](QDialog& d) { d.reject(); });
        dlg.CmdPdf();
        QVERIFY(!QFile::exists(other));

        // A folder that is not there: the message, and nothing opened.
        TMessageCapture messages;
        seam.AnswerFile(QString::fromStdString(dir.File("fehlt/stat.pdf")));
        seam.OnDialog([](QDialog& d) { d.accept(); });
        dlg.CmdPdf();
        QCOMPARE(messages.Messages(), std::vector<std::string>{"Fehler beim Speichern der Datei."});
        QCOMPARE(opened.size(), std::size_t(1));
        QCOMPARE(seam.unexpected, 0);
    }

    // The PDF name "TEST.PDF", "Querformat" without a printer, the printer set-up that
    // is no print dialog, and the status line after a PDF no program could open.
    void pdfNameLandscapeSetupAndStatusLine() {
        auto doc = SmallDoc(dir, false);
        {
            TSeamScript seam;
            TPrinterScript printer;
            TDruckenDlg dlg;
            dlg.Attach(&doc->Competition(), 0, 0, 0, 0);
            printer.Answer([](QPrinter& p, const TPrintDialogRequest&) {
                p.setPageOrientation(QPageLayout::Landscape);
                return true;
            });
            QTest::mouseClick(Button(&dlg, "EinrichtenBtn"), Qt::LeftButton);
            const QString file = QString::fromStdString(dir.File("quer.pdf"));
            seam.AnswerFile(file);
            seam.OnDialog([](QDialog& d) { d.accept(); });
            QTest::mouseClick(Button(&dlg, "PdfBtn"), Qt::LeftButton);
            QCOMPARE(seam.fileRequests.back().fileName, QString("TEST.PDF"));
            if (!PrintersInstalled()) {
                QCOMPARE(dlg.BuiltWidth(), 2970);
                QCOMPARE(dlg.BuiltHeight(), 2100);
                QByteArray info;
                if (Run(QStringLiteral("pdfinfo"), {file}, &info) == 0)
                    QVERIFY(info.contains(" 842 x 595 pts"));
                // The preview shows the sheet on its side as well.
                seam.OnDialog([](QDialog& d) {
                    auto* prev = qobject_cast<TPreviewForm*>(&d);
                    QVERIFY(prev);
                    QVERIFY(prev->PaintBox()->width() > prev->PaintBox()->height());
                    d.reject();
                });
                dlg.CmdPreview();
            }
            CurrentPrinter().setPageOrientation(QPageLayout::Portrait);
            QCOMPARE(seam.unexpected, 0);
        }
        {
            // The real set-up dialog, seen through the seam: paper and orientation,
            // and no button "Drucken".
            TSeamScript seam;
            TDruckenDlg dlg;
            bool seen = false;
            seam.OnDialog([&](QDialog& d) {
                QVERIFY(qobject_cast<QPageSetupDialog*>(&d));
                QCOMPARE(d.windowTitle(), QString("Drucker einrichten"));
                for (QAbstractButton* b : d.findChildren<QAbstractButton*>())
                    QVERIFY2(!b->text().contains("Drucken"), qPrintable(b->text()));
                seen = true;
                d.reject();
            });
            QTest::mouseClick(Button(&dlg, "DruckerBtn"), Qt::LeftButton);
            QVERIFY(seen);
        }
        {
            // No program opens the PDF: the main window's status line says where it is.
            const std::string erg = vmtest::SmallCompetitionFile(dir, "Status.ERG");
            TSeamScript seam;
            Window w(QString::fromStdString(erg));
            SetPdfOpener([](const QString&) { return false; });
            const QString file = QString::fromStdString(dir.File("status.pdf"));
            seam.OnDialog([&](QDialog& d) {
                auto* dlg = qobject_cast<TDruckenDlg*>(&d);
                QVERIFY(dlg);
                // The small competition has findings of the data checks: print all the same.
                seam.AnswerBox(QMessageBox::Yes);
                seam.AnswerFile(file);
                QTest::mouseClick(Button(dlg, "PdfBtn"), Qt::LeftButton);
                QVERIFY2(dlg->StatusText().contains(file), qPrintable(dlg->StatusText()));
                QTest::mouseClick(Button(dlg, "CancelBtn"), Qt::LeftButton);
            });
            seam.OnDialog([](QDialog& d) { d.accept(); }); // the PDF options
            QTest::keyClick(w.form.Grid(), Qt::Key_F4);
            QCoreApplication::processEvents();
            SetPdfOpener({});
            QVERIFY(QFile::exists(file));
            auto* status = w.form.findChild<QLabel*>(QStringLiteral("StatusLine"));
            QVERIFY(status);
            QVERIFY2(status->text().contains(file), qPrintable(status->text()));
            QCOMPARE(seam.unexpected, 0);
        }
    }

    void f4OpensThePrintDialogOnTheCurrentAgeClass() {
        const std::string file = vmtest::SmallCompetitionFile(dir, "F4.ERG");
        TSeamScript seam;
        Window w(QString::fromStdString(file));
        w.form.SelectAgeClass(2);
        bool seen = false;
        seam.OnDialog([&](QDialog& d) {
            auto* dlg = qobject_cast<TDruckenDlg*>(&d);
            QVERIFY(dlg);
            QVERIFY(dlg->Attached());
            // A copy of the document: what printing brings up to date never changes it.
            QVERIFY(dlg->Job().Competition != &w.form.Document()->Competition());
            TMemoryStream printed, shown;
            WriteNative(printed, *dlg->Job().Competition);
            WriteNative(shown, w.form.Document()->Competition());
            QCOMPARE(printed.Data(), shown.Data());
            QCOMPARE(dlg->Job().SelectedAgeClass, std::int16_t(2));
            // Its PDF button edits the window's PDF information, as "Speichern unter..." does.
            QCOMPARE(&dlg->PdfInfo(), &w.form.PdfInfo());
            seen = true;
            QTest::mouseClick(Button(dlg, "CancelBtn"), Qt::LeftButton);
        });
        QTest::keyClick(w.form.Grid(), Qt::Key_F4);
        QVERIFY(seen);
        QVERIFY(!w.form.Document()->Modified());
        QCOMPARE(seam.unexpected, 0);
    }

    // ---- heat view ---------------------------------------------------------------------

    void heatViewWithoutHeats() {
        auto doc = SmallDoc(dir, false);
        TWettkampf& c = doc->Competition();
        TLaufanzeigeDlg dlg(nullptr, c);
        QCOMPARE(dlg.windowTitle(), QString("Laufanzeige nach Wettkampf"));
        QCOMPARE(dlg.toolTip(), QString("Laufanzeige nach Wettkampf"));
        QCOMPARE(dlg.Tabs()->count(), 5);
        QCOMPARE(dlg.Tabs()->tabText(4), QString("Wettkampf 5"));
        QCOMPARE(dlg.HeatLabel()->text(), QString("Lauf ungesetzt (0)"));
        QCOMPARE(dlg.Heat(), 0);
        // Everybody is without a heat.
        QCOMPARE(dlg.List()->count(), 4);
        QCOMPARE(dlg.Header()->text(), FromOem(HeatLine(c, 1, nullptr, false)));
    }

    void heatViewStepsAndClamps() {
        auto doc = SmallDoc(dir, true);
        TWettkampf& c = doc->Competition();
        {
            TLaufanzeigeDlg dlg(nullptr, c);
            dlg.show();
            QApplication::setActiveWindow(&dlg);
            QCOMPARE(dlg.Discipline(), 1);
            // Heat 0 is below the smallest heat of discipline 1.
            QCOMPARE(dlg.HeatLabel()->text(), QString("Lauf 1"));
            QCOMPARE(dlg.List()->count(), 2);
            for (int i = 0; i < 2; ++i)
                QCOMPARE(dlg.List()->item(i)->text(),
                         FromOem(HeatLine(
                             c, 1, dlg.Selection().entries[static_cast<std::size_t>(i)].participant,
                             false)));
            QVERIFY(dlg.List()->item(0)->text().contains("Zander") ||
                    dlg.List()->item(0)->text().contains("Berger"));
            QTest::keyClick(dlg.List(), Qt::Key_PageDown);
            QCOMPARE(dlg.HeatLabel()->text(), QString("Lauf 2"));
            QCOMPARE(dlg.List()->count(), 1);
            QVERIFY(dlg.List()->item(0)->text().contains("Meier"));
            QTest::mouseClick(dlg.findChild<QWidget*>("NextBtn"), Qt::LeftButton);
            QCOMPARE(dlg.Heat(), 3);
            QVERIFY(dlg.List()->item(0)->text().contains("Kröger"));
            QTest::mouseClick(dlg.findChild<QWidget*>("NextBtn"), Qt::LeftButton);
            QCOMPARE(dlg.Heat(), 3);
            dlg.ShowHeat(1, 99);
            QCOMPARE(dlg.Heat(), 3);
            dlg.ShowHeat(1, -4);
            QCOMPARE(dlg.Heat(), 1);
            // Discipline 2 has no heats: its only heat is 0, with everybody.
            dlg.Tabs()->setCurrentIndex(1);
            QCOMPARE(dlg.Discipline(), 2);
            QCOMPARE(dlg.HeatLabel()->text(), QString("Lauf ungesetzt (0)"));
            QCOMPARE(dlg.List()->count(), 4);
            dlg.ShowHeat(9, 1);
            QCOMPARE(dlg.Discipline(), 5);
            QCOMPARE(dlg.Tabs()->currentIndex(), 4);
            dlg.ShowHeat(-3, 2);
            QCOMPARE(dlg.Discipline(), 1);
            QCOMPARE(dlg.Heat(), 2);
            QVERIFY(!dlg.findChild<QPushButton*>("AendernBtn")->isEnabled());
        }
    }

    // ---- Gliederungen dialog ----------------------------------------------------------

    void gliederungenTabsAndNames() {
        const std::string file = vmtest::SmallCompetitionFile(dir, "Glied.ERG");
        TSeamScript seam;
        Window w(QString::fromStdString(file));
        const QString longName = QStringLiteral("Landesverband Bayern im Velbund Süd");
        const QString typed = longName.left(longName.indexOf(u'ü'));
        seam.OnDialog([&](QDialog& d) {
            auto* dlg = qobject_cast<TGliederungenDlg*>(&d);
            QVERIFY(dlg);
            QCOMPARE(d.windowTitle(), QString("Teilnehmende Gliederungen"));
            QCOMPARE(d.toolTip(), QString("Namen teilnehmender Gliederungen eingeben"));
            const char* tabs[] = {"Medaillenspiegel", "Gesamtpunkte", "alphabetisch",
                                  "Kranz-Pokalwertung"};
            const int modes[] = {1, 3, 0, 4};
            for (int t = 0; t < 4; ++t) {
                QCOMPARE(dlg->Tabs()->tabText(t), QString::fromUtf8(tabs[t]));
                dlg->Tabs()->setCurrentIndex(t);
                QCOMPARE(dlg->Mode(), modes[t]);
                QCOMPARE(dlg->Header()->text(),
                         FromOem(StatLine(dlg->Copy().Gliederungen, modes[t], 0)));
                QCOMPARE(dlg->List()->count(), 4);
                QCOMPARE(dlg->List()->item(3)->text(),
                         FromOem(StatLine(dlg->Copy().Gliederungen, modes[t], 4)));
            }
            dlg->Tabs()->setCurrentIndex(0);
            QCOMPARE(
                dlg->Header()->text(),
                QString("Pl. Abk.   TN  Go  Si  Br Gliederung                     GesamtP KRW"));
            // Alphabetical: BY, HE, NI, SH; Enter on the list asks for the name.
            dlg->Tabs()->setCurrentIndex(2);
            QVERIFY(dlg->List()->item(0)->text().contains("BY"));
            QCOMPARE(dlg->EditButton()->toolTip(),
                     QString("Name der ausgewählten Gliederung ändern"));
            QVERIFY(dlg->EditButton()->isEnabled());
            dlg->List()->setCurrentRow(0);
            dlg->List()->setFocus();
            seam.OnDialog([&](QDialog& box) {
                QCOMPARE(box.windowTitle(), QString("Gliederung eingeben"));
                QVERIFY(vmtest::Find<QLabel>(&box, "Gliederung:"));
                auto* edit = box.findChild<QLineEdit*>("NameEdit");
                QCOMPARE(edit->text(), QString("BY"));
                edit->selectAll();
                QTest::keyClicks(edit, typed);
                edit->insert(longName.mid(typed.size()));
                QTest::keyClick(edit, Qt::Key_Return);
            });
            QTest::keyClick(dlg->List(), Qt::Key_Return);
            QVERIFY(dlg->List()->item(0)->text().contains(longName.left(30)));
            QCOMPARE(dlg->List()->currentRow(), 0);
            // Another tab keeps the name.
            dlg->Tabs()->setCurrentIndex(3);
            QCOMPARE(FromOem(dlg->Copy().Gliederungen.Find("BY")->Name.View()), longName.left(30));
            d.accept();
        });
        QTest::keyClick(w.form.Grid(), Qt::Key_G, Qt::AltModifier);
        QCOMPARE(seam.dialogTitles.size(), std::size_t(2));
        const TGliederungStat* by = w.form.Document()->Competition().Gliederungen.Find("BY");
        QVERIFY(by);
        QCOMPARE(FromOem(by->Name.View()), longName.left(30));
        QVERIFY(w.form.Document()->Modified());

        // Cancel discards the copy with its names.
        w.Doc().SetModified(false);
        seam.OnDialog([](QDialog& d) {
            auto* dlg = static_cast<TGliederungenDlg*>(&d);
            dlg->Copy().Gliederungen.Find("HE")->Name.Set("Hessen");
            d.reject();
        });
        QTest::keyClick(w.form.Grid(), Qt::Key_G, Qt::AltModifier);
        QCOMPARE(std::string(w.form.Document()->Competition().Gliederungen.Find("HE")->Name.View()),
                 std::string("HE"));
        QVERIFY(!w.form.Document()->Modified());
        QCOMPARE(seam.unexpected, 0);
    }

    void gliederungenWithoutParticipants() {
        auto c = NewCompetition();
        TGliederungenDlg dlg(nullptr, CopyCompetition(*c));
        QCOMPARE(dlg.List()->count(), 0);
        QVERIFY(!dlg.EditButton()->isEnabled());
    }
};

VM_UI_TEST_MAIN(PrintTest)
#include "PrintTest.moc"
