#include "print/VmStat.h"

#include "print/VmReport.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace vm {

namespace {

// The ranking order of an age class (points first; on equal points the name, and an
// entry that did not start after one that did), whatever its display order is.
std::vector<const TTeilnehmer*> RankingOrder(const TAltersklasse& ac) {
    std::vector<const TTeilnehmer*> order;
    order.reserve(static_cast<std::size_t>(ac.Count()));
    for (const TTeilnehmer& p : ac)
        order.push_back(&p);
    std::stable_sort(order.begin(), order.end(), [](const TTeilnehmer* a, const TTeilnehmer* b) {
        if (a->Gesamtpunkte != b->Gesamtpunkte) return a->Gesamtpunkte > b->Gesamtpunkte;
        if (a->Gesamtpunkte == 0) {
            const bool na = HasNoStart(*a), nb = HasNoStart(*b);
            if (na != nb) return nb;
        }
        return CompareBytes(a->NameKey(), b->NameKey()) < 0;
    });
    return order;
}

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
                "Abk.     verwendete Abk\x81rzung f\x81r die Gliederung",
                "TN       Anzahl der Teilnehmer der Gliederung",
                "Go         davon auf Platz 1 (Goldmedaille)",
                "Si         davon auf Platz 2 (Silbermedaille)",
                "Br         davon auf Platz 3 (Bronzemedaille)",
                "GesamtP  erreichte Gesmtpunkte der Gliederung",
                "KRW      erreichte Punktzahl Kranz-Pokal"};
    case spPunktbeste:
        return {"Pl.      Platzierung",
                "GesamtP  erreichte Punktzahl aller Teilnehmer der Gliederung",
                "Abk.     verwendete Abk\x81rzung f\x81r die Gliederung",
                "TN       Anzahl der Teilnehmer der Gliederung",
                "DPunkte  Durchschnittspunktzahl aller TN der Gliederung"};
    case spKranzwertung:
        return {"Pl.      Platzierung",
                "KRW      erreichte Punktzahl Kranz-Pokal",
                "         pro Altersklasse erh\x84lt der jeweils bestplatzierte der OG ",
                "         je nach erreichtem Platz 30,28,26,25,24... Punkte",
                "Abk.     verwendete Abk\x81rzung f\x81r die Gliederung",
                "TN       Anzahl der Teilnehmer der Gliederung"};
    default:
        return {"Nr.      laufende Nummer",
                "Abk.     verwendete Abk\x81rzung f\x81r die Gliederung",
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

int TrophyPoints(int rank) {
    if (rank == 1) return 30;
    if (rank == 2) return 28;
    if (rank == 3) return 26;
    if (rank >= 4 && rank <= 28) return 29 - rank;
    return 0;
}

void AccumulateStatistics(TGliederungStatList& rows, const TAltersklasse& ac) {
    for (TGliederungStat& g : rows)
        g.Pending = 1;
    int rank = 1;
    for (const TTeilnehmer* p : RankingOrder(ac)) {
        const std::string_view code = p->Gliederung.View();
        if (code.empty()) continue;
        TGliederungStat* row = rows.Find(code);
        if (!row) {
            auto fresh = std::make_unique<TGliederungStat>();
            fresh->Kurz.Set(code);
            fresh->Name.Set(code);
            fresh->Pending = 1;
            row = fresh.get();
            if (!rows.Insert(std::move(fresh))) continue; // the list is full
        }
        ++row->TN;
        if (!IsPresent(*p) || p->Has(tnAusserKonkurrenz)) continue;
        row->PlatzSumme = static_cast<std::int16_t>(row->PlatzSumme + p->Platz);
        if (p->Platz == 1) ++row->Go;
        if (p->Platz == 2) ++row->Si;
        if (p->Platz == 3) ++row->Br;
        if (row->Pending) {
            row->KRW = static_cast<std::int16_t>(row->KRW + TrophyPoints(rank));
            row->Pending = 0;
            ++rank;
        }
        row->Punkte += p->Gesamtpunkte / 100;
        for (std::int16_t pen : p->Abzug)
            if (pen > 0) row->AbzugSumme += pen;
    }
}

void ComputeStatistics(TWettkampf& c, int mode) {
    TGliederungStatList& rows = c.Gliederungen;
    for (TGliederungStat& g : rows) {
        g.TN = g.Go = g.Si = g.Br = g.KRW = g.Pending = g.Platz = g.PlatzSumme = 0;
        g.Punkte = g.AbzugSumme = 0;
    }
    rows.SetMode(smKurz);
    for (const TAltersklasse& ac : c)
        AccumulateStatistics(rows, ac);
    for (int i = rows.Count() - 1; i >= 0; --i)
        if (rows.At(i)->TN == 0) rows.AtDelete(i);
    rows.SetMode(mode);
    for (int i = 0; i < rows.Count(); ++i) {
        TGliederungStat& g = *rows.At(i);
        const bool shares = i > 0 && rows.Compare(*rows.At(i - 1), g) == 0;
        g.Platz = static_cast<std::int16_t>(shares ? rows.At(i - 1)->Platz : i + 1);
    }
}

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
    TWettkampf& c = *r.Competition;
    const int mode = StatModeOfPrintIndex(printIndex);
    ComputeStatistics(c, mode);
    r.HeaderContinues = false;

    r.StartBody(StatTitle(printIndex));
    if (r.Legend) {
        r.PrintLegendHeading();
        for (const char* line : StatLegend(printIndex))
            r.PrintLine(line);
    }
    r.SetFont(fiCourier, 40, 1, 1, fsNormal, taLeft | taVCenter);
    if (r.PrintHead || r.Legend) r.PrintLine("");
    r.StampFooter(r.BodyPage());

    r.SetStyle(fsBold);
    r.PrintLine(StatLine(c.Gliederungen, mode, 0));
    r.SetStyle(fsNormal);
    for (int i = 1; i <= c.Gliederungen.Count(); ++i) {
        r.PrintLine(StatLine(c.Gliederungen, mode, i));
        if (r.EmptyLineAfter5Stat && i % 5 == 0) r.EmptyLine();
    }
}

} // namespace vm
