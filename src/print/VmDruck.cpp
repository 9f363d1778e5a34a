#include "print/VmDruck.h"

#include "model/VmRech.h"
#include "print/VmListen.h"
#include "print/VmReport.h"
#include "print/VmStat.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <string_view>

namespace vm {

namespace {

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
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

namespace {

// The line is written piece by piece into one string: a list of 20 000 participants
// is made of a few hundred thousand such pieces, and temporaries for each of them
// cost more than the formatting itself.

void AppendPadLeft(std::string& s, std::string_view text, std::size_t n) {
    if (text.size() >= n) {
        s.append(text.substr(text.size() - n));
        return;
    }
    s.append(n - text.size(), ' ');
    s.append(text);
}

void AppendPadRight(std::string& s, std::string_view text, std::size_t n) {
    if (text.size() >= n) {
        s.append(text.substr(0, n));
        return;
    }
    s.append(text);
    s.append(n - text.size(), ' ');
}

// A number as IntToText writes it, without a string of its own.
struct TNumberText {
    char buf[24];
    std::size_t size = 0;
    explicit TNumberText(long long n) {
        size = static_cast<std::size_t>(std::to_chars(buf, buf + sizeof buf, n).ptr - buf);
    }
    std::string_view View() const { return {buf, size}; }
};

// PointsToText(points, 2) without a string of its own.
struct TPointsText {
    char buf[48];
    std::size_t size = 0;
    explicit TPointsText(TPunkte p) {
        const TNumberText whole(p / 100), part(p % 100);
        std::memcpy(buf, whole.buf, whole.size);
        size = whole.size;
        buf[size++] = ',';
        if (part.size < 2) buf[size++] = '0';
        std::memcpy(buf + size, part.buf, part.size);
        size += part.size;
    }
    std::string_view View() const { return {buf, size}; }
};

void AppendPersonPart(std::string& s, const TWettkampf& c, const TAltersklasse& ac,
                      int lineNumber, const TResultLineOptions& o) {
    const bool single = IsSingleCompetition(c);
    if (lineNumber == 0) {
        s += "Pl.   GesamtP. Glied. ";
        if (single) {
            s += "Jg ";
            AppendPadRight(s, "Name", 20);
            s += ' ';
            AppendPadRight(s, "Vorname", 20);
            s += ' ';
        } else {
            AppendPadRight(s, "Mannschaft", 31);
        }
        if (HasHLW(ac)) s += "    HLW ";
        if (o.heatLane) s += " Zeit Sta ";
        return;
    }
    const TTeilnehmer* p = Entry(ac, lineNumber);
    if (!p) return;
    if (p->Gesamtpunkte < 1) {
        s += "     ";
    } else if (p->Has(tnAusserKonkurrenz)) {
        s += "AK   ";
    } else {
        AppendPadLeft(s, TNumberText(p->Platz).View(), 3);
        s += ". ";
    }
    s += o.recordMarks ? TotalRecordMark(ac, *p) : ' ';
    AppendPadLeft(s, TPointsText(p->Gesamtpunkte).View(), 8);
    s += ' ';
    AppendPadRight(s, p->Gliederung.View(), 6);
    s += ' ';
    if (single) {
        std::string_view birth = p->Geburtsdatum();
        std::string_view year = "  ";
        if (birth.size() >= 2) {
            std::string_view last = birth.substr(birth.size() - 2);
            if (IsDigit(last[0]) && IsDigit(last[1])) year = last;
        }
        s += year;
        s += ' ';
        AppendPadRight(s, p->Name(), 20);
        s += ' ';
        AppendPadRight(s, p->Vorname(), 20);
        s += ' ';
    } else {
        AppendPadRight(s, p->Mannschaft(), 31);
    }
    if (HasHLW(ac)) {
        AppendPadLeft(s, PointsOrStatusToText(p->HLWPunkte, 2), 7);
        s += ' ';
    }
    if (o.heatLane) {
        AppendPadLeft(s, ClockToText(p->Startzeit), 5);
        s += ' ';
        AppendPadLeft(s, TNumberText(p->HLWBahn).View(), 3);
        s += ' ';
    }
}

void AppendDisciplinePart(std::string& s, const TWettkampf& c, const TAltersklasse& ac,
                          int lineNumber, const TResultLineOptions& o) {
    const int count = ac.Data.DisciplineCount();
    if (lineNumber == 0) {
        for (int i = 1; i <= count; ++i) {
            const std::string n = IntToText(i);
            if (o.times) s += " Zeit " + n + " " + " Abz" + n + "  Pkt. " + n;
            if (o.heatLane) s += " La" + n + " Ba" + n;
        }
        return;
    }
    const TTeilnehmer* p = Entry(ac, lineNumber);
    if (!p) return;
    const bool hundredths = WithHundredths(c);
    for (int i = 0; i < count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (o.times) {
            // Padded to the column even without hundredths, so that penalty and points
            // stay under their headers.
            s += ' ';
            AppendPadLeft(s, TimeToText(p->Zeit[k], hundredths), 7);
            s += ' ';
            if (p->Abzug[k] < 0) {
                AppendPadLeft(s, StatusMark(p->Abzug[k]), 5);
                s += "   0,00";
            } else {
                AppendPadLeft(s, TNumberText(p->Abzug[k]).View(), 4);
                s += o.recordMarks ? DisciplineRecordMark(ac, *p, i) : ' ';
                AppendPadLeft(s, TPointsText(p->Punkte[k]).View(), 7);
            }
        }
        if (o.heatLane) {
            s += ' ';
            AppendPadLeft(s, TNumberText(p->Lauf[k]).View(), 3);
            s += ' ';
            AppendPadLeft(s, TNumberText(p->Bahn[k]).View(), 3);
        }
    }
}

void CutTo255(std::string& s) {
    if (s.size() > MaxItemText) s.resize(MaxItemText);
}

// The line ResultLine gives, written into `s` (emptied first).
void MakeResultLine(std::string& s, const TWettkampf& c, const TAltersklasse& ac,
                    int lineNumber, const TResultLineOptions& o) {
    s.clear();
    if (lineNumber < 0 || lineNumber > ac.Count()) return;
    AppendPersonPart(s, c, ac, lineNumber, o);
    AppendDisciplinePart(s, c, ac, lineNumber, o);
    CutTo255(s);
}

// The two lines of the two-line layout, as they are printed.
void MakePersonLine(std::string& s, const TWettkampf& c, const TAltersklasse& ac,
                    int lineNumber, const TResultLineOptions& o) {
    s.clear();
    AppendPersonPart(s, c, ac, lineNumber, o);
    CutTo255(s);
}

void MakeDisciplineLine(std::string& s, const TWettkampf& c, const TAltersklasse& ac,
                        int lineNumber, const TResultLineOptions& o) {
    s.assign(13, ' ');
    AppendDisciplinePart(s, c, ac, lineNumber, o);
    CutTo255(s);
}

// A buffer for one line at a time, kept between lines so that no line needs a
// string of its own before the report copies it into its item.
std::string& LineBuffer() {
    thread_local std::string buffer;
    if (buffer.capacity() < 2 * MaxItemText) buffer.reserve(2 * MaxItemText);
    return buffer;
}

} // namespace

std::string ResultPersonPart(const TWettkampf& c, const TAltersklasse& ac, int lineNumber,
                             const TResultLineOptions& o) {
    std::string s;
    AppendPersonPart(s, c, ac, lineNumber, o);
    return s;
}

std::string ResultDisciplinePart(const TWettkampf& c, const TAltersklasse& ac, int lineNumber,
                                 const TResultLineOptions& o) {
    std::string s;
    AppendDisciplinePart(s, c, ac, lineNumber, o);
    return s;
}

std::string ResultLine(const TWettkampf& c, const TAltersklasse& ac, int lineNumber,
                       const TResultLineOptions& o) {
    std::string s;
    MakeResultLine(s, c, ac, lineNumber, o);
    return s;
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
    std::string& line = LineBuffer();
    if (!r.TwoLines) {
        MakeResultLine(line, r.Competition, ac, n, o);
        r.PrintListLine(line);
        return;
    }
    MakePersonLine(line, r.Competition, ac, n, o);
    r.PrintListLine(line);
    // The second line sits 0.8 mm closer to the first; the next entry starts two full
    // lines lower.
    r.SetCursor(r.Cursor() - 8);
    MakeDisciplineLine(line, r.Competition, ac, n, o);
    r.PrintListLine(line);
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

namespace {

// Every column header and participant line of a result list with these options, as
// PrintEntryLines prints them, with the style it prints them in, one after the other
// in one buffer; `line` returns false to stop.
template <class F>
void ForEachResultListLine(const TWettkampf& c, const TPrintOptions& o, int selected, F line) {
    TResultLineOptions lo;
    lo.recordMarks = o.recordMarks;
    std::string& s = LineBuffer();
    // The header in bold condensed, entries condensed.
    auto entry = [&](const TAltersklasse& ac, int n, std::uint8_t style) {
        if (!o.twoLines) {
            MakeResultLine(s, c, ac, n, lo);
            return line(std::string_view(s), style);
        }
        MakePersonLine(s, c, ac, n, lo);
        if (!line(std::string_view(s), style)) return false;
        MakeDisciplineLine(s, c, ac, n, lo);
        return line(std::string_view(s), style);
    };
    auto ageClass = [&](const TAltersklasse& ac) {
        if (ac.Count() == 0) return true;
        if (!entry(ac, 0, fsBold | fsCondensed)) return false;
        for (int k = 1; k <= ac.Count(); ++k)
            if (!entry(ac, k, fsCondensed)) return false;
        return true;
    };
    if (o.allAgeClasses) {
        for (const TAltersklasse& ac : c)
            if (!ageClass(ac)) return;
    } else if (selected >= 0 && selected < c.Count()) {
        ageClass(*c.At(selected));
    }
}

} // namespace

std::int32_t WidestResultListLine(const TWettkampf& c, const TPrintOptions& o, int selected) {
    const std::int16_t size = ListFont.height;
    std::int32_t widest = 0;
    ForEachResultListLine(c, o, selected, [&](std::string_view line, std::uint8_t style) {
        widest = std::max(widest, FixedPitchWidth(line, size, style));
        return true;
    });
    return widest;
}

bool ResultListLineWiderThan(const TWettkampf& c, const TPrintOptions& o, int selected,
                             std::int32_t limit) {
    const std::int16_t size = ListFont.height;
    bool wider = false;
    ForEachResultListLine(c, o, selected, [&](std::string_view line, std::uint8_t style) {
        wider = FixedPitchWidth(line, size, style) > limit;
        return !wider;
    });
    return wider;
}

} // namespace vm
