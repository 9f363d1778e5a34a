// The printer side of printing: the program's printer, what it tells about itself
// (TBvPrinterInfos), the platform's print, printer setup and page setup dialogs, and
// the printer output device that prints pages of a print document.
//
// The platform dialogs go through a handler like the boxes of VmUiSeam: the program
// shows the real dialogs, the GUI suites answer them without a modal loop.
#pragma once

#include "print/BvPrint.h"
#include "ui/VmCanvas.h"

#include <QPainter>
#include <QString>

#include <cstdint>
#include <functional>
#include <stdexcept>

class QPrinter;
class QWidget;

namespace vm::ui {

// What the platform's printer object raises when it has no device settings.
class TPrinterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
inline constexpr const char* NoHandleText = "Printer driver error (no handle).";

// Shown when the user prints and there is no printer to print on.
inline constexpr const char* NoPrinterText =
    "Es ist kein Drucker eingerichtet. Die Liste kann in der Seitenansicht angezeigt oder "
    "als PDF-Datei gespeichert werden.";

// The printer every print of the program goes to and the setup dialogs change; at the
// start the system's default printer, or none when no printer is installed.
QPrinter& CurrentPrinter();
bool PrintersInstalled();
// A printer can print: an installed one, or a file printer with a file name.
bool PrinterAvailable(const QPrinter& printer);

// What the printer tells about itself; the defaults stand for "no printer".
struct TPrinterValues {
    QString PrinterName;
    QString DriverName;
    QString PortName;
    int PaperCode = 0;             // the page size id of the platform
    std::int32_t PaperWidth = 0;   // tenths of a millimetre, as the paper is defined
    std::int32_t PaperLength = 0;  // (portrait for the standard sizes)
    int Orientation = 1;           // 1 portrait, 2 landscape
    std::int32_t PhysWidth = 2100; // the sheet in device pixels
    std::int32_t PhysHeight = 2970;
    std::int32_t SizeMmX = 0; // device size
    std::int32_t SizeMmY = 0;
    std::int32_t ResX = 0; // device resolution in pixels
    std::int32_t ResY = 0;
    std::int32_t PpiX = 0;
    std::int32_t PpiY = 0;
    double PixPerMmX = 0;
    double PixPerMmY = 0;
    // The unprintable margin at the top left, in device pixels and in tenths of a mm.
    std::int32_t OffsetPixX = 0;
    std::int32_t OffsetPixY = 0;
    std::int32_t OffsetX = 0;
    std::int32_t OffsetY = 0;
    // At least one printer is there and its settings could be read.
    bool Valid = false;
};

struct TBvPrinterInfos : TPrinterValues {
    // Reads the current printer at once.
    TBvPrinterInfos();
    explicit TBvPrinterInfos(QPrinter& printer);
    void Read();
    // Raises TPrinterError when printers are installed but this one cannot be used.
    void Read(QPrinter& printer);
};

// The page size a list is built for: the paper of a valid printer, width and height
// exchanged for landscape; A4 portrait otherwise.
struct TPageSize {
    std::int32_t width = 2100;
    std::int32_t height = 2970;
};
TPageSize PrintPageSize(const TBvPrinterInfos& infos);
// The same; without a printer to tell, A4 in the orientation chosen in the page setup
// of the printer object ("Querformat" also works with no printer installed).
TPageSize PrintPageSize(const TBvPrinterInfos& infos, const QPrinter& printer);

// ---- platform dialogs ---------------------------------------------------------------

enum class TPrinterDialogKind { Print, PrinterSetup, PageSetup };

// What the print dialog offers: pages minPage..maxPage, and the current page when
// currentPage > 0.
struct TPrintDialogRequest {
    int minPage = 1;
    int maxPage = 1;
    int currentPage = 0;
};

// Answers a platform dialog on the printer (range, copies, printer, paper, margins are
// read back from it); true for a confirmed dialog.
using TPrinterDialogHandler =
    std::function<bool(TPrinterDialogKind, QPrinter&, const TPrintDialogRequest&)>;
// An empty handler restores the real dialogs.
void SetPrinterDialogHandler(TPrinterDialogHandler h);

// The print dialog; when confirmed the printer holds the range and the copy count.
bool ExecPrintDialog(QWidget* parent, QPrinter& printer, const TPrintDialogRequest& request);
// "Drucker einrichten": the printer's set-up (paper and orientation), a page setup
// titled so, not the print dialog with its button "Drucken".
bool ExecPrinterSetupDialog(QWidget* parent, QPrinter& printer);
// Paper, orientation and margins.
bool ExecPageSetupDialog(QWidget* parent, QPrinter& printer);

// Margins in tenths of a millimetre, through the platform page setup dialog, which
// works in hundredths: the dialog gets them multiplied by 10, and its answer divided
// by 10 (whole tenths) replaces them when it is confirmed.
struct TMargins {
    std::int32_t left = 100;
    std::int32_t top = 100;
    std::int32_t right = 100;
    std::int32_t bottom = 100;
};
bool PageSetupMargins(QWidget* parent, QPrinter& printer, TMargins& margins);

// ---- printing -------------------------------------------------------------------------

// The canvas device on the printer: the printer's resolution for its scale, one print
// job from BeginDocument to EndDocument, a new sheet for every further page.
class TBvPrinterDevice : public TCanvasDevice {
public:
    TBvPrinterDevice(const TBvDocument* document, QPrinter& printer, const TBvPrinterInfos& infos);

    void BeginDocument() override;
    void NextPage() override;
    void EndDocument() override;
    // False when the job could not be started.
    bool Started() const { return started_; }

private:
    QPrinter& printer_;
    QPainter painter_;
    bool started_ = false;
};

// Pages from..to, each copy a print job of its own; the number of sheets printed (0
// when the printer refused the job). Raises TPrinterError like TBvPrinterInfos.
int PrintPages(QPrinter& printer, const TBvDocument& document, int from, int to, int copies);

// Without the dialog pages first..last are printed once; with it the user chooses the
// range (all, from..to, or the current page when currentPage > 0) and the copies.
// False when nothing was printed: no printer (said in a box), the dialog cancelled,
// or the job refused.
bool PrintDocument(QWidget* parent, const TBvDocument& document, int first, int currentPage,
                   bool showDialog, int last);

} // namespace vm::ui
