#include "model/VmAk.h"

#include "model/VmRech.h"
#include "model/VmRek.h"

namespace vm {

namespace {
int CompareTotals(const TTeilnehmer& a, const TTeilnehmer& b) noexcept {
    if (b.Gesamtpunkte > a.Gesamtpunkte) return 1;
    if (b.Gesamtpunkte < a.Gesamtpunkte) return -1;
    return 0;
}
} // namespace

TParticipantOrder DisplayOrder(const TAltersklasseData& data) {
    TParticipantOrder o;
    o.directQualifiedFirst = data.Has(akDirektQualifiziert);
    o.alphabetical = data.Has(akAlphabetisch);
    return o;
}

int Compare(const TParticipantOrder& order, const TTeilnehmer& a, const TTeilnehmer& b) noexcept {
    if (order.alphabetical) {
        const int r = CompareBytes(a.NameKey(), b.NameKey());
        return r != 0 ? r : CompareTotals(a, b);
    }
    if (order.directQualifiedFirst) {
        const bool da = a.Has(tnDirektQualifiziert), db = b.Has(tnDirektQualifiziert);
        if (da != db) return da ? -1 : 1;
    }
    if (a.Gesamtpunkte == 0 && b.Gesamtpunkte == 0) {
        const bool na = HasNoStart(a), nb = HasNoStart(b);
        if (na != nb) return na ? 1 : -1;
    }
    const int r = CompareTotals(a, b);
    return r != 0 ? r : CompareBytes(a.NameKey(), b.NameKey());
}

int TAltersklasse::Compare(const TTeilnehmer& a, const TTeilnehmer& b) const {
    return vm::Compare(DisplayOrder(Data), a, b);
}

void TAltersklasse::SortBy(const TParticipantOrder& order) {
    // Comparing and moving a unique_ptr cannot throw, and the stable sort merges in
    // place when it gets no buffer: it cannot stop half way with entries lost or the
    // list half sorted.
    std::stable_sort(items_.begin(), items_.end(),
                     [&order](const std::unique_ptr<TTeilnehmer>& a,
                              const std::unique_ptr<TTeilnehmer>& b) noexcept {
                         return vm::Compare(order, *a, *b) < 0;
                     });
}

bool TAltersklasse::InsertParticipant(std::unique_ptr<TTeilnehmer> p) {
    RecalcParticipant(*this, *p);
    bool ok = Insert(std::move(p));
    RankAgeClass(*this);
    return ok;
}

std::unique_ptr<TAltersklasse> NewAgeClass() {
    return std::make_unique<TAltersklasse>();
}

std::unique_ptr<TAltersklasse> CopyAgeClass(const TAltersklasse& source) {
    auto ac = std::make_unique<TAltersklasse>(source.Limit(), source.Delta());
    ac->Data = source.Data;
    ac->Duplicates = source.Duplicates;
    for (const TTeilnehmer& p : source)
        ac->Append(CopyParticipant(p));
    return ac;
}

void SetAgeClassData(TAltersklasse& ac, const TAltersklasseData& data) {
    ac.Data = data;
    RecalcAgeClass(ac);
}

std::string AgeClassTitle(const TAltersklasse& ac, bool withYears) {
    std::string t = "Altersklasse " + ac.Name();
    if (withYears)
        t += " (" + IntToText(ac.Data.JahrgangVon) + " - " + IntToText(ac.Data.JahrgangBis) + ")";
    return t;
}

bool BelongsTo(const TAltersklasse& ac, const TTeilnehmer& p) {
    return p.Altersklasse.View() == ac.Data.Bezeichnung.View() && p.Has(tnWeiblich) == IsFemale(ac);
}

void RecalcParticipant(const TAltersklasse& ac, TTeilnehmer& p) {
    p.Altersklasse.Set(ac.Data.Bezeichnung.View());
    p.SetFlag(tnWeiblich, IsFemale(ac));
    std::int64_t total = 0;
    bool valid = true;
    for (std::size_t i = 0; i < 5; ++i) {
        p.Punkte[i] = CalcPoints(p.Zeit[i], p.Abzug[i], ac.Data.Disziplinen[i]);
        total += p.Punkte[i];
        if (IsStatus(p.Abzug[i], TStatus::NichtAngetretenOW)) valid = false;
    }
    if (p.HLWPunkte >= 0) total += p.HLWPunkte;
    if (IsHlwStatus(p.HLWPunkte, TStatus::NichtAngetretenOW)) valid = false;
    if (!valid) total = 0;
    if (total > 2147483647LL) total = 2147483647LL;
    p.Gesamtpunkte = static_cast<std::int32_t>(total);
}

void RecalcAgeClass(TAltersklasse& ac) {
    for (TTeilnehmer& p : ac)
        RecalcParticipant(ac, p);
    ReportFormulaFaults(ac);
    RankAgeClass(ac);
}

void RankAgeClass(TAltersklasse& ac) {
    ac.SortBy(TParticipantOrder::Ranking());

    int next = 1, lastPlace = 1, position = 1;
    std::int32_t lastTotal = 0;
    for (TTeilnehmer& e : ac) {
        int place = next;
        if (e.Gesamtpunkte == lastTotal) place = lastPlace;
        lastTotal = e.Gesamtpunkte;
        lastPlace = place;
        ++next;
        if (e.Has(tnAusserKonkurrenz)) {
            next = lastPlace;
            place = position;
        }
        e.Platz = static_cast<std::int16_t>(place);
        ++position;
    }

    const TParticipantOrder display = DisplayOrder(ac.Data);
    if (display != TParticipantOrder::Ranking()) ac.SortBy(display);
    ResetBests(ac);
}

std::string FieldCell(const TAltersklasse& ac, int row, std::string_view key, bool withHundredths) {
    if (row == 0) return FieldCaption(key);
    if (row < 1 || row > ac.Count()) return "";
    return FieldText(*ac.At(row - 1), key, withHundredths);
}

} // namespace vm
