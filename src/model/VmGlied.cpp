#include "model/VmGlied.h"

#include "model/VmWettk.h"

#include <algorithm>
#include <vector>

#include "model/VmWettk.h"

namespace vm {

namespace {
int Desc(long long a, long long b) {
    return a > b ? -1 : a < b ? 1 : 0;
}
} // namespace

int TGliederungStatList::Compare(const TGliederungStat& a, const TGliederungStat& b) const {
    switch (Mode) {
    case 1:
        if (int c = Desc(a.Go, b.Go)) return c;
        if (int c = Desc(a.Si, b.Si)) return c;
        return Desc(a.Br, b.Br);
    case 2:
        return Desc(a.TN, b.TN);
    case 3:
        return Desc(a.Punkte, b.Punkte);
    case 4:
        return Desc(a.KRW, b.KRW);
    default:
        return CompareBytes(a.Kurz.View(), b.Kurz.View());
    }
}

TGliederungStat* TGliederungStatList::Find(std::string_view kurz) const {
    if (Mode == 0) {
        TGliederungStat key;
        key.Kurz.Set(kurz);
        int i = 0;
        if (Search(key, i)) return At(i);
        return nullptr;
    }
    return FirstThat([&](const TGliederungStat& g) { return g.Kurz.View() == kurz; });
}

namespace {
// The ranking order of an age class (points first; on equal points the name, and an
// entry that did not start after one that did), whatever its display order is.
std::vector<const TTeilnehmer*> RankingOrder(const TAltersklasse& ac) {
    std::vector<const TTeilnehmer*> order;
    order.reserve(static_cast<std::size_t>(ac.Count()));
    for (const TTeilnehmer& p : ac)
        order.push_back(&p);
    std::stable_sort(order.begin(), order.end(), [](const TTeilnehmer* a, const TTeilnehmer* b) {
        return Compare(TParticipantOrder::Ranking(), *a, *b) < 0;
    });
    return order;
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

} // namespace vm
