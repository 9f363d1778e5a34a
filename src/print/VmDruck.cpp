#include "print/VmDruck.h"

#include "model/VmRech.h"
#include "print/VmListen.h"
#include "print/VmReport.h"
#include "print/VmStat.h"

#include <cctype>

namespace vm {

namespace {

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

std::string Cut255(std::string s) {
    if (s.size() > MaxItemText) s.resize(MaxItemText);
    return s;
}

const TTeilnehmer* Entry(const TAltersklasse& ac, int lineNumber) {
    if (lineNumber < 1 || lineNumber > ac.Count()) return nullptr;
    return ac.At(lineNumber - 1);
}

char MarkOf(TPunkte record, TPunkte best, bool recordStored) {
    if (!recordStored) return '?';
    if (record > best) return '*';
    if (record == best) return 'E';
    return 'R';
}

} // namespace

char TotalRecordMark(const TAltersklasse& ac, const TTeilnehmer& p) {
    const TPunkte best = ac.Data.BestGesamtpunkte;
    if (best < 1 || p.Gesamtpunkte != best) return ' ';
    const TPunkte record = ac.Data.RekordGesamtpunkte;
    return MarkOf(record, best, record != 0);
}

char DisciplineRecordMark(const TAltersklasse& ac, const TTeilnehmer& p, int i) {
    if (i < 0 || i > 4) return ' ';
    const auto k = static_cast<std::size_t>(i);
    if (p.Abzug[k] < 0) return ' ';
    const TDisziplin& d = ac.Discipline(i);
    const TRekordEintrag& r = ac.Data.Rekorde[k];
    const TPunkte best = CalcPoints(r.BestZeit, r.BestAbzug, d);
    if (best < 1 || p.Punkte[k] != best) return ' ';
    return MarkOf(CalcPoints(r.VorjahrZeit, r.VorjahrAbzug, d), best, r.VorjahrZeit != 0);
}

std::string ResultPersonPart(const TWettkampf& c, const TAltersklasse& ac, int lineNumber,
                             const TResultLineOptions& o) {
    const bool single = IsSingleCompetition(c);
    std::string s;
    if (lineNumber == 0) {
        s = "Pl.   GesamtP. Glied. ";
        if (single)
            s += "Jg " + PadRight("Name", 20) + " " + PadRight("Vorname", 20) + " ";
        else
            s += PadRight("Mannschaft", 31);
        if (HasHLW(ac)) s += "    HLW ";
        if (o.heatLane) s += " Zeit Sta ";
        return s;
    }
    const TTeilnehmer* p = Entry(ac, lineNumber);
    if (!p) return {};
    if (p->Gesamtpunkte < 1)
        s = "     ";
    else if (p->Has(tnAusserKonkurrenz))
        s = "AK   ";
    else
        s = PadLeft(IntToText(p->Platz), 3) + ". ";
    s += o.recordMarks ? TotalRecordMark(ac, *p) : ' ';
    s += PadLeft(PointsToText(p->Gesamtpunkte, 2), 8) + " ";
    s += PadRight(p->Gliederung.View(), 6) + " ";
    if (single) {
        std::string_view birth = p->Geburtsdatum();
        std::string year = "  ";
        if (birth.size() >= 2) {
            std::string_view last = birth.substr(birth.size() - 2);
            if (IsDigit(last[0]) && IsDigit(last[1])) year = std::string(last);
        }
        s += year + " ";
        s += PadRight(p->Name(), 20) + " " + PadRight(p->Vorname(), 20) + " ";
    } else {
        s += PadRight(p->Mannschaft(), 31);
    }
    if (HasHLW(ac)) s += PadLeft(PointsOrStatusToText(p->HLWPunkte, 2), 7) + " ";
    if (o.heatLane)
        s += PadLeft(ClockToText(p->Startzeit), 5) + " " + PadLeft(IntToText(p->HLWBahn), 3) + " ";
    return s;
}

std::string ResultDisciplinePart(const TWettkampf& c, const TAltersklasse& ac, int lineNumber,
                                 const TResultLineOptions& o) {
    const int count = ac.Data.DisciplineCount();
    std::string s;
    if (lineNumber == 0) {
        for (int i = 1; i <= count; ++i) {
            const std::string n = IntToText(i);
            if (o.times) s += " Zeit " + n + " " + " Abz" + n + "  Pkt. " + n;
            if (o.heatLane) s += " La" + n + " Ba" + n;
        }
        return s;
    }
    const TTeilnehmer* p = Entry(ac, lineNumber);
    if (!p) return {};
    const bool hundredths = WithHundredths(c);
    for (int i = 0; i < count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (o.times) {
            // Padded to the column even without hundredths, so that penalty and points
            // stay under their headers.
            s += " " + PadLeft(TimeToText(p->Zeit[k], hundredths), 7);
            if (p->Abzug[k] < 0) {
                s += " " + PadLeft(StatusMark(p->Abzug[k]), 5) + " " + "  0,00";
            } else {
                s += " " + PadLeft(IntToText(p->Abzug[k]), 4);
                s += o.recordMarks ? DisciplineRecordMark(ac, *p, i) : ' ';
                s += PadLeft(PointsToText(p->Punkte[k], 2), 7);
            }
        }
        if (o.heatLane)
            s += " " + PadLeft(IntToText(p->Lauf[k]), 3) + " " + PadLeft(IntToText(p->Bahn[k]), 3);
    }
    return s;
}

std::string ResultLine(const TWettkampf& c, const TAltersklasse& ac, int lineNumber,
                       const TResultLineOptions& o) {
    if (lineNumber < 0 || lineNumber > ac.Count()) return {};
    return Cut255(ResultPersonPart(c, ac, lineNumber, o) +
                  ResultDisciplinePart(c, ac, lineNumber, o));
}

// ---- the printed list ----------------------------------------------------------------

namespace {

TResultLineOptions PrintedLineOptions(const TVmReport& r) {
    TResultLineOptions o;
    o.heatLane = false;
    o.times = true;
    o.recordMarks = r.RecordMarks;
    return o;
}

// One participant (or the column header, n = 0) in the layout of the report.
void PrintEntryLines(TVmReport& r, const TAltersklasse& ac, int n) {
    if (r.Kind == rkQualifikation) {
        r.PrintListLine(QualificationLine(r.Competition, ac, n));
        return;
    }
    const TResultLineOptions o = PrintedLineOptions(r);
    if (!r.TwoLines) {
        r.PrintListLine(ResultLine(r.Competition, ac, n, o));
        return;
    }
    r.PrintListLine(Cut255(ResultPersonPart(r.Competition, ac, n, o)));
    // The second line sits 0.8 mm closer to the first; the next entry starts two full
    // lines lower.
    r.SetCursor(r.Cursor() - 8);
    r.PrintListLine(Cut255(std::string(13, ' ') + ResultDisciplinePart(r.Competition, ac, n, o)));
    r.SetCursor(r.Cursor() + 8);
}

void PrintResultCover(TVmReport& r) {
    const TWettkampfHeader& h = r.Competition.Header;
    r.StartBody("Ergebnis");
    if (r.Legend) {
        r.SetFont(ListFont.Styled(fsBold));
        r.PrintLine("Wettkampfdaten:");
        r.PrintLine("===============");
        r.SetStyle(fsNormal);
        r.PrintLine("");
        r.PrintLine("Austragungsort: " + std::string(h.Veranstaltungsstaette.View().substr(0, 96)));
        r.PrintLine("Ausrichter:     " + std::string(h.Ausrichter.View().substr(0, 96)));
        r.PrintLine("Veranstalter:   " + std::string(h.Veranstalter.View().substr(0, 96)));
        r.PrintLine("Datum:          " + std::string(h.Datum.View().substr(0, 96)));
        r.PrintLine("Beckengröße:    "_oem + IntToText(h.Startplaetze + 3) + " x " +
                    IntToText((h.Beckenlaenge + 1) * 25) + "m Bahnen");
        r.PrintLine("");
        r.PrintLegendHeading();
        r.PrintLine("Pl.      Plazierung");
        r.PrintLine("GesamtP. erreichte Gesamtpunkte");
        r.PrintLine("Glied.   Gliederung, der der Teilnehmer angehört"_oem);
        r.PrintLine("Jg       Jahrgang des Teilnehmers");
        r.PrintLine("ZeitX    erreichte Zeit in Disziplin X");
        r.PrintLine("AbzX     Punktabzug in Disziplin X");
        r.PrintLine("PktX     erreichte Punkte in Disziplin X");
        r.PrintLine("HLW      Herz-Lungen-Wiederbelebung");
        if (r.RecordMarks) {
            r.PrintLine("R        neue Bestleistung aufgestellt");
            r.PrintLine("E        bisherige Bestleistung eingestellt");
            r.PrintLine("*        Bestleistung dieses Wettbewerbs");
        }
        r.PrintLine("");
        r.PrintLine("");
        r.SetFont(NoteFont);
        r.PrintLine("Alle Ergebnisse ohne Gewähr; maßgeblich sind die Protokolle des "
                    "Kampfgerichts."_oem);
        r.SetFont(ListFont);
        r.PrintLine("");
    }
    r.SetFont(ListFont);
    if (r.PrintHead || r.Legend) r.PrintLine("");
    r.StampFooter(r.BodyPage());
}

} // namespace

void PrintAgeClass(TVmReport& r, const TAltersklasse& ac, bool firstAgeClass) {
    if (ac.Count() == 0) return;
    r.AgeClass = &ac;
    r.HeaderContinues = false;
    if (r.NewPagePerAgeClass && (!firstAgeClass || r.PrintHead || r.Legend)) r.NewPage();
    r.BeginBlock();

    std::string heading = "Altersklasse " + ac.Name();
    if (heading.size() > 43) heading.resize(43);
    heading += " (" + IntToText(ac.Data.JahrgangVon) + " - " + IntToText(ac.Data.JahrgangBis) + ")";
    r.SetFont(HeadingFont);
    r.PrintLine(heading);
    r.SetFont(TextFont);
    if (r.AgeClassData) {
        r.PrintLine("");
        for (int i = 0; i < ac.Data.DisciplineCount(); ++i)
            r.PrintLine(ac.Discipline(i).Bezeichnung.Get());
        if (HasHLW(ac)) r.PrintLine("Herz-Lungen-Wiederbelebung");
    }
    r.SetFont(ListFont);
    r.PrintLine("");

    r.PrintColumnHeader();
    const int count = ac.Count();
    for (int k = 1; k <= count; ++k) {
        if (k > 1) r.BeginBlock();
        if (k == 2) r.HeaderContinues = true;
        PrintEntryLines(r, ac, k);
        r.EndBlock();
        if (r.EmptyLineAfter5 && k % 5 == 0) r.EmptyLine();
    }
    r.HeaderContinues = false;
    r.EmptyLine();
}

void PrintAgeClasses(TVmReport& r) {
    const TWettkampf& c = r.Competition;
    if (r.AllAgeClasses) {
        for (int i = 0; i < c.Count(); ++i) {
            r.AgeClassIndex = static_cast<std::int16_t>(i);
            PrintAgeClass(r, *c.At(i), i == 0);
        }
    } else if (r.AgeClassIndex >= 0 && r.AgeClassIndex < c.Count()) {
        PrintAgeClass(r, *c.At(r.AgeClassIndex), r.AgeClassIndex == 0);
    }
    r.AgeClass = nullptr;
}

void PrintResultList(TVmReport& r) {
    PrintResultCover(r);
    PrintAgeClasses(r);
}

void PrintAgeClassHeader(TVmReport& r, const TAltersklasse& ac) {
    PrintEntryLines(r, ac, 0);
}

std::int32_t WidestResultListLine(const TWettkampf& c, const TPrintOptions& o, int selected) {
    TResultLineOptions lo;
    lo.recordMarks = o.recordMarks;
    const std::int16_t size = ListFont.height;
    std::int32_t widest = 0;
    auto measure = [&](const std::string& line, std::uint8_t style) {
        widest = std::max(widest, FixedPitchWidth(line, size, style));
    };
    // As PrintEntryLines prints them: the header in bold condensed, entries condensed.
    auto entry = [&](const TAltersklasse& ac, int n, std::uint8_t style) {
        if (!o.twoLines) {
            measure(ResultLine(c, ac, n, lo), style);
            return;
        }
        measure(Cut255(ResultPersonPart(c, ac, n, lo)), style);
        measure(Cut255(std::string(13, ' ') + ResultDisciplinePart(c, ac, n, lo)), style);
    };
    auto ageClass = [&](const TAltersklasse& ac) {
        if (ac.Count() == 0) return;
        entry(ac, 0, fsBold | fsCondensed);
        for (int k = 1; k <= ac.Count(); ++k)
            entry(ac, k, fsCondensed);
    };
    if (o.allAgeClasses) {
        for (const TAltersklasse& ac : c)
            ageClass(ac);
    } else if (selected >= 0 && selected < c.Count()) {
        ageClass(*c.At(selected));
    }
    return widest;
}

} // namespace vm
