#include "ui/BvPrinter.h"

#include "ui/VmUiSeam.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>
#include <memory>

namespace vm::ui {

namespace {

// The platform's printer object lives as long as the application.
std::unique_ptr<QPrinter>& PrinterHolder() {
    static std::unique_ptr<QPrinter> printer;
    return printer;
}

void DropPrinter() {
    PrinterHolder().reset();
}

TPrinterDialogHandler& DialogHandler() {
    static TPrinterDialogHandler handler;
    return handler;
}

std::int32_t Tenths(double mm) {
    return static_cast<std::int32_t>(std::lround(mm * 10.0));
}

} // namespace

QPrinter& CurrentPrinter() {
    auto& p = PrinterHolder();
    if (!p) {
        p = std::make_unique<QPrinter>(QPrinter::HighResolution);
        qAddPostRoutine(DropPrinter);
    }
    return *p;
}

bool PrintersInstalled() {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool PrinterAvailable(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) return !printer.outputFileName().isEmpty();
    return PrintersInstalled() && printer.isValid();
}

// ---- printer information ----------------------------------------------------------------

TBvPrinterInfos::TBvPrinterInfos() {
    Read();
}

TBvPrinterInfos::TBvPrinterInfos(QPrinter& printer) {
    Read(printer);
}

void TBvPrinterInfos::Read() {
    Read(CurrentPrinter());
}

void TBvPrinterInfos::Read(QPrinter& printer) {
    static_cast<TPrinterValues&>(*this) = TPrinterValues{};
    const bool file = printer.outputFormat() == QPrinter::PdfFormat;
    if (!file) {
        if (!PrintersInstalled()) return;
        if (printer.printerName().isEmpty()) {
            const QPrinterInfo def = QPrinterInfo::defaultPrinter();
            if (!def.isNull()) printer.setPrinterName(def.printerName());
        }
        if (printer.printerName().isEmpty() || !printer.isValid())
            throw TPrinterError(NoHandleText);
        const QPrinterInfo info(printer);
        PrinterName = printer.printerName();
        DriverName = info.makeAndModel();
        PortName = info.location();
    } else {
        if (printer.outputFileName().isEmpty()) return;
        PrinterName = QStringLiteral("PDF");
        DriverName = QStringLiteral("PDF");
        PortName = printer.outputFileName();
    }

    SizeMmX = printer.widthMM();
    SizeMmY = printer.heightMM();
    ResX = printer.width();
    ResY = printer.height();
    PpiX = printer.logicalDpiX();
    PpiY = printer.logicalDpiY();
    // From the resolution per inch: the size in whole millimetres would put every
    // sheet out by up to a millimetre.
    PixPerMmX = PpiX / 25.4;
    PixPerMmY = PpiY / 25.4;

    const QPageLayout layout = printer.pageLayout();
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    if (paper.width() > 0 && paper.height() > 0) {
        PhysWidth = static_cast<std::int32_t>(std::lround(paper.width()));
        PhysHeight = static_cast<std::int32_t>(std::lround(paper.height()));
    }
    // What the device cannot print on is its minimum margin, not the user's margins.
    const QMarginsF minimum = layout.minimumMargins();
    const double toMm = layout.units() == QPageLayout::Millimeter ? 1.0
                        : layout.units() == QPageLayout::Point    ? 25.4 / 72.0
                        : layout.units() == QPageLayout::Inch     ? 25.4
                                                                  : 0.0;
    if (PixPerMmX > 0 && PixPerMmY > 0 && toMm > 0) {
        OffsetPixX = static_cast<std::int32_t>(std::lround(minimum.left() * toMm * PixPerMmX));
        OffsetPixY = static_cast<std::int32_t>(std::lround(minimum.top() * toMm * PixPerMmY));
        OffsetX = static_cast<std::int32_t>(std::lround(OffsetPixX * 10 / PixPerMmX));
        OffsetY = static_cast<std::int32_t>(std::lround(OffsetPixY * 10 / PixPerMmY));
    }

    const QPageSize size = layout.pageSize();
    if (size.isValid()) {
        PaperCode = static_cast<int>(size.id());
        const QSizeF mm = size.size(QPageSize::Millimeter);
        PaperWidth = Tenths(mm.width());
        PaperLength = Tenths(mm.height());
    }
    Orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    Valid = true;
}

TPageSize PrintPageSize(const TBvPrinterInfos& infos) {
    TPageSize s;
    if (!infos.Valid || infos.PaperWidth <= 0 || infos.PaperLength <= 0) return s;
    s.width = infos.PaperWidth;
    s.height = infos.PaperLength;
    if (infos.Orientation == 2) std::swap(s.width, s.height);
    return s;
}

TPageSize PrintPageSize(const TBvPrinterInfos& infos, const QPrinter& printer) {
    if (infos.Valid) return PrintPageSize(infos);
    TPageSize s;
    if (printer.pageLayout().orientation() == QPageLayout::Landscape) std::swap(s.width, s.height);
    return s;
}

// ---- platform dialogs ---------------------------------------------------------------------

void SetPrinterDialogHandler(TPrinterDialogHandler h) {
    DialogHandler() = std::move(h);
}

bool ExecPrintDialog(QWidget* parent, QPrinter& printer, const TPrintDialogRequest& request) {
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    if (DialogHandler()) return DialogHandler()(TPrinterDialogKind::Print, printer, request);
    QPrintDialog dlg(&printer, parent);
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintPageRange |
                                                       QAbstractPrintDialog::PrintToFile |
                                                       QAbstractPrintDialog::PrintShowPageSize;
    if (request.currentPage > 0) options |= QAbstractPrintDialog::PrintCurrentPage;
    dlg.setOptions(options);
    dlg.setMinMax(request.minPage, request.maxPage);
    dlg.setFromTo(request.minPage, request.maxPage);
    dlg.setWindowTitle(QStringLiteral("Drucken"));
    return dlg.exec() == QDialog::Accepted;
}

bool ExecPrinterSetupDialog(QWidget* parent, QPrinter& printer) {
    if (DialogHandler()) return DialogHandler()(TPrinterDialogKind::PrinterSetup, printer, {});
    QPageSetupDialog dlg(&printer, parent);
    dlg.setObjectName(QStringLiteral("DruckerEinrichtenDlg"));
    dlg.setWindowTitle(QStringLiteral("Drucker einrichten"));
    return ExecDialog(dlg) == QDialog::Accepted;
}

bool ExecPageSetupDialog(QWidget* parent, QPrinter& printer) {
    if (DialogHandler()) return DialogHandler()(TPrinterDialogKind::PageSetup, printer, {});
    QPageSetupDialog dlg(&printer, parent);
    dlg.setWindowTitle(QStringLiteral("Seite einrichten"));
    return dlg.exec() == QDialog::Accepted;
}

bool PageSetupMargins(QWidget* parent, QPrinter& printer, TMargins& margins) {
    // Hundredths of a millimetre for the dialog.
    const auto mm = [](std::int32_t hundredths) { return hundredths / 100.0; };
    printer.setPageMargins(QMarginsF(mm(margins.left * 10), mm(margins.top * 10),
                                     mm(margins.right * 10), mm(margins.bottom * 10)),
                           QPageLayout::Millimeter);
    if (!ExecPageSetupDialog(parent, printer)) return false;
    const QMarginsF m = printer.pageLayout().margins(QPageLayout::Millimeter);
    const auto tenths = [](double v) {
        return static_cast<std::int32_t>(std::lround(v * 100.0)) / 10;
    };
    margins.left = tenths(m.left());
    margins.top = tenths(m.top());
    margins.right = tenths(m.right());
    margins.bottom = tenths(m.bottom());
    return true;
}

// ---- printing -----------------------------------------------------------------------------

TBvPrinterDevice::TBvPrinterDevice(const TBvDocument* document, QPrinter& printer,
                                   const TBvPrinterInfos& infos)
    : TCanvasDevice(document, nullptr), printer_(printer) {
    ScaleX = infos.PixPerMmX;
    ScaleY = infos.PixPerMmY;
    // The painter starts at the corner of the sheet (full page), so document
    // coordinates need no shift by the unprintable margin.
    OriginX = OriginY = OffsetX = OffsetY = 0;
}

void TBvPrinterDevice::BeginDocument() {
    if (Document) printer_.setDocName(FromOem(Document->Title));
    printer_.setFullPage(true);
    started_ = painter_.begin(&printer_);
    if (!started_) return;
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    painter_.setFont(QFont(QStringLiteral("Arial")));
    SetCanvas(&painter_);
}

void TBvPrinterDevice::NextPage() {
    if (started_) printer_.newPage();
}

void TBvPrinterDevice::EndDocument() {
    if (started_) painter_.end();
    SetCanvas(nullptr);
}

int PrintPages(QPrinter& printer, const TBvDocument& document, int from, int to, int copies) {
    if (from < 1) from = 1;
    if (to > document.PageCount()) to = document.PageCount();
    if (from > to) return 0;
    const TBvPrinterInfos infos(printer);
    if (!infos.Valid) return 0;
    // The copies are ours: one job each.
    printer.setCopyCount(1);
    int sheets = 0;
    for (int copy = 0; copy < std::max(1, copies); ++copy) {
        TBvPrinterDevice device(&document, printer, infos);
        device.Render(from, to);
        if (!device.Started()) break;
        sheets += to - from + 1;
    }
    return sheets;
}

bool PrintDocument(QWidget* parent, const TBvDocument& document, int first, int currentPage,
                   bool showDialog, int last) {
    QPrinter& printer = CurrentPrinter();
    if (!PrinterAvailable(printer)) {
        ShowBox(parent, TBoxKind::Warning, QString::fromUtf8(NoPrinterText));
        return false;
    }
    const int pages = document.PageCount();
    if (pages < 1) return false;
    int from = first, to = last, copies = 1;
    if (showDialog) {
        TPrintDialogRequest request;
        request.minPage = 1;
        request.maxPage = std::max(1, pages);
        request.currentPage = currentPage;
        if (!ExecPrintDialog(parent, printer, request)) return false;
        switch (printer.printRange()) {
        case QPrinter::PageRange:
            from = printer.fromPage();
            to = printer.toPage();
            if (from == 0 && to == 0) {
                from = 1;
                to = pages;
            }
            break;
        case QPrinter::CurrentPage:
        case QPrinter::Selection:
            from = to = currentPage;
            break;
        case QPrinter::AllPages:
            from = 1;
            to = pages;
            break;
        }
        copies = printer.copyCount();
    }
    try {
        if (PrintPages(printer, document, from, to, copies) > 0) return true;
    } catch (const TPrinterError& e) {
        ShowBox(parent, TBoxKind::Error, QString::fromUtf8(e.what()));
        return false;
    }
    ShowBox(parent, TBoxKind::Error,
            QStringLiteral("Der Druckauftrag konnte nicht gestartet werden."));
    return false;
}

} // namespace vm::ui
