#include "print/VmReport.h"

#include "cli/CmdGenerate.h"
#include "file/VmErg.h"
#include "operations/VmAuswahl.h"
#include "operations/VmHLW.h"
#include "operations/VmLauf.h"
#include "print/VmDruck.h"
#include "print/VmListen.h"
#include "print/VmStat.h"
#include "support/Builders.h"

#include <gtest/gtest.h>

#include <regex>

using namespace vm;

namespace {

std::vector<const TBvTextItem*> Texts(const TBvPage& page) {
    std::vector<const TBvTextItem*> out;
    for (const TBvItem& item : page)
        if (item.Kind == ikText) out.push_back(static_cast<const TBvTextItem*>(&item));
    return out;
}

// List lines (the fixed-pitch font) of a page, in drawing order, empty lines included.
std::vector<const TBvTextItem*> ListLines(const TBvPage& page) {
    std::vector<const TBvTextItem*> out;
    for (const TBvTextItem* t : Texts(page))
        if (t->FontIndex == fiCourier) out.push_back(t);
    return out;
}

const TBvTextItem* FindText(const TVmReport& r, const std::string& text,
                            int* pageNumber = nullptr) {
    for (const TBvPage& page : r)
        for (const TBvTextItem* t : Texts(page))
            if (t->Text == text) {
                if (pageNumber) *pageNumber = page.PageNumber;
                return t;
            }
    return nullptr;
}

TPrintOptions Plain() {
    TPrintOptions o;
    o.printHead = false;
    o.legend = false;
    o.footer = false;
    o.emptyLineAfter5 = false;
    return o;
}

TEST(ReportTest, EveryPageGetsOneFooterWithItsNumberAndTheHeaderRepeats) {
    for (bool twoLines : {false, true}) {
        auto c = vmtest::MakeCompetition(false, 250);
        TVmPrintJob job(c.get());
        TPrintOptions o;
        o.twoLines = twoLines;
        const TVmReport& r = job.BuildResultList(o);
        ASSERT_GT(r.PageCount(), 3);
        const std::string header = ResultLine(*c, *c->At(0), 0, {});
        const std::string person = ResultPersonPart(*c, *c->At(0), 0, {});
        const std::regex footer(
            "Testmeisterschaft - Ergebnis - \\d\\d\\.\\d\\d\\.\\d{4} - \\d\\d:\\d\\d:\\d\\d Uhr");
        int index = 1;
        for (const TBvPage& page : r) {
            EXPECT_EQ(page.PageNumber, index);
            int numbers = 0, footers = 0;
            for (const TBvTextItem* t : Texts(page)) {
                if (t->Text.rfind("Seite ", 0) == 0) {
                    ++numbers;
                    EXPECT_EQ(t->Text, "Seite " + std::to_string(index));
                    EXPECT_EQ(t->Right, 2000);
                    EXPECT_EQ(t->Bottom, 2870);
                }
                if (std::regex_match(t->Text, footer)) ++footers;
            }
            EXPECT_EQ(numbers, 1) << "page " << index;
            EXPECT_EQ(footers, 1) << "page " << index;
            const auto lines = ListLines(page);
            ASSERT_FALSE(lines.empty());
            if (index > 1) {
                // Continuation pages start with the column header, bold and condensed.
                EXPECT_EQ(lines[0]->Text, twoLines ? person : header) << "page " << index;
                EXPECT_EQ(lines[0]->Style, fsBold | fsCondensed);
                EXPECT_EQ(lines[0]->Top, 100);
                // Two lines of a participant never split: a page does not end on a person line.
                if (twoLines) {
                    const TBvTextItem* last = nullptr;
                    for (const TBvTextItem* t : lines)
                        if (!t->Text.empty()) last = t;
                    EXPECT_EQ(last->Text.rfind(std::string(13, ' '), 0), 0u) << "page " << index;
                }
            }
            for (const TBvTextItem* t : lines)
                EXPECT_LE(t->Bottom, 2870 - 40);
            ++index;
        }
        // Every participant is printed exactly once.
        int participants = 0;
        for (const TBvPage& page : r)
            for (const TBvTextItem* t : ListLines(page))
                if (t->Text.find("Name1") != std::string::npos) ++participants;
        EXPECT_EQ(participants, 250);
    }
}

TEST(ReportTest, PrintHeadMovesTheListDownAndLandscapeWidensTheFrame) {
    auto c = vmtest::MakeCompetition(false, 3);
    TVmPrintJob job(c.get());
    const std::string heading = "Altersklasse AK 13/14w (1990 - 1991)";
    const TVmReport& plain = job.BuildResultList(Plain());
    EXPECT_EQ(FindText(plain, heading)->Top, 100);
    EXPECT_EQ(FindText(plain, "Ergebnis"), nullptr);

    TPrintOptions head = Plain();
    head.printHead = true;
    const TVmReport& withHead = job.BuildResultList(head);
    EXPECT_EQ(FindText(withHead, heading)->Top, 100 + 320 + 40);
    const TBvTextItem* title = FindText(withHead, "Ergebnis");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Size, 65);
    EXPECT_EQ(title->Style, fsBold | fsItalic);
    ASSERT_NE(FindText(withHead, "Einzelwettbewerb"), nullptr);
    EXPECT_EQ(withHead.Title, "Vm - Ausdruck des Ergebnisses");

    job.SetLandscape(true);
    EXPECT_EQ(job.PageWidth, 2970);
    EXPECT_EQ(job.PageHeight, 2100);
    const TVmReport& wide = job.BuildResultList(head);
    EXPECT_EQ(wide.FrameRight(), 2870);
    EXPECT_EQ(wide.BottomLimit(), 2100 - 100 - 40);
    EXPECT_EQ(FindText(wide, heading)->Right, 2870);
    job.SetLandscape(false);
    EXPECT_EQ(job.PageWidth, 2100);
}

TEST(ReportTest, ResultCoverShowsTheCompetitionDataAsTheyStand) {
    auto c = vmtest::MakeCompetition(false, 3);
    c->Header.Startplaetze = 3; // six lanes
    c->Header.Beckenlaenge = 1; // 50 m
    c->Header.Datum.Set("08.-09. Mai 2026");
    c->Header.Veranstaltungsstaette.Set("Stadtbad");
    TVmPrintJob job(c.get());
    TPrintOptions o = Plain();
    o.legend = true;
    const TVmReport& r = job.BuildResultList(o);
    // The values are cut, never padded: no trailing blanks after the text.
    EXPECT_NE(FindText(r, "Veranstalter:   Velbund Testverband"), nullptr);
    EXPECT_NE(FindText(r, "Datum:          08.-09. Mai 2026"), nullptr);
    EXPECT_NE(FindText(r, "Austragungsort: Stadtbad"), nullptr);
    EXPECT_NE(FindText(r, "Beckengröße:    6 x 50m Bahnen"_oem), nullptr);
    EXPECT_EQ(FindText(r, "R        neue Bestleistung aufgestellt"), nullptr);
    o.recordMarks = true;
    const TVmReport& marks = job.BuildResultList(o);
    EXPECT_NE(FindText(marks, "*        Bestleistung dieses Wettbewerbs"), nullptr);
}

TEST(ReportTest, EmptyLineAfterEveryFifthParticipant) {
    auto c = vmtest::MakeCompetition(false, 11);
    TVmPrintJob job(c.get());
    TPrintOptions o = Plain();
    o.emptyLineAfter5 = true;
    const TVmReport& r = job.BuildResultList(o);
    std::vector<std::int32_t> tops;
    for (const TBvTextItem* t : ListLines(*r.Page(1)))
        if (t->Text.find("Name1") != std::string::npos) tops.push_back(t->Top);
    ASSERT_EQ(tops.size(), 11u);
    for (std::size_t k = 1; k < tops.size(); ++k)
        EXPECT_EQ(tops[k] - tops[k - 1], k % 5 == 0 ? 80 : 40) << k;
}

TEST(ReportTest, NewPagePerAgeClassAndSelectedAgeClass) {
    auto c = vmtest::MakeCompetition(false, 3);
    auto second = vmtest::MakeAgeClass("AK 15/16w", 1, false, 1988);
    vmtest::AddEntry(*second, {"Zweite", "Anna", "1988", "BY", 2700});
    c->InsertAgeClass(std::move(second));
    c->InsertAgeClass(vmtest::MakeAgeClass("AK leer", 1, false, 1980)); // prints nothing
    TVmPrintJob job(c.get());
    TPrintOptions o;
    o.newPagePerAgeClass = true;
    int page1 = 0, page2 = 0;
    const TVmReport& r = job.BuildResultList(o);
    ASSERT_NE(FindText(r, "Altersklasse AK 13/14w (1990 - 1991)", &page1), nullptr);
    ASSERT_NE(FindText(r, "Altersklasse AK 15/16w (1988 - 1989)", &page2), nullptr);
    EXPECT_EQ(page1, 2); // the cover has a page of its own
    EXPECT_EQ(page2, 3);
    EXPECT_EQ(r.PageCount(), 3);

    o.allAgeClasses = false;
    job.SelectedAgeClass = 1;
    const TVmReport& one = job.BuildResultList(o);
    EXPECT_EQ(FindText(one, "Altersklasse AK 13/14w (1990 - 1991)"), nullptr);
    EXPECT_NE(FindText(one, "Altersklasse AK 15/16w (1988 - 1989)"), nullptr);
}

TEST(ReportTest, MedalTableStartsANewPageWithTitleAndLegendWhateverTheOptions) {
    auto c = vmtest::MakeCompetition(false, 7);
    TVmPrintJob job(c.get());
    TPrintOptions o = Plain();
    o.medalTable = true;
    RefreshForBuild(*c, rkErgebnis, o);
    const TVmReport& r = job.BuildResultList(o);
    ASSERT_EQ(r.PageCount(), 2);
    int page = 0;
    ASSERT_NE(FindText(r, "Statistik: Medaillenspiegel", &page), nullptr);
    EXPECT_EQ(page, 2);
    ASSERT_NE(FindText(r, "Erläuterungen:"_oem, &page), nullptr);
    EXPECT_EQ(page, 2);
    const TBvTextItem* header = FindText(r, StatLine(c->Gliederungen, 1, 0), &page);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->Style, fsBold);
    // Four Gliederungen: no empty line yet; rows follow the header directly.
    const auto lines = ListLines(*r.Page(2));
    EXPECT_EQ(lines.back()->Text, StatLine(c->Gliederungen, 1, 4));
}

// Everything a document holds, page by page and item by item; the footer's clock
// time of the build is left out.
std::string Dump(const TVmReport& r) {
    std::string out = r.Title + "\n";
    auto add = [&](long long v) { out += std::to_string(v) + " "; };
    for (const TBvPage& page : r) {
        add(page.PageNumber);
        add(page.TextColour);
        out += "\n";
        for (const TBvItem& item : page) {
            for (long long v :
                 {static_cast<long long>(item.Kind), static_cast<long long>(item.Left),
                  static_cast<long long>(item.Top), static_cast<long long>(item.Right),
                  static_cast<long long>(item.Bottom), static_cast<long long>(item.Colour)})
                add(v);
            if (item.Kind == ikText) {
                const auto& t = static_cast<const TBvTextItem&>(item);
                for (long long v :
                     {t.FontIndex, static_cast<std::int16_t>(t.Style), t.Size,
                      static_cast<std::int16_t>(t.Alignment), static_cast<std::int16_t>(t.Flag2),
                      static_cast<std::int16_t>(t.Oem)})
                    add(v);
                std::string text = t.Text;
                if (const auto at = text.find(r.FooterTime); at != std::string::npos)
                    text.replace(at, r.FooterTime.size(), "<Zeit>");
                out += text;
            } else if (item.Kind == ikLine) {
                add(static_cast<const TBvLineItem&>(item).PenWidth);
            } else if (item.Kind == ikRect) {
                const auto& rect = static_cast<const TBvRectItem&>(item);
                add(rect.Filled);
                add(rect.FillColour);
                add(rect.PenWidth);
            }
            out += "\n";
        }
    }
    return out;
}

std::string NativeBytes(const TWettkampf& c) {
    TMemoryStream s;
    WriteNative(s, c);
    return s.Data();
}

// Building reads the competition only: after the command's refresh, every list built
// twice leaves the stored bytes, the selection list and the age-class marks as they
// were, and both builds give the same document.
TEST(ReportTest, BuildingAnyListTwiceLeavesTheCompetitionAsItWas) {
    cli::TGenerateOptions g;
    g.participants = 150;
    g.seed = 7;
    auto c = cli::GenerateCompetition(g);
    THeatSettings heats;
    heats.options = lbFortlaufend;
    AssignHeats(*c, heats);
    AssignHLW(*c, DefaultHLWSettings(*c));

    auto with = [](auto change) {
        TPrintOptions o;
        change(o);
        return o;
    };
    const struct {
        int kind;
        TPrintOptions options;
        int statisticsMode; // the order the refresh leaves the Gliederung rows in
    } cases[] = {
        {rkErgebnis, with([](TPrintOptions&) {}), -1},
        {rkErgebnis,
         with([](TPrintOptions& o) { o.medalTable = o.twoLines = o.recordMarks = true; }),
         smMedaillen},
        {rkQualifikation, with([](TPrintOptions& o) { o.gliederungen = true; }), smKurz},
        {rkLaufliste, with([](TPrintOptions&) {}), -1},
        {rkLaufliste, with([](TPrintOptions& o) { o.gliederungen = o.laneAllDisciplines = true; }),
         smKurz},
        {rkHLWStartliste, with([](TPrintOptions&) {}), -1},
        {rkStatistik, with([](TPrintOptions&) {}), smKurz},
        {rkStatistik, with([](TPrintOptions& o) { o.statisticsIndex = spMedaillenspiegel; }),
         smMedaillen},
        {rkStatistik, with([](TPrintOptions& o) { o.statisticsIndex = spPunktbeste; }), smPunkte},
        {rkStatistik, with([](TPrintOptions& o) { o.statisticsIndex = spKranzwertung; }), smKRW},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::to_string(k.kind) + " mode " + std::to_string(k.statisticsMode));
        RefreshForBuild(*c, k.kind, k.options);
        if (k.statisticsMode >= 0) {
            EXPECT_EQ(c->Gliederungen.Mode, k.statisticsMode);
        }
        const std::string bytes = NativeBytes(*c);
        const int rows = c->Gliederungen.Count();

        TVmPrintJob job(c.get());
        const std::string first = Dump(job.Build(k.kind, k.options, TOrientation::Auto));
        const std::string second = Dump(job.Build(k.kind, k.options, TOrientation::Auto));
        EXPECT_EQ(first, second);
        EXPECT_GT(first.size(), 2000u);
        EXPECT_EQ(NativeBytes(*c), bytes);
        EXPECT_EQ(c->Gliederungen.Count(), rows);
    }
}

TEST(ReportTest, HeatAndHlwListsGroupAndHandleAnEmptySelection) {
    auto c = vmtest::MakeCompetition(false, 6, 2, true);
    TAltersklasse& ac = *c->At(0);
    for (int k = 0; k < 6; ++k) {
        TTeilnehmer& p = *ac.At(k);
        p.Lauf[0] = static_cast<std::int16_t>(k / 3 + 1);
        p.Bahn[0] = static_cast<std::int16_t>(k % 3 + 1);
        p.Startzeit = static_cast<std::int16_t>(k < 4 ? 800 : 815);
        p.HLWBahn = static_cast<std::int16_t>(k % 4 + 1);
        p.HLWLauf = static_cast<std::int16_t>(k + 1);
    }
    TVmPrintJob job(c.get());
    TPrintOptions o = Plain();
    o.laneAllDisciplines = true;
    const TVmReport& heats = job.BuildHeatList(o);
    std::vector<std::string> texts;
    for (const TBvTextItem* t : ListLines(*heats.Page(1)))
        texts.push_back(t->Text);
    ASSERT_EQ(texts.size(), 1u + 2u + 6u);
    EXPECT_EQ(texts[0], HeatLine(*c, 1, nullptr, true));
    EXPECT_NE(texts[1].find("Lauf     1 "), std::string::npos);
    EXPECT_NE(texts[5].find("Lauf     2 "), std::string::npos);

    const TVmReport& hlw = job.BuildHLWStartList(Plain());
    texts.clear();
    for (const TBvTextItem* t : ListLines(*hlw.Page(1)))
        texts.push_back(t->Text);
    ASSERT_EQ(texts.size(), 1u + 6u);
    EXPECT_EQ(texts[0], HLWLine(*c, nullptr));
    EXPECT_EQ(texts[1].substr(0, 16), "08:00    1 0001 ");
    EXPECT_EQ(texts[5].substr(0, 5), "08:15");

    // Without HLW age classes, and without participants at all.
    c->At(0)->Data.Eigenschaften = akWeiblich;
    EXPECT_NE(FindText(job.BuildHLWStartList(Plain()), NoHLWParticipantsText), nullptr);
    auto none = vmtest::MakeCompetition(true, 0);
    TVmPrintJob empty(none.get());
    const TVmReport& emptyHeats = job.BuildHeatList(Plain());
    EXPECT_EQ(FindText(emptyHeats, NoHeatParticipantsText), nullptr);
    const TVmReport& r = empty.BuildHeatList(TPrintOptions{});
    EXPECT_NE(FindText(r, NoHeatParticipantsText), nullptr);
    EXPECT_NE(FindText(r, HeatLine(*none, 1, nullptr, false)), nullptr);
    EXPECT_EQ(r.PageCount(), 1);
}

TEST(ReportTest, QualificationListKeepsLinesInBlocksWithoutAutomaticBreak) {
    auto c = vmtest::MakeCompetition(false, 120);
    TVmPrintJob job(c.get());
    TPrintOptions o;
    const TVmReport& r = job.BuildQualificationList(o);
    EXPECT_FALSE(r.AutoPageBreak());
    EXPECT_EQ(r.Title, "Vm - Ausdruck der Startberechtigung");
    ASSERT_GT(r.PageCount(), 1);
    const auto lines = ListLines(*r.Page(2));
    EXPECT_EQ(lines[0]->Text, "Nr.  GesamtP.  Gl.    Start Teilnehmer");
    EXPECT_EQ(lines[0]->Style, fsBold);
    EXPECT_EQ(lines[1]->Style, fsNormal);
    for (const TBvPage& page : r)
        for (const TBvTextItem* t : ListLines(page))
            EXPECT_LE(t->Bottom, 2870 - 40);
}

// The heat list and the HLW start list carry their column header in the block of the
// first group. Here that group is taller than a page, so it starts on page 2 below the
// cover and flows on to page 3; the second group then moves to a new page as well.
TEST(ReportTest, GroupedListsPrintTheColumnHeaderOncePerPage) {
    auto c = vmtest::MakeCompetition(false, 160, 2, true);
    TAltersklasse& ac = *c->At(0);
    for (int k = 0; k < ac.Count(); ++k) {
        TTeilnehmer& p = *ac.At(k);
        const int group = k < 100 ? 0 : 1;
        p.Lauf[0] = static_cast<std::int16_t>(group + 1);
        p.Bahn[0] = static_cast<std::int16_t>(k % 8 + 1);
        p.Startzeit = static_cast<std::int16_t>(group == 0 ? 800 : 815);
        p.HLWBahn = static_cast<std::int16_t>(k % 8 + 1);
        p.HLWLauf = static_cast<std::int16_t>(k + 1);
    }
    TVmPrintJob job(c.get());
    for (int kind : {rkLaufliste, rkHLWStartliste}) {
        SCOPED_TRACE(kind);
        TPrintOptions o;
        o.emptyLineAfter5 = false;
        const TVmReport& r = job.Build(kind, o);
        const std::string header =
            kind == rkLaufliste ? HeatLine(*c, 1, nullptr, false) : HLWLine(*c, nullptr);
        ASSERT_GE(r.PageCount(), 4);
        int participants = 0;
        for (const TBvPage& page : r) {
            int headers = 0, lines = 0;
            for (const TBvTextItem* t : ListLines(page)) {
                if (t->Text == header)
                    ++headers;
                else if (t->Text.find("Name1") != std::string::npos)
                    ++lines;
            }
            participants += lines;
            // The cover holds no list line; every other page opens with one header.
            EXPECT_EQ(headers, page.PageNumber == 1 ? 0 : 1) << "page " << page.PageNumber;
            if (page.PageNumber > 1) {
                EXPECT_EQ(ListLines(page)[0]->Text, header);
            }
        }
        EXPECT_EQ(participants, 160);
    }
}

// The widest column header or participant line decides the orientation: a four-
// discipline age class with HLW needs 159 condensed characters (2290 tenths of a
// millimetre at height 40), more than the 1900 between the portrait margins.
TEST(ReportTest, AutomaticOrientationTurnsToLandscapeWhenTheWidestLineDoesNotFit) {
    struct Case {
        int disciplines;
        bool hlw;
        bool twoLines;
        TOrientation orientation;
        std::int32_t widest;
        bool landscape;
    } cases[] = {
        {4, true, false, TOrientation::Auto, 2290, true},
        {4, true, false, TOrientation::Portrait, 2290, false},
        {2, true, false, TOrientation::Auto, 1685, false},
        {2, false, false, TOrientation::Landscape, 1570, true},
        // Two lines: the wider one is the discipline part behind its 13 blanks.
        {4, true, true, TOrientation::Auto, 1397, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.disciplines) + (k.hlw ? " HLW" : "") +
                     (k.twoLines ? " two lines" : ""));
        auto c = vmtest::MakeCompetition(false, 3, k.disciplines, k.hlw);
        TVmPrintJob job(c.get());
        TPrintOptions o = Plain();
        o.twoLines = k.twoLines;
        const TVmReport& r = job.Build(rkErgebnis, o, k.orientation);
        EXPECT_EQ(r.WidestListLine(), k.widest);
        EXPECT_EQ(job.PortraitLineSpace(), 1900);
        EXPECT_EQ(r.PageWidth > r.PageHeight, k.landscape);
        EXPECT_EQ(r.FrameRight(), (k.landscape ? 2970 : 2100) - 100);
    }
}

} // namespace
