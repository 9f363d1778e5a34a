#include "print/VmStat.h"

#include "print/VmReport.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace vm {

namespace {

const char* StatTitle(int printIndex) {
    switch (printIndex) {
    case spMedaillenspiegel:
        return "Statistik: Medaillenspiegel";
    case spPunktbeste:
        return "Statistik: punktbeste Gliederung";
    case spKranzwertung:
        return "Statistik: Kranz-Wertung";
    default:
        return "Statistik: Gliederungen";
    }
}

std::vector<const char*> StatLegend(int printIndex) {
    switch (printIndex) {
    case spMedaillenspiegel:
        return {"Pl.      Platzierung",
                "Abk.     verwendete Abkürzung für die Gliederung"_oem,
                "TN       Anzahl der Teilnehmer der Gliederung",
                "Go         davon auf Platz 1 (Goldmedaille)",
                "Si         davon auf Platz 2 (Silbermedaille)",
                "Br         davon auf Platz 3 (Bronzemedaille)",
                "GesamtP  erreichte Gesmtpunkte der Gliederung",
                "KRW      erreichte Punktzahl Kranz-Pokal"};
    case spPunktbeste:
        return {"Pl.      Platzierung",
                "GesamtP  erreichte Punktzahl aller Teilnehmer der Gliederung",
                "Abk.     verwendete Abkürzung für die Gliederung"_oem,
                "TN       Anzahl der Teilnehmer der Gliederung",
                "DPunkte  Durchschnittspunktzahl aller TN der Gliederung"};
    case spKranzwertung:
        return {"Pl.      Platzierung",
                "KRW      erreichte Punktzahl Kranz-Pokal",
                "         pro Altersklasse erhält der jeweils bestplatzierte der OG "_oem,
                "         je nach erreichtem Platz 30,28,26,25,24... Punkte",
                "Abk.     verwendete Abkürzung für die Gliederung"_oem,
                "TN       Anzahl der Teilnehmer der Gliederung"};
    default:
        return {"Nr.      laufende Nummer", "Abk.     verwendete Abkürzung für die Gliederung"_oem,
                "TN       Anzahl der Teilnehmer der Gliederung",
                "GesamtP  erreichte Gesmtpunkte der Gliederung"};
    }
}

std::string Num(long long n, int width) {
    return PadLeft(IntToText(n), width);
}

std::string Average(const TGliederungStat& g) {
    if (g.TN == 0) return "    -,-";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%7.2f", static_cast<double>(g.Punkte) / g.TN);
    return PadLeft(buf, 7);
}

} // namespace

std::string StatLine(const TGliederungStatList& list, int mode, int row) {
    if (mode != 0 && mode != 1 && mode != 3 && mode != 4) return "?";
    const std::string glied = PadRight("Gliederung", 30);
    if (row == 0) {
        switch (mode) {
        case 0:
            return "Nr. Abk.  " + glied + "  TN GesamtP";
        case 1:
            return "Pl. Abk.   TN  Go  Si  Br " + glied + " GesamtP KRW";
        case 3:
            return "Pl. GesamtP Abk.  " + glied + "  TN DPunkte";
        default:
            return "Pl. KRW Abk.  " + glied + "  TN";
        }
    }
    if (row < 1 || row > list.Count()) return {};
    const TGliederungStat& g = *list.At(row - 1);
    const std::string kurz = PadRight(g.Kurz.View(), 5);
    const std::string name = PadRight(g.Name.View(), 30);
    switch (mode) {
    case 0:
        return Num(g.Platz, 3) + " " + kurz + " " + name + " " + Num(g.TN, 3) + " " +
               Num(g.Punkte, 7);
    case 1:
        return Num(g.Platz, 3) + " " + kurz + " " + Num(g.TN, 3) + " " + Num(g.Go, 3) + " " +
               Num(g.Si, 3) + " " + Num(g.Br, 3) + " " + name + " " + Num(g.Punkte, 7) + " " +
               Num(g.KRW, 3);
    case 3:
        return Num(g.Platz, 3) + " " + Num(g.Punkte, 7) + " " + kurz + " " + name + " " +
               Num(g.TN, 3) + " " + Average(g);
    default:
        return Num(g.Platz, 3) + " " + Num(g.KRW, 3) + " " + kurz + " " + name + " " + Num(g.TN, 3);
    }
}

int StatModeOfPrintIndex(int printIndex) {
    switch (printIndex) {
    case spMedaillenspiegel:
        return smMedaillen;
    case spPunktbeste:
        return smPunkte;
    case spKranzwertung:
        return smKRW;
    default:
        return smKurz;
    }
}

void PrintStatistics(TVmReport& r, int printIndex) {
    const TWettkampf& c = r.Competition;
    const int mode = StatModeOfPrintIndex(printIndex);
    // The command brought the rows up to date and into this order (RefreshForBuild).
    VM_ASSERT(c.Gliederungen.Mode == mode);
    r.HeaderContinues = false;

    r.StartBody(StatTitle(printIndex));
    if (r.Legend) {
        r.PrintLegendHeading();
        for (const char* line : StatLegend(printIndex))
            r.PrintLine(line);
    }
    r.SetFont(ListFont);
    if (r.PrintHead || r.Legend) r.PrintLine("");
    r.StampFooter(r.BodyPage());

    r.SetStyle(fsBold);
    r.PrintListLine(StatLine(c.Gliederungen, mode, 0));
    r.SetStyle(fsNormal);
    for (int i = 1; i <= c.Gliederungen.Count(); ++i) {
        r.PrintListLine(StatLine(c.Gliederungen, mode, i));
        if (r.EmptyLineAfter5Stat && i % 5 == 0) r.EmptyLine();
    }
}

} // namespace vm
