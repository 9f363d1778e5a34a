#include "print/VmReport.h"

#include "print/VmDruck.h"
#include "print/VmListen.h"
#include "print/VmQr.h"
#include "print/VmStat.h"
#include "print/VmUrkunde.h"

#include <algorithm>
#include <ctime>

namespace vm {

namespace {

std::string Two(int n) {
    return PadLeftZero(IntToText(n), 2);
}

} // namespace

std::string FooterKindText(int kind) {
    switch (kind) {
    case rkErgebnis:
        return " - Ergebnis - ";
    case rkQualifikation:
        return " - Startberechtigung - ";
    case rkLaufliste:
        return " - Laufeinteilung - ";
    case rkHLWStartliste:
        return " - HLW-Laufeinteilung - ";
    case rkStatistik:
        return " - Statistik - ";
    default:
        return " - ";
    }
}

std::string FooterTimeNow() {
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return Two(t.tm_mday) + "." + Two(t.tm_mon + 1) + "." + IntToText(t.tm_year + 1900) + " - " +
           Two(t.tm_hour) + ":" + Two(t.tm_min) + ":" + Two(t.tm_sec);
}

TVmReport::TVmReport(std::string jobTitle, const TWettkampf& competition, std::int32_t marginLeft,
                     std::int32_t marginTop, std::int32_t marginRight, std::int32_t marginBottom,
                     std::int32_t pageWidth, std::int32_t pageHeight)
    : TBvDocument(std::move(jobTitle)), PageWidth(pageWidth), PageHeight(pageHeight),
      MarginLeft(marginLeft), MarginTop(marginTop), MarginRight(marginRight),
      MarginBottom(marginBottom), Competition(competition), FooterTime(FooterTimeNow()) {}

void TVmReport::TitleBlock(TBvPage& page, std::string_view title) {
    if (!PrintHead) return;
    const std::int32_t left = MarginLeft, top = MarginTop, right = Right();
    page.TextColour = clBlack;
    AddRect(page, left, top, right, top + 150, 6, clBlue, false, clBlack);
    AddText(page, left + 30, top + 20, right - 30, top + 70, "Velbund-Verband e.V.",
            HeadingFont.Aligned(taLeft | taVCenter));
    AddText(page, left + 30, top + 20, right - 30, top + 70, "Rettungssport",
            HeadingFont.Aligned(taRight | taVCenter));
    AddText(page, left + 30, top + 70, right - 30, top + 140, title, TitleFont);
    // The QR code sits at the right below the frame; the two centred lines keep clear
    // of it on both sides so that they stay centred.
    const std::int32_t side = QrSide();
    const std::int32_t qrRoom = side ? side + 40 : 0;
    if (side) DrawQrCode(*this, page, right - side, top + 175, QrModule, QrText);
    AddText(page, left + qrRoom, top + 190, right - qrRoom, top + 240,
            Competition.Header.Veranstaltung.View(), HeadingFont);
    AddText(page, left + qrRoom, top + 240, right - qrRoom, top + 290,
            IsSingleCompetition(Competition) ? "Einzelwettbewerb" : "Mannschaftswettbewerb",
            HeadingFont.Styled(fsNormal));
}

std::int32_t TVmReport::QrSide() const {
    return QrText.empty() ? 0 : EncodeQr(QrText).Width * QrModule;
}

std::int32_t TVmReport::QrExtra() const {
    const std::int32_t side = QrSide();
    return side ? std::max<std::int32_t>(0, 175 + side + 30 - 320) : 0;
}

void TVmReport::StampFooter(int pageNumber) {
    if (!Footer) return;
    TBvPage* page = Page(pageNumber);
    if (!page || !stamped_.insert(pageNumber).second) return;
    const std::int32_t right = Right(), bottom = Bottom();
    std::string text = std::string(Competition.Header.Veranstaltung.View()) + FooterKindText(Kind) +
                       FooterTime + " Uhr";
    AddText(*page, MarginLeft, bottom - 30, right - 150, bottom, text, NoteFont);
    AddText(*page, right - 150, bottom - 30, right, bottom, "Seite " + IntToText(pageNumber),
            NoteFont.Aligned(taRight | taVCenter));
}

void TVmReport::StartBody(std::string_view title) {
    const std::int32_t right = Right(), bottom = Bottom();
    bodyPage_ = PageCount() + 1;
    TBvPage* page = CreatePage(bodyPage_);
    if (page && PrintHead) TitleBlock(*page, title);
    // The qualification list keeps every participant line inside a block.
    BeginLayout(MarginLeft, MarginTop, PageCount(), Kind != rkQualifikation, bottom - 40, right);
    SetFont(ListFont);
    if (PrintHead) SetCursor(Cursor() + 320 + QrExtra());
}

void TVmReport::EmptyLine() {
    if (!BlockOpen() && AutoPageBreak() && FrameTop() + Cursor() + LineHeight() > BottomLimit()) {
        SetCursor(Cursor() + LineHeight());
        return;
    }
    PrintLine("");
}

void TVmReport::PrintLegendHeading() {
    SetFont(ListFont.Styled(fsBold));
    PrintLine("Erläuterungen:"_oem);
    PrintLine("==============");
    SetStyle(fsNormal);
    PrintLine("");
}

void TVmReport::PrintColumnHeader() {
    const bool qualification = Kind == rkQualifikation;
    SetStyle(qualification ? fsBold : fsBold | fsCondensed);
    switch (Kind) {
    case rkLaufliste:
        PrintListLine(HeatLine(Competition, 1, nullptr, LaneAllDisciplines));
        break;
    case rkHLWStartliste:
        PrintListLine(HLWLine(Competition, nullptr));
        break;
    default:
        if (AgeClass) PrintAgeClassHeader(*this, *AgeClass);
        break;
    }
    if (BlockOpen()) headerInBlock_ = LastBlockItem();
    SetStyle(qualification ? fsNormal : fsCondensed);
}

void TVmReport::PrintListLine(std::string_view text) {
    widestListLine_ = std::max(widestListLine_, FixedPitchWidth(text, LineHeight(), Style()));
    PrintLine(text);
}

void TVmReport::PageStarted() {
    StampFooter(CurrentPageNumber());
    // A list that carries its column header inside its first block and then moves
    // that block here gets the header from the block itself.
    if (HeaderContinues && !BlockItemPending(headerInBlock_)) PrintColumnHeader();
}

// ---- print job -------------------------------------------------------------------

namespace {
// The statistics mode (smKurz ...) a build of that kind with those options prints, as
// the list itself or appended to it; -1 when it prints no statistics.
int StatisticsModeOfBuild(int kind, const TPrintOptions& o) {
    switch (kind) {
    case rkQualifikation:
    case rkLaufliste:
        return o.gliederungen ? StatModeOfPrintIndex(spUebersicht) : -1;
    case rkHLWStartliste:
        return -1;
    case rkStatistik:
        return StatModeOfPrintIndex(o.statisticsIndex);
    default:
        return o.medalTable ? StatModeOfPrintIndex(spMedaillenspiegel) : -1;
    }
}
} // namespace

void RefreshForBuild(TWettkampf& c, int kind, const TPrintOptions& o) {
    const int mode = StatisticsModeOfBuild(kind, o);
    if (mode >= 0) ComputeStatistics(c, mode);
}

TVmPrintJob::TVmPrintJob(const TWettkampf* competition, int selectedAgeClass)
    : Competition(competition), SelectedAgeClass(static_cast<std::int16_t>(selectedAgeClass)) {}

void TVmPrintJob::SetLandscape(bool landscape) {
    if (landscape != Landscape() && PageWidth != PageHeight) std::swap(PageWidth, PageHeight);
}

TVmReport& TVmPrintJob::NewReport(const char* jobTitle, int kind, const TPrintOptions& o) {
    VM_ASSERT(Competition != nullptr);
    report_.reset();
    report_ = std::make_unique<TVmReport>(jobTitle, *Competition, MarginLeft, MarginTop,
                                          MarginRight, MarginBottom, PageWidth, PageHeight);
    TVmReport& r = *report_;
    r.Kind = static_cast<std::int16_t>(kind);
    r.AgeClassIndex = SelectedAgeClass;
    r.PrintHead = o.printHead;
    r.Legend = o.legend;
    r.Footer = o.footer;
    r.QrText = QrText;
    return r;
}

TVmReport& TVmPrintJob::BuildResultList(const TPrintOptions& o) {
    TVmReport& r = NewReport("Vm - Ausdruck des Ergebnisses", rkErgebnis, o);
    r.AllAgeClasses = o.allAgeClasses;
    r.AgeClassData = o.ageClassData;
    r.EmptyLineAfter5 = o.emptyLineAfter5;
    r.TwoLines = o.twoLines;
    r.RecordMarks = o.recordMarks;
    r.NewPagePerAgeClass = o.newPagePerAgeClass;
    PrintResultList(r);
    if (o.medalTable) {
        r.PrintHead = r.Legend = r.EmptyLineAfter5Stat = true;
        PrintStatistics(r, spMedaillenspiegel);
    }
    return r;
}

TVmReport& TVmPrintJob::BuildQualificationList(const TPrintOptions& o) {
    TVmReport& r = NewReport("Vm - Ausdruck der Startberechtigung", rkQualifikation, o);
    r.AllAgeClasses = o.allAgeClasses;
    r.AgeClassData = o.ageClassData;
    r.EmptyLineAfter5 = o.emptyLineAfter5;
    r.NewPagePerAgeClass = o.newPagePerAgeClass;
    PrintQualificationList(r);
    if (o.gliederungen) {
        r.PrintHead = r.Legend = r.EmptyLineAfter5Stat = true;
        PrintStatistics(r, spUebersicht);
    }
    return r;
}

TVmReport& TVmPrintJob::BuildHeatList(const TPrintOptions& o) {
    TVmReport& r = NewReport("Vm - Ausdruck der Laufbesetzung", rkLaufliste, o);
    r.LaneAllDisciplines = o.laneAllDisciplines;
    r.EmptyLineAfter5 = o.emptyLineAfter5;
    r.HeatsSeparateLines = false;
    PrintHeatList(r);
    if (o.gliederungen) {
        r.PrintHead = r.Legend = r.EmptyLineAfter5Stat = true;
        PrintStatistics(r, spUebersicht);
    }
    return r;
}

TVmReport& TVmPrintJob::BuildHLWStartList(const TPrintOptions& o) {
    TVmReport& r = NewReport("Vm - Ausdruck der Laufbesetzung", rkHLWStartliste, o);
    r.EmptyLineAfter5 = o.emptyLineAfter5;
    PrintHLWStartList(r);
    return r;
}

TVmReport& TVmPrintJob::BuildStatistics(const TPrintOptions& o) {
    TVmReport& r = NewReport("Vm - Ausdruck der Statistik", rkStatistik, o);
    r.EmptyLineAfter5Stat = o.emptyLineAfter5;
    PrintStatistics(r, o.statisticsIndex);
    return r;
}

TVmReport& TVmPrintJob::BuildCertificates(const TPrintOptions& o, const TUrkAuswahl& auswahl,
                                          const TUrkOptions& u) {
    TVmReport& r = NewReport("Vm - Ausdruck der Teilnehmer", rkUrkunde, o);
    // A certificate carries neither the lists' footer nor their title block on its own;
    // the classic layout draws the title block itself.
    r.Footer = false;
    r.PrintHead = false;
    if (u.vorlage) {
        r.PageWidth = u.vorlage->PageWidth();
        r.PageHeight = u.vorlage->PageHeight();
    }
    PrintCertificates(r, UrkEmpfaenger(*Competition, auswahl), u);
    return r;
}

std::int32_t TVmPrintJob::PortraitLineSpace() const {
    return std::min(PageWidth, PageHeight) - MarginLeft - MarginRight;
}

TVmReport& TVmPrintJob::Build(int kind, const TPrintOptions& o, TOrientation orientation) {
    if (orientation == TOrientation::Auto && kind == rkErgebnis && !o.medalTable && Competition) {
        SetLandscape(
            ResultListLineWiderThan(*Competition, o, SelectedAgeClass, PortraitLineSpace()));
        return Build(kind, o);
    }
    SetLandscape(orientation == TOrientation::Landscape);
    TVmReport& r = Build(kind, o);
    if (orientation != TOrientation::Auto || r.WidestListLine() <= PortraitLineSpace()) return r;
    SetLandscape(true);
    return Build(kind, o);
}

TVmReport& TVmPrintJob::Build(int kind, const TPrintOptions& o) {
    switch (kind) {
    case rkQualifikation:
        return BuildQualificationList(o);
    case rkLaufliste:
        return BuildHeatList(o);
    case rkHLWStartliste:
        return BuildHLWStartList(o);
    case rkStatistik:
        return BuildStatistics(o);
    default:
        return BuildResultList(o);
    }
}

} // namespace vm
