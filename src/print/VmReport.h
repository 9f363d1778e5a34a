// The report document every printed list is built into (title block, page footer,
// repeated column header) and the print job that builds the reports with the page
// size and margins of the print dialog.
#pragma once

#include "model/VmWettk.h"
#include "print/BvPrint.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>

namespace vm {

struct TUrkAuswahl;
struct TUrkOptions;

// Report kinds.
enum : std::int16_t {
    rkErgebnis = 0,      // result list
    rkQualifikation = 1, // qualification list
    rkLaufliste = 2,     // heat list
    rkHLWStartliste = 3, // HLW start list
    rkStatistik = 4,     // Gliederung statistics
    rkUrkunde = 5,       // certificates
};

// Statistics print index of the print dialog (0 overview, 1 medal table, 2 points,
// 3 trophy ranking).
enum : int {
    spUebersicht = 0,
    spMedaillenspiegel = 1,
    spPunktbeste = 2,
    spKranzwertung = 3,
};

// The options of the print dialog with their defaults.
struct TPrintOptions {
    bool allAgeClasses = true; // "alle Altersklassen einbeziehen"
    bool ageClassData = false; // "einschließlich Altersklassendaten (Disziplinen)"
    bool newPagePerAgeClass = false;
    bool recordMarks = false;        // "einschließlich eventueller Rekorde"
    bool twoLines = false;           // "je Teilnehmer zwei Zeilen drucken"
    bool medalTable = false;         // result list: append the medal table
    bool gliederungen = false;       // other lists: append the Gliederungen overview
    bool laneAllDisciplines = false; // heat list mode B
    int statisticsIndex = spUebersicht;
    bool printHead = true;       // "einschließlich Druckkopf"
    bool legend = true;          // "einschließlich Hinweise / Erläuterungen"
    bool footer = true;          // "einschließlich Fußzeile (Datum, Uhrzeit, Seite)"
    bool emptyLineAfter5 = true; // "Leerzeile nach jeweils 5 Zeilen einfügen"
};

// The fonts of the reports; every report text is in code page 850 and carries the
// second flag.
constexpr TFontSpec ReportFont(std::int16_t face, std::int16_t height, std::uint8_t style,
                               std::uint8_t alignment) {
    return {face, height, style, alignment, TSecondFlag::On, TTextCharset::CodePage850};
}
// List lines, legends and covers: fixed pitch, so that spaces make the columns.
inline constexpr TFontSpec ListFont = ReportFont(fiCourier, 40, fsNormal, taLeft | taVCenter);
// Age-class headings and the texts of the title block.
inline constexpr TFontSpec HeadingFont = ReportFont(fiArial, 50, fsBold, taHCenter | taVCenter);
// The list's title in the title block.
inline constexpr TFontSpec TitleFont =
    ReportFont(fiArial, 65, fsBold | fsItalic, taHCenter | taVCenter);
// The disciplines under an age-class heading.
inline constexpr TFontSpec TextFont = ReportFont(fiArial, 40, fsNormal, taLeft | taVCenter);
// The footer and the notice at the end of the result list's legend.
inline constexpr TFontSpec NoteFont = ReportFont(fiArial, 30, fsItalic, taLeft | taVCenter);

class TVmReport : public TBvDocument {
public:
    TVmReport(std::string jobTitle, const TWettkampf& competition, std::int32_t marginLeft,
              std::int32_t marginTop, std::int32_t marginRight, std::int32_t marginBottom,
              std::int32_t pageWidth, std::int32_t pageHeight);

    std::int32_t PageWidth;
    std::int32_t PageHeight;
    std::int32_t MarginLeft;
    std::int32_t MarginTop;
    std::int32_t MarginRight;
    std::int32_t MarginBottom;
    // Read only: building a list never changes the competition.
    const TWettkampf& Competition;

    std::int16_t Kind = rkErgebnis;

    // Option flags, set by the print job before building.
    bool AllAgeClasses = true;
    bool AgeClassData = false;
    bool Legend = false;
    bool PrintHead = false;
    bool NewPagePerAgeClass = false;
    bool RecordMarks = false;
    bool TwoLines = false;
    bool Footer = false;
    bool EmptyLineAfter5 = false;
    bool EmptyLineAfter5Stat = false;
    bool LaneAllDisciplines = false;
    bool HeatsSeparateLines = false; // always off

    // Working state.
    std::int16_t AgeClassIndex = 0; // the job's selected age class, then the one printing
    const TAltersklasse* AgeClass = nullptr;
    bool HeaderContinues = false;

    // The date and time of the footer ("TT.MM.JJJJ - hh:mm:ss"); set to the local time
    // when the report is created.
    std::string FooterTime;
    // When not empty, the title block carries a small QR code of this text (the
    // address of the live results), and the list starts below it.
    std::string QrText;

    std::int32_t Right() const { return PageWidth - MarginRight; }
    std::int32_t Bottom() const { return PageHeight - MarginBottom; }

    // The frame, title and kind line at the top of a list's first page (print head on).
    void TitleBlock(TBvPage& page, std::string_view title);
    // The QR code of the title block: modules of 0.7 mm, which phones read from a
    // printed sheet; its side length (0 without QrText or when it cannot be encoded).
    static constexpr std::int32_t QrModule = 7;
    std::int32_t QrSide() const;
    // How much further down the list starts because of the QR code.
    std::int32_t QrExtra() const;
    // Footer texts on that page (footer on); a page is stamped at most once.
    void StampFooter(int pageNumber);
    // What every report body starts with: a new page with its title block, the
    // layout frame and the list font; with print head on the cursor moves below it.
    void StartBody(std::string_view title);
    // The page StartBody created last (the first page of the running list).
    int BodyPage() const { return bodyPage_; }
    // The column header line(s) of the running list in its header style.
    void PrintColumnHeader();
    // A column header or participant line of the list, in the current font state;
    // the report keeps the width of the widest one.
    void PrintListLine(std::string_view text);
    // Width of the widest column header or participant line printed so far, in tenths
    // of a millimetre (condensed where the line is condensed); 0 before any.
    std::int32_t WidestListLine() const { return widestListLine_; }

    // A separating empty line. Where it would cross the bottom limit it only moves
    // the cursor: the next line starts the new page, so no page is begun for a gap
    // alone (a page with nothing but its footer and a repeated header).
    void EmptyLine();

    // The legend heading "Erläuterungen:" with its underline and an empty line.
    void PrintLegendHeading();

protected:
    void PageStarted() override;

private:
    std::set<int> stamped_;
    int bodyPage_ = 1;
    std::int32_t widestListLine_ = 0;
    // The last line of the column header the list itself put into a block; while
    // that block is being placed and the line is still to come, a new page must not
    // repeat the header as well. Only compared, never dereferenced.
    const TBvItem* headerInBlock_ = nullptr;
};

// Page orientation of a print: automatic takes landscape when the widest list line
// does not fit between the margins of the portrait page.
enum class TOrientation { Auto, Portrait, Landscape };

// " - Ergebnis - " and the like: the kind text of the footer.
std::string FooterKindText(int kind);
// Day.month.year - hh:mm:ss of the current local time.
std::string FooterTimeNow();

// Brings the stored data a build of that kind reads up to date: the Gliederung rows,
// recomputed from the participants and ordered in the mode the build prints. The
// command that prints calls it once before it builds; the builds only read.
void RefreshForBuild(TWettkampf& c, int kind, const TPrintOptions& o);

class TVmPrintJob {
public:
    // A job without a competition builds nothing until one is attached.
    explicit TVmPrintJob(const TWettkampf* competition = nullptr, int selectedAgeClass = 0);

    const TWettkampf* Competition; // not owned, only read
    std::int16_t SelectedAgeClass;
    // The participant range of certificates (marked first and last row, current row).
    std::int32_t CertificateFirst = 0;
    std::int32_t CertificateLast = 0;
    std::int32_t CertificateCurrent = 0;

    std::int32_t PageWidth = 2100;
    std::int32_t PageHeight = 2970;
    std::int32_t MarginLeft = 100;
    std::int32_t MarginTop = 100;
    std::int32_t MarginRight = 100;
    std::int32_t MarginBottom = 100;
    // Handed to every report it builds (see TVmReport::QrText).
    std::string QrText;

    // Landscape exchanges width and height so that the sheet is wider than high.
    void SetLandscape(bool landscape);
    bool Landscape() const { return PageWidth > PageHeight; }

    TVmReport* Report() const { return report_.get(); }
    std::unique_ptr<TVmReport> TakeReport() { return std::move(report_); }

    // Each build frees the previous report and returns the new one.
    TVmReport& BuildResultList(const TPrintOptions& o);
    TVmReport& BuildQualificationList(const TPrintOptions& o);
    TVmReport& BuildHeatList(const TPrintOptions& o);
    TVmReport& BuildHLWStartList(const TPrintOptions& o);
    TVmReport& BuildStatistics(const TPrintOptions& o);
    // One page per recipient; a template's paper replaces the job's page size in the
    // report (PageWidth, PageHeight), the job's own stays.
    TVmReport& BuildCertificates(const TPrintOptions& o, const TUrkAuswahl& auswahl,
                                 const TUrkOptions& u);
    // By report kind (0..4).
    TVmReport& Build(int kind, const TPrintOptions& o);
    // The same on the sheet in that orientation; Auto takes landscape when the widest
    // list line is wider than PortraitLineSpace(). A result list without the medal
    // table measures its lines first and is built once; other lists are built on
    // portrait and, when too wide, again on landscape.
    TVmReport& Build(int kind, const TPrintOptions& o, TOrientation orientation);
    // Width a list line has on the portrait sheet: the shorter sheet side less the
    // left and right margins.
    std::int32_t PortraitLineSpace() const;

private:
    TVmReport& NewReport(const char* jobTitle, int kind, const TPrintOptions& o);
    std::unique_ptr<TVmReport> report_;
};

} // namespace vm
