// The print preview driven by keys and clicks: page and zoom rules, the sheet's size
// and place, its result; the preview's page set beside the PDF of the same list; and,
// when VELMORA_SHOTS names a folder, screenshots of the printing windows.
#include "PrintScript.h"
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"

#include "file/VmWFile.h"
#include "output/PdfDevice.h"
#include "output/PdfWriter.h"
#include "print/VmReport.h"
#include "support/TestSupport.h"
#include "ui/BvPrev.h"
#include "ui/VmCanvas.h"
#include "ui/VmGliedDlg.h"
#include "ui/VmLaufAnz.h"
#include "ui/VmWPrn.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProcess>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>

#include <cmath>
#include <filesystem>
#include <memory>

using namespace vm;
using namespace vm::ui;
using vmtest::TSeamScript;

namespace {

// A document of n pages, each with its number as text.
std::unique_ptr<TBvDocument> Pages(int n, const std::string& title = "Vm - Probe") {
    auto doc = std::make_unique<TBvDocument>(title);
    for (int i = 1; i <= n; ++i) {
        TBvPage* page = doc->CreatePage(i);
        doc->AddText(*page, 100, 100, 2000, 150, "Seite " + std::to_string(i),
                     {.face = fiArial,
                      .height = 50,
                      .alignment = taLeft,
                      .charset = TTextCharset::CodePage850});
    }
    return doc;
}

QAction* Button(TPreviewForm& f, const QString& text) {
    for (QAction* a : f.ButtonBar()->actions())
        if (a->text() == text) return a;
    return nullptr;
}

void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
}

// A form shown at a known size, its scroll box without a frame.
struct Preview {
    explicit Preview(const TBvDocument* doc, std::int32_t w = 2100, std::int32_t h = 2970,
                     QSize size = QSize(900, 700)) {
        form.resize(size);
        form.Initialise(doc, 1, w, h);
        form.show();
        QApplication::setActiveWindow(&form);
        QCoreApplication::processEvents();
    }
    TPreviewForm form;
};

// ---- the preview beside the PDF ----------------------------------------------------------

constexpr int kZoom = 200; // 6 pixels per millimetre
constexpr double kDpi = 6 * 25.4;

QImage CanvasPage(const TBvDocument& doc, int page, std::int32_t w, std::int32_t h) {
    auto probe = TCanvasDevice::CreatePreview(&doc, nullptr, w, h);
    probe->SetZoom(kZoom);
    QImage img(probe->PageWidthDev, probe->PageHeightDev, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    probe->SetCanvas(&p);
    probe->Render(page, page);
    return img;
}

QImage PdfPage(const QString& pdf, int page, const QString& prefix) {
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-f"),
             QString::number(page), QStringLiteral("-l"), QString::number(page),
             QStringLiteral("-gray"), QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf,
             prefix});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QImage(prefix + QStringLiteral(".png"));
}

// The share of inked 1 mm cells of either rendering that find no ink within `reach`
// cells on the other: text that moved by a line, a line in another place, a missing
// item or a different page break shows here, while the two rasterisers' glyph shapes
// and the devices' own placement of a text inside its line (half a millimetre apart)
// do not.
double InkMismatch(const QImage& a, const QImage& b, int cell, int reach, QImage* diff = nullptr) {
    const int cols = std::min(a.width(), b.width()) / cell;
    const int rows = std::min(a.height(), b.height()) / cell;
    auto mask = [&](const QImage& img) {
        const QImage g = img.convertToFormat(QImage::Format_Grayscale8);
        std::vector<char> m(static_cast<std::size_t>(cols * rows), 0);
        for (int y = 0; y < rows * cell; ++y) {
            const uchar* line = g.constScanLine(y);
            for (int x = 0; x < cols * cell; ++x)
                if (line[x] < 160) m[static_cast<std::size_t>((y / cell) * cols + x / cell)] = 1;
        }
        return m;
    };
    const std::vector<char> ma = mask(a), mb = mask(b);
    auto near = [&](const std::vector<char>& m, int cx, int cy) {
        for (int y = std::max(0, cy - reach); y <= std::min(rows - 1, cy + reach); ++y)
            for (int x = std::max(0, cx - reach); x <= std::min(cols - 1, cx + reach); ++x)
                if (m[static_cast<std::size_t>(y * cols + x)]) return true;
        return false;
    };
    if (diff) {
        *diff = QImage(cols * cell, rows * cell, QImage::Format_RGB32);
        diff->fill(Qt::white);
    }
    QPainter p;
    if (diff) p.begin(diff);
    int inked = 0, lost = 0;
    for (int cy = 0; cy < rows; ++cy)
        for (int cx = 0; cx < cols; ++cx) {
            const bool ia = ma[static_cast<std::size_t>(cy * cols + cx)] != 0;
            const bool ib = mb[static_cast<std::size_t>(cy * cols + cx)] != 0;
            if (!ia && !ib) continue;
            ++inked;
            const bool miss = (ia && !near(mb, cx, cy)) || (ib && !near(ma, cx, cy));
            if (miss) ++lost;
            if (diff)
                p.fillRect(cx * cell, cy * cell, cell, cell,
                           miss ? (ia ? Qt::red : Qt::blue) : Qt::lightGray);
        }
    return inked ? static_cast<double>(lost) / inked : 0.0;
}

QString ShotsDir() {
    return qEnvironmentVariable("VELMORA_SHOTS");
}

void Shot(QWidget& w, const QString& name) {
    QCoreApplication::processEvents();
    const QString file = QDir(ShotsDir()).filePath(name + QStringLiteral(".png"));
    QVERIFY2(w.grab().save(file), qPrintable(file));
}

} // namespace

class PreviewTest : public QObject {
    Q_OBJECT
    vmtest::TempDir dir;

    std::string Generated(int participants) {
        const std::string file = dir.File("gen" + std::to_string(participants) + ".ERG");
        if (!QFile::exists(QString::fromStdString(file))) {
            const auto r = vmtest::RunCli(
                {"generate", file, "--participants", std::to_string(participants), "--seed", "1"});
            if (r.status != 0) return {};
        }
        return file;
    }

private Q_SLOTS:
    void opensOnPageOneFittedWithItsCaption() {
        auto doc = Pages(3);
        Preview v(doc.get());
        QCOMPARE(v.form.windowTitle(), QString("Seitenansicht - Vm - Probe"));
        QCOMPARE(v.form.PageCountLabel()->text(), QString("von 3"));
        QCOMPARE(v.form.CurrentPage(), 1);
        QCOMPARE(v.form.PageEdit()->text(), QString("1"));
        QCOMPARE(v.form.ZoomMode(), int(TPreviewForm::zmFitPage));
        const char* buttons[] = {
            "Drucken",       "Drucker einrichten", "erste Seite",      "vorherige Seite",
            "nächste Seite", "letzte Seite",       "Anzeige anpassen", "Anzeigenbreite anpassen",
            "Vergrößern",    "Verkleinern",        "Schließen"};
        for (const char* b : buttons)
            QVERIFY2(Button(v.form, QString::fromUtf8(b)), b);
        QCOMPARE(v.form.ButtonBar()->windowTitle(), QString("Seitenansicht"));

        // Without a document: an empty one titled "leer".
        TPreviewForm empty;
        QCOMPARE(empty.InfoLabel()->text(), QString("(Seite: 2100x2970)"));
        empty.Initialise(nullptr, 1, 2100, 2970);
        QCOMPARE(empty.windowTitle(), QString("Seitenansicht - leer"));
        QCOMPARE(empty.PageCountLabel()->text(), QString("von 0"));
        QCOMPARE(empty.CurrentPage(), 1);
    }

    void sheetSizesAndInformation() {
        auto doc = Pages(1);
        Preview v(doc.get());
        const struct {
            std::int32_t w, h;
            int zoom, boxW, boxH;
        } cases[] = {
            {2100, 2970, 100, 634, 895}, // 210 x 297 mm
            {2100, 2970, 10, 67, 93},    // 6.3 -> 6, 8.91 -> 8, plus 4
            {2970, 2100, 150, 1340, 949},
            {2105, 2979, 100, 634, 895}, // whole millimetres
        };
        for (const auto& c : cases) {
            TPreviewForm f;
            f.Initialise(doc.get(), 1, c.w, c.h);
            f.SetZoom(c.zoom);
            QCOMPARE(f.PaintBox()->size(), QSize(c.boxW, c.boxH));
            QCOMPARE(f.InfoLabel()->text(), QString("(Seite: %1x%2) PaintBox: %3/%4")
                                                .arg(c.w)
                                                .arg(c.h)
                                                .arg(c.boxW)
                                                .arg(c.boxH));
        }
        // The scroll range is the sheet and 15 pixels around it.
        v.form.SetZoom(300);
        QCoreApplication::processEvents();
        QCOMPARE(v.form.ScrollBox()->widget()->size(), QSize(1890 + 4 + 30, 2673 + 4 + 30));
    }

    void zoomLimitsAndSteps() {
        auto doc = Pages(1);
        Preview v(doc.get());
        const struct {
            const char* typed;
            int zoom;
        } typed[] = {{"5", 10}, {"900", 800}, {"250", 250}, {"10", 10}, {"-3", 10}};
        for (const auto& t : typed) {
            Type(v.form.ZoomEdit(), t.typed);
            QCOMPARE(v.form.ZoomPercent(), t.zoom);
            QCOMPARE(v.form.ZoomEdit()->text(), QString::number(t.zoom));
        }
        Button(v.form, "Verkleinern")->trigger();
        QCOMPARE(v.form.ZoomPercent(), 10);
        Button(v.form, "Vergrößern")->trigger();
        QCOMPARE(v.form.ZoomPercent(), 20);
        QTest::keyClick(&v.form, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(v.form.ZoomPercent(), 30);
        v.form.SetZoom(795);
        Button(v.form, "Vergrößern")->trigger();
        QCOMPARE(v.form.ZoomPercent(), 800);
    }

    void pageNavigationClampsAndDoesNotRepaintNeedlessly() {
        auto doc = Pages(4);
        Preview v(doc.get());
        const struct {
            const char* typed;
            int page;
        } typed[] = {{"0", 1}, {"3", 3}, {"99", 4}, {"-1", 1}};
        for (const auto& t : typed) {
            Type(v.form.PageEdit(), t.typed);
            QCOMPARE(v.form.CurrentPage(), t.page);
            QCOMPARE(v.form.PageEdit()->text(), QString::number(t.page));
        }
        Button(v.form, "letzte Seite")->trigger();
        QCOMPARE(v.form.CurrentPage(), 4);
        Button(v.form, "nächste Seite")->trigger();
        QCOMPARE(v.form.CurrentPage(), 4);
        Button(v.form, "vorherige Seite")->trigger();
        QCOMPARE(v.form.CurrentPage(), 3);
        QTest::keyClick(&v.form, Qt::Key_PageUp);
        QCOMPARE(v.form.CurrentPage(), 2);
        Button(v.form, "erste Seite")->trigger();
        QCOMPARE(v.form.CurrentPage(), 1);
        Button(v.form, "vorherige Seite")->trigger();
        QCOMPARE(v.form.CurrentPage(), 1);

        QCoreApplication::processEvents();
        const int painted = v.form.PaintBox()->PaintCount();
        v.form.GoToPage(1);
        QCoreApplication::processEvents();
        QCOMPARE(v.form.PaintBox()->PaintCount(), painted);
        v.form.GoToPage(2);
        QCoreApplication::processEvents();
        QVERIFY(v.form.PaintBox()->PaintCount() > painted);
    }

    void notANumberIsRefused() {
        auto doc = Pages(4);
        Preview v(doc.get());
        TSeamScript seam;
        v.form.GoToPage(3);
        const int zoom = v.form.ZoomPercent();
        Type(v.form.PageEdit(), "abc");
        QCoreApplication::processEvents();
        QCOMPARE(seam.LastBoxText(), QString("'abc' ist kein gültiger Integerwert."));
        QCOMPARE(v.form.CurrentPage(), 3);
        QCOMPARE(v.form.PageEdit()->text(), QString("3"));
        Type(v.form.ZoomEdit(), "1x");
        QCoreApplication::processEvents();
        QCOMPARE(seam.LastBoxText(), QString("'1x' ist kein gültiger Integerwert."));
        QCOMPARE(v.form.ZoomPercent(), zoom);
        QCOMPARE(seam.boxes.size(), std::size_t(2));
    }

    void fitAndCentring() {
        auto doc = Pages(1);
        Preview v(doc.get(), 2100, 2970, QSize(900, 700));
        const QSize view = v.form.ScrollBox()->maximumViewportSize();
        // Fit page: the smaller of the two fits, truncated.
        const int zh = static_cast<int>((view.height() - 30) / 297.0 / 3 * 100);
        const int zw = static_cast<int>((view.width() - 30) / 210.0 / 3 * 100);
        QCOMPARE(v.form.ZoomPercent(), std::min(zh, zw));
        QVERIFY(v.form.PaintBox()->height() + 30 <= view.height());
        // The sheet narrower than the view stands in the middle.
        const QSize vp = v.form.ScrollBox()->viewport()->size();
        QCOMPARE(v.form.SheetPosition().x(), (vp.width() - v.form.PaintBox()->width()) / 2);
        QCOMPARE(v.form.SheetPosition().y(), (vp.height() - v.form.PaintBox()->height()) / 2);

        // Fit width: the sheet fills the width, and scrolls down.
        Button(v.form, "Anzeigenbreite anpassen")->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(v.form.ZoomMode(), int(TPreviewForm::zmFitWidth));
        const int width = v.form.ScrollBox()->viewport()->width();
        QVERIFY(v.form.PaintBox()->width() + 30 <= width);
        QVERIFY(v.form.PaintBox()->width() + 30 + 9 * 3 > width); // one percent more would not fit
        QCOMPARE(v.form.ScrollBox()->horizontalScrollBar()->maximum(), 0);

        // Larger than the view: 15 pixels from the edge, less the scroll position.
        v.form.SetZoom(400);
        QCoreApplication::processEvents();
        QCOMPARE(v.form.SheetPosition(), QPoint(15, 15));
        v.form.ScrollBox()->horizontalScrollBar()->setValue(100);
        v.form.ScrollBox()->verticalScrollBar()->setValue(40);
        QCoreApplication::processEvents();
        QCOMPARE(v.form.SheetPosition(), QPoint(15 - 100, 15 - 40));

        Button(v.form, "Anzeige anpassen")->trigger();
        QCOMPARE(v.form.ZoomPercent(), std::min(zh, zw));
        QCOMPARE(v.form.ZoomMode(), int(TPreviewForm::zmFitPage));
    }

    void sheetIsFramedWithAShadow() {
        auto doc = Pages(1);
        TPreviewForm f;
        f.Initialise(doc.get(), 1, 2100, 2970);
        f.SetZoom(100);
        const QImage img = f.PaintBox()->grab().toImage();
        QCOMPARE(img.size(), QSize(634, 895));
        QCOMPARE(img.pixelColor(0, 400), QColor(Qt::black));       // frame
        QCOMPARE(img.pixelColor(630, 400), QColor(Qt::black));     // right frame
        QCOMPARE(img.pixelColor(300, 400), QColor(Qt::white));     // sheet
        QCOMPARE(img.pixelColor(632, 400), QColor(128, 128, 128)); // shadow
        QCOMPARE(img.pixelColor(300, 892), QColor(128, 128, 128));
        // The page text is there: "Seite 1" at 10 mm, 30 pixels in.
        bool ink = false;
        for (int x = 30; x < 80; ++x)
            if (img.pixelColor(x, 37).lightness() < 128) ink = true;
        QVERIFY(ink);
    }

    void printReturns100AndCloseReturnsCancel() {
        auto doc = Pages(2);
        TSeamScript seam;
        seam.OnDialog([](QDialog& d) {
            QVERIFY(d.windowState() & Qt::WindowMaximized);
            Button(static_cast<TPreviewForm&>(d), "Drucken")->trigger();
        });
        QCOMPARE(TPreviewForm::ShowPreview(nullptr, doc.get(), 2100, 2970), 100);
        seam.OnDialog(
            [](QDialog& d) { Button(static_cast<TPreviewForm&>(d), "Schließen")->trigger(); });
        QCOMPARE(TPreviewForm::ShowPreview(nullptr, doc.get(), 2100, 2970), int(QDialog::Rejected));
        seam.OnDialog([](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); });
        QCOMPARE(TPreviewForm::ShowPreview(nullptr, doc.get(), 2100, 2970), int(QDialog::Rejected));

        // A confirmed printer setup shows page 1 fitted.
        vmtest::TPrinterScript printer;
        Preview v(doc.get());
        v.form.GoToPage(2);
        v.form.SetZoom(300);
        printer.Answer([](QPrinter&, const TPrintDialogRequest&) { return true; });
        Button(v.form, "Drucker einrichten")->trigger();
        QCOMPARE(printer.asked.at(0), TPrinterDialogKind::PrinterSetup);
        QCOMPARE(v.form.CurrentPage(), 1);
        QCOMPARE(v.form.ZoomMode(), int(TPreviewForm::zmFitPage));
        QCOMPARE(seam.unexpected, 0);
    }

    // Every list, one page each, drawn by the canvas device and by the PDF device.
    void previewLooksLikeThePdf() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("pdftoppm is not installed: the preview is not compared with the PDF");
        const std::string file = Generated(300);
        QVERIFY(!file.empty());
        TVmFile doc(file);
        const struct {
            int kind;
            bool landscape;
            int page;
        } lists[] = {{rkErgebnis, false, 1},  {rkErgebnis, false, 3},
                     {rkErgebnis, true, 2},   {rkQualifikation, false, 2},
                     {rkLaufliste, false, 2}, {rkHLWStartliste, false, 1},
                     {rkStatistik, false, 1}};
        for (const auto& l : lists) {
            TVmPrintJob job(&doc.Competition(), 0);
            job.SetLandscape(l.landscape);
            TPrintOptions o;
            o.recordMarks = true;
            RefreshForBuild(doc.Competition(), l.kind, o);
            const TVmReport& report = job.Build(l.kind, o);
            QVERIFY(report.PageCount() >= l.page);
            const QString name =
                QStringLiteral("list%1%2p%3").arg(l.kind).arg(l.landscape ? "q" : "").arg(l.page);
            const QString pdf = QString::fromStdString(dir.File(name.toStdString() + ".pdf"));
            QVERIFY(ExportDocumentToPdf(report, pdf.toStdString(), report.PageWidth,
                                        report.PageHeight, TPdfInfo::Defaults()));
            const QImage canvas = CanvasPage(report, l.page, report.PageWidth, report.PageHeight);
            const QImage paper =
                PdfPage(pdf, l.page, QString::fromStdString(dir.File(name.toStdString())));
            QVERIFY(!paper.isNull());
            QVERIFY(std::abs(canvas.width() - paper.width()) <= 2);
            QVERIFY(std::abs(canvas.height() - paper.height()) <= 2);
            QImage diff;
            const double mismatch = InkMismatch(canvas, paper, 6, 1, &diff);
            const double exact = InkMismatch(canvas, paper, 6, 0);
            // The same page of another list is far off: the figure tells pages apart.
            const QImage other =
                CanvasPage(report, l.page == 1 ? 2 : 1, report.PageWidth, report.PageHeight);
            const double against = report.PageCount() > 1 ? InkMismatch(other, paper, 6, 1) : 1.0;
            qInfo("%s: %.3f of the inked cells without ink nearby on the other (same cell: "
                  "%.3f; against another page: %.3f)",
                  qPrintable(name), mismatch, exact, against);
            if (!ShotsDir().isEmpty()) {
                canvas.save(QDir(ShotsDir()).filePath(name + "-canvas.png"));
                paper.save(QDir(ShotsDir()).filePath(name + "-pdf.png"));
                diff.save(QDir(ShotsDir()).filePath(name + "-diff.png"));
            }
            // Within a millimetre everything agrees; cell by cell only glyph edges differ.
            QVERIFY2(mismatch < 0.02, qPrintable(name));
            QVERIFY2(exact < 0.2, qPrintable(name));
            QVERIFY(against > 0.3);
        }
    }

    // ---- screenshots ----------------------------------------------------------------

    void screenshots() {
        if (ShotsDir().isEmpty()) QSKIP("VELMORA_SHOTS names no folder");
        QDir().mkpath(ShotsDir());
        const std::string file = Generated(300);
        TVmFile doc(file);
        doc.Competition().Header.Veranstalter.Set("Velbund Landesverband Nord e.V.");
        doc.Competition().Header.Ausrichter.Set("Velbund Ortsgruppe Hafenstadt e.V.");

        TDruckenDlg print;
        print.Attach(&doc.Competition(), 0, 0, 0, 0);
        print.show();
        Shot(print, "print-dialog-auswahl");
        print.Tabs()->setCurrentIndex(1);
        Shot(print, "print-dialog-optionen");
        print.SetListKind(4);
        Shot(print, "print-dialog-optionen-statistik");
        QVERIFY(print.Build());

        TPreviewForm preview;
        preview.resize(1280, 860);
        preview.Initialise(print.Job().Report(), 1, print.BuiltWidth(), print.BuiltHeight());
        preview.show();
        QCoreApplication::processEvents();
        Shot(preview, "preview-fit");
        TPrintOptions o;
        print.Job().BuildResultList(o);
        TPreviewForm result;
        result.resize(1280, 860);
        result.Initialise(print.Job().Report(), 1, 2100, 2970);
        result.show();
        QCoreApplication::processEvents();
        Shot(result, "preview-fit-result");
        result.ZoomToWidth();
        result.GoToPage(2);
        Shot(result, "preview-width-page2");
        result.SetZoom(250);
        Shot(result, "preview-250");

        const std::string heatsFile = dir.File("heats.ERG");
        std::filesystem::copy_file(file, heatsFile,
                                   std::filesystem::copy_options::overwrite_existing);
        QCOMPARE(vmtest::RunCli({"heats", heatsFile}).status, 0);
        TVmFile heatDoc(heatsFile);
        TLaufanzeigeDlg heats(nullptr, heatDoc.Competition());
        heats.show();
        heats.ShowHeat(1, 3);
        Shot(heats, "heat-view");

        auto copy = CopyCompetition(doc.Competition());
        TGliederungenDlg glied(nullptr, std::move(copy));
        glied.show();
        Shot(glied, "gliederungen");
        TGliederungEingabeDlg box(nullptr, QStringLiteral("BY"));
        box.show();
        Shot(box, "gliederung-eingeben");
        TMargins m;
        TRaenderDlg margins(nullptr, m);
        margins.show();
        Shot(margins, "raender");
    }
};

VM_UI_TEST_MAIN(PreviewTest)
#include "PreviewTest.moc"
