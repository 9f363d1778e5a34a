#include "print/VmListen.h"

#include "operations/VmAuswahl.h"
#include "print/VmDruck.h"
#include "print/VmReport.h"
#include "print/VmStat.h"

namespace vm {

namespace {

std::string HeatNamesPart(const TWettkampf& c, const TTeilnehmer* p) {
    if (IsSingleCompetition(c)) {
        if (!p) return PadRight("Teilnehmer", 41) + "  ";
        return PadRight(p->Name(), 20) + " " + PadRight(p->Vorname(), 20) + "  ";
    }
    if (!p) return PadRight("Teilnehmer", 30) + "  ";
    return PadRight(p->Mannschaft(), 32);
}

int Slot(int discipline) {
    return discipline < 1 ? 0 : discipline > 5 ? 4 : discipline - 1;
}

// Cover of the preparing lists: title block, legend, footer of the cover page.
void PrintListCover(TVmReport& r, const char* title, std::initializer_list<const char*> legend) {
    r.StartBody(title);
    if (r.Legend) {
        r.PrintLegendHeading();
        for (const char* line : legend)
            r.PrintLine(line);
        r.PrintLine("");
    }
    r.SetFont(ListFont);
    if (r.Kind == rkQualifikation && (r.PrintHead || r.Legend)) r.PrintLine("");
    r.StampFooter(r.BodyPage());
}

void PrintGroupedHeader(TVmReport& r) {
    r.BeginBlock();
    r.PrintColumnHeader();
}

} // namespace

std::string QualificationLine(const TWettkampf& c, const TAltersklasse& ac, int lineNumber) {
    if (lineNumber == 0) return "Nr.  GesamtP.  Gl.    Start Teilnehmer";
    if (lineNumber < 1 || lineNumber > ac.Count()) return {};
    const TTeilnehmer& p = *ac.At(lineNumber - 1);
    std::string s = PadLeft(IntToText(p.Platz), 3) + ". ";
    s += PadRight(PointsToText(p.Gesamtpunkte, 2), 7) + " ";
    s += p.Has(tnDirektQualifiziert) ? "Q " : "  ";
    s += PadRight(p.Gliederung.View(), 7);
    s += p.Has(tnStartberechtigt) ? "ja    " : "nein  ";
    if (IsSingleCompetition(c))
        s += PadRight(p.Name(), 20) + " " + PadRight(p.Vorname(), 20) + "  ";
    else
        s += PadRight(p.Mannschaft(), 32);
    return s;
}

std::string HeatLine(const TWettkampf& c, int discipline, const TTeilnehmer* p, bool modeB) {
    if (!p) {
        if (modeB)
            return HeatNamesPart(c, nullptr) + "Glied. " + "     Disz1 Disz2 Disz3 Disz4 Disz5 " +
                   "Altersklasse";
        return "Lauf* " + std::string("Bahn* ") + HeatNamesPart(c, nullptr) + "Glied. " +
               "Altersklasse";
    }
    if (discipline == -1) {
        if (!modeB) return {};
        std::string s(HeatNamesPart(c, p).size() + 7, ' ');
        s += "Lauf ";
        for (int i = 0; i < 5; ++i)
            s += PadLeft(IntToText(p->Lauf[static_cast<std::size_t>(i)]), 5) + " ";
        return s;
    }
    if (modeB) {
        std::string s = HeatNamesPart(c, p) + PadRight(p->Gliederung.View(), 7) + "Bahn ";
        for (int i = 0; i < 5; ++i)
            s += " " + PadLeft(IntToText(p->Bahn[static_cast<std::size_t>(i)]), 4) + " ";
        return s + PadRight(p->Altersklasse.View(), 30);
    }
    const auto k = static_cast<std::size_t>(Slot(discipline));
    return PadLeft(IntToText(p->Lauf[k]), 5) + " " + PadLeft(IntToText(p->Bahn[k]), 5) + " " +
           HeatNamesPart(c, p) + PadRight(p->Gliederung.View(), 7) +
           PadRight(p->Altersklasse.View(), 30);
}

std::string HLWLine(const TWettkampf& c, const TTeilnehmer* p) {
    const bool single = IsSingleCompetition(c);
    if (!p) {
        return single ? "Start Bahn   Nr Teilnehmer                                 Glied. "
                        "Altersklasse"
                      : "Start Bahn   Nr Teilnehmer                      Glied. Altersklasse";
    }
    std::string s = PadLeft(ClockToText(p->Startzeit), 5) + " ";
    s += PadLeft(IntToText(p->HLWBahn), 4) + " ";
    s += PadLeftZero(IntToText(p->HLWLauf), 4) + " ";
    if (single)
        s += PadRight(p->Name(), 20) + " " + PadRight(p->Vorname(), 20) + "  ";
    else
        s += PadRight(p->Mannschaft(), 32);
    s += PadRight(p->Gliederung.View(), 7);
    s += PadRight(p->Altersklasse.View(), 30);
    return s;
}

void PrintQualificationList(TVmReport& r) {
    PrintListCover(r, "Qualifikation und Startberechtigung",
                   {"Nr.      Vorplazierung", "GesamtP. Meldepunktzahl",
                    "Q        Qualifikation lt. Regelwerk, direkte Startberechtigung",
                    "Gl.      Gliederung, der der Teilnehmer angehört"_oem,
                    "Start    Startberechtigung erteilt ja/nein"});
    PrintAgeClasses(r);
}

void PrintHeatList(TVmReport& r) {
    PrintListCover(r, "Laufeinteilung",
                   {"Lauf*      Nummer des Laufs, in der der Teilnehmer startet",
                    "Bahn*      Startbahn des Teilnehmers in diesem Lauf",
                    "Glied.     Gliederung, der der Teilnehmer angehört"_oem,
                    "Disz*      Lauf und Bahn jeweils in Disziplin *(1..5)"});
    const TWettkampf& c = r.Competition;
    const bool modeB = r.LaneAllDisciplines;
    PrintGroupedHeader(r);

    const TListSelection heats = SelectForList(c, TListAgeClasses::All, TSelectionOrder{soLauf, 1});
    if (heats.empty()) {
        r.PrintLine(NoHeatParticipantsText);
    } else {
        int current = heats.front().participant->Lauf[0];
        if (modeB) r.PrintListLine(HeatLine(c, -1, heats.front().participant, true));
        for (const TListEntry& e : heats) {
            VM_ASSERT(PointsInto(c, e));
            const TTeilnehmer& p = *e.participant;
            if (p.Lauf[0] > current) {
                r.HeaderContinues = true;
                r.EndBlock();
                if (r.EmptyLineAfter5) r.EmptyLine();
                r.BeginBlock();
                if (modeB) r.PrintListLine(HeatLine(c, -1, &p, true));
                current = p.Lauf[0];
            }
            r.PrintListLine(HeatLine(c, 1, &p, modeB));
        }
    }
    r.EndBlock();
    r.HeaderContinues = false;
}

void PrintHLWStartList(TVmReport& r) {
    PrintListCover(r, "HLW-Startliste",
                   {"Start      Startzeit des Durchgangs, in der der Teilnehmer startet",
                    "Bahn       Startbahn des Teilnehmers in diesem Lauf",
                    "Nr         Fortlaufende Startnummer des Teilnehmers",
                    "Glied.     Gliederung, der der Teilnehmer angehört"_oem});
    const TWettkampf& c = r.Competition;
    PrintGroupedHeader(r);

    const TListSelection starts =
        SelectForList(c, TListAgeClasses::WithHLW, TSelectionOrder{soHLWZeit, 1});
    if (starts.empty()) {
        r.PrintLine(NoHLWParticipantsText);
    } else {
        int current = starts.front().participant->Startzeit;
        for (const TListEntry& e : starts) {
            VM_ASSERT(PointsInto(c, e));
            const TTeilnehmer& p = *e.participant;
            if (p.Startzeit > current) {
                r.HeaderContinues = true;
                r.EndBlock();
                if (r.EmptyLineAfter5) r.EmptyLine();
                r.BeginBlock();
                current = p.Startzeit;
            }
            r.PrintListLine(HLWLine(c, &p));
        }
    }
    r.EndBlock();
    r.HeaderContinues = false;
}

} // namespace vm
