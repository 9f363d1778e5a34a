#include "io/VmAlt.h"

#include <array>
#include <limits>

namespace vm {

namespace {

constexpr std::int16_t TagParticipant = 1000;
constexpr std::int16_t TagAgeClass = 1001;
constexpr std::int16_t TagGliederung = 1002;

// How the reading of a list ended.
enum class TRead { Ok, WrongTag, Damaged };

template <std::size_t N> bool ReadBlock(TStream& s, std::array<std::uint8_t, N>& buf) {
    s.Read(buf.data(), N);
    return s.Status() == stOk;
}

bool ReadListHead(TStream& s, int& count, int& limit, int& delta) {
    count = s.ReadI16();
    limit = s.ReadI16();
    delta = s.ReadI16();
    return s.Status() == stOk && count >= 0 && count <= MaxCollectionSize;
}

std::int32_t Clamp32(long long v) {
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

// A time text (string[6]) at an offset of a block, in hundredths.
std::int32_t TimeTextAt(const std::uint8_t* block, std::size_t offset) {
    return TextToTime(ShortStrAt(block, offset, 6));
}

// An integer text at an offset; capacity is what the block leaves for it.
long long IntTextAt(const std::uint8_t* block, std::size_t offset, std::size_t capacity) {
    return TextToInt(ShortStrAt(block, offset, capacity));
}

// Copies a string[20] (21 bytes) with its length byte clamped.
void CopyShortStr20(std::uint8_t* to, const std::uint8_t* from) {
    std::memcpy(to, from, 21);
    if (to[0] > 20) to[0] = 20;
}

// ---- versions 1.5 and 1.0 -----------------------------------------------------------

void ConvertRecordEntryV15(const std::uint8_t* e, TRekordEintrag& r) {
    r = TRekordEintrag{};
    r.VorjahrZeit = TimeTextAt(e, 0);
    r.VorjahrAbzug = GetI16(e + 7);
    r.BestZeit = TimeTextAt(e, 9);
    r.BestAbzug = GetI16(e + 16);
    // The reserved bytes of the model entry start at its offset 12.
    std::memcpy(r.reserved.data() + 0, e + 18, 2);
    CopyShortStr20(r.reserved.data() + 2, e + 20);
    std::memcpy(r.reserved.data() + 24, e + 46, 50);
    // Model bytes 86..88 would lie beyond the legacy entry: they stay zero.
    r.reserved[77] = e[95];
}

void ConvertRecordEntryV10(const std::uint8_t* e, TRekordEintrag& r) {
    r = TRekordEintrag{};
    r.VorjahrZeit = TimeTextAt(e, 53);
    PutI16(r.reserved.data() + 0, static_cast<std::int16_t>(IntTextAt(e, 91, 4)));
    CopyShortStr20(r.reserved.data() + 2, e + 60);
    std::memcpy(r.reserved.data() + 24, e + 0, 53);
}

void ConvertTotalRecordV15(const std::uint8_t* e, TAltersklasseData& d) {
    d.RekordGesamtpunkte = Clamp32(IntTextAt(e, 0, 6) * 100);
    d.BestGesamtpunkte = Clamp32(IntTextAt(e, 9, 6) * 100);
    d.reserved.fill(0);
    std::memcpy(d.reserved.data() + 0, e + 18, 2);
    CopyShortStr20(d.reserved.data() + 2, e + 20);
    std::memcpy(d.reserved.data() + 24, e + 42, 53);
    d.reserved[77] = e[95];
}

void ConvertTotalRecordV10(const std::uint8_t* e, TAltersklasseData& d) {
    d.RekordGesamtpunkte = Clamp32(IntTextAt(e, 53, 6) * 100);
    d.BestGesamtpunkte = 0;
    d.reserved.fill(0);
    PutI16(d.reserved.data() + 0, static_cast<std::int16_t>(IntTextAt(e, 91, 4)));
    CopyShortStr20(d.reserved.data() + 2, e + 60);
    std::memcpy(d.reserved.data() + 24, e + 0, 53);
}

// The 464-byte age-class record of versions 1.5 and 1.0: every discipline is a
// linear one with V1 = A x 100 and V2 = B x 100.
void ConvertAgeClassRecord(const std::uint8_t* r, TAltersklasseData& d) {
    d = TAltersklasseData{};
    d.Bezeichnung.Read(r + 0);
    d.JahrgangVon = GetI16(r + 31);
    d.JahrgangBis = GetI16(r + 33);
    d.Eigenschaften = GetI16(r + 35);
    d.Disziplinenanzahl = GetI16(r + 37);
    for (int i = 0; i < d.DisciplineCount(); ++i) {
        const std::uint8_t* src = r + 39 + 85 * i;
        TDisziplin& disc = d.Disziplinen[static_cast<std::size_t>(i)];
        disc.Bezeichnung.Read(src);
        disc.Berechnungsart = baLinear;
        disc.V[0] = GetI16(src + 81) * 100;
        disc.V[1] = GetI16(src + 83) * 100;
    }
}

void ConvertParticipant(const std::uint8_t* r, bool v15, TTeilnehmer& p) {
    std::memcpy(p.head.data(), r, TTeilnehmer::HeadSize);
    p.Gliederung.Read(r + 53);
    p.Altersklasse.Read(r + 59);
    p.Eigenschaften = GetI16(r + 90);
    const std::size_t points = v15 ? 167 : 159;
    for (std::size_t i = 0; i < 5; ++i) {
        p.Zeit[i] = TimeTextAt(r, 92 + 7 * i);
        p.Abzug[i] = GetI16(r + 127 + 2 * i);
        p.Lauf[i] = GetI16(r + 137 + 2 * i);
        p.Bahn[i] = GetI16(r + 147 + 2 * i);
        p.Punkte[i] = GetI16(r + points + 2 * i) * 100;
    }
    p.HLWPunkte = GetI16(r + 157) * 100;
    p.Gesamtpunkte = GetI16(r + (v15 ? 177 : 169)) * 100;
    p.Platz = GetI16(r + (v15 ? 179 : 171));
}

// The header of versions 1.5 and 1.0: the first 411 bytes of today's header (up to
// the pool length); the HLW stations, the first reserved byte behind them and the
// second reserved block are cleared.
void SetOldHeader(TWettkampf& c, const std::uint8_t* old, std::size_t n) {
    std::array<std::uint8_t, TWettkampfHeader::Size> h{};
    c.Header.Write(h.data());
    std::memcpy(h.data(), old, std::min(n, OldHeaderSize));
    c.Header.Read(h.data());
    c.Header.HLWStationen = 0;
    c.Header.reserved1[0] = 0;
    c.Header.reserved2.fill(0);
}

TRead ReadOldAgeClass(TStream& s, TWettkampf& c, bool v15) {
    std::array<std::uint8_t, OldAgeClassSize> rec{};
    if (!ReadBlock(s, rec)) return TRead::Damaged;
    auto ac = NewAgeClass();
    ConvertAgeClassRecord(rec.data(), ac->Data);

    std::array<std::uint8_t, OldRecordEntrySize> entry{};
    for (auto& r : ac->Data.Rekorde) {
        if (!ReadBlock(s, entry)) return TRead::Damaged;
        if (v15)
            ConvertRecordEntryV15(entry.data(), r);
        else
            ConvertRecordEntryV10(entry.data(), r);
    }
    if (!ReadBlock(s, entry)) return TRead::Damaged;
    if (v15)
        ConvertTotalRecordV15(entry.data(), ac->Data);
    else
        ConvertTotalRecordV10(entry.data(), ac->Data);

    int count = 0, limit = 0, delta = 0;
    if (!ReadListHead(s, count, limit, delta)) return TRead::Damaged;
    std::array<std::uint8_t, OldParticipantSizeV15> prec{};
    const std::size_t size = v15 ? OldParticipantSizeV15 : OldParticipantSizeV10;
    TRead result = TRead::Ok;
    for (int i = 0; i < count; ++i) {
        const std::int16_t tag = s.ReadI16();
        if (s.Status() != stOk) return TRead::Damaged;
        if (tag != TagParticipant) {
            result = TRead::WrongTag;
            break;
        }
        s.Read(prec.data(), size);
        if (s.Status() != stOk) return TRead::Damaged;
        auto p = NewParticipant();
        ConvertParticipant(prec.data(), v15, *p);
        ac->Insert(std::move(p));
    }
    if (result == TRead::Ok) {
        s.ReadU8(); // the duplicates switch; participants always allow duplicates
        if (s.Status() != stOk) return TRead::Damaged;
    }
    // An age class cut short by a wrong tag keeps the participants read before it.
    RecalcAgeClass(*ac);
    c.InsertAgeClass(std::move(ac));
    return result;
}

TRead ReadOldGliederungen(TStream& s, TWettkampf& c) {
    int count = 0, limit = 0, delta = 0;
    if (!ReadListHead(s, count, limit, delta)) return TRead::Damaged;
    if (delta == 0) delta = 10;
    c.Gliederungen.FreeAll();
    c.Gliederungen.SetLimit(limit);
    c.Gliederungen.SetDelta(delta);
    c.Gliederungen.Mode = 0;
    std::array<std::uint8_t, TGliederungStat::Size> rec{};
    for (int i = 0; i < count; ++i) {
        const std::int16_t tag = s.ReadI16();
        if (s.Status() != stOk) return TRead::Damaged;
        if (tag != TagGliederung) return TRead::WrongTag;
        if (!ReadBlock(s, rec)) return TRead::Damaged;
        auto g = std::make_unique<TGliederungStat>();
        g->Read(rec.data());
        c.Gliederungen.Insert(std::move(g));
    }
    s.ReadU8();
    c.Gliederungen.Flag = 0;
    return s.Status() == stOk ? TRead::Ok : TRead::Damaged;
}

// Everything after the header of versions 1.5 and 1.0.
bool ReadOldBody(TStream& s, TWettkampf& c, bool v15) {
    c.FreeAll();
    int count = 0, limit = 0, delta = 0;
    if (!ReadListHead(s, count, limit, delta)) return false;
    for (int i = 0; i < count; ++i) {
        const std::int16_t tag = s.ReadI16();
        if (s.Status() != stOk) return false;
        if (tag != TagAgeClass) return true;
        const TRead r = ReadOldAgeClass(s, c, v15);
        if (r == TRead::Damaged) return false;
        if (r == TRead::WrongTag) return true;
    }
    s.ReadU8(); // the duplicates switch; age classes never allow duplicates
    if (s.Status() != stOk) return false;
    return ReadOldGliederungen(s, c) != TRead::Damaged;
}

// ---- the sibling program ------------------------------------------------------------

void ConvertTpnAgeClass(const std::uint8_t* r, int number, TAltersklasseData& d) {
    d = TAltersklasseData{};
    d.Bezeichnung.Read(r + 0);
    d.JahrgangVon = GetI16(r + 31);
    d.JahrgangBis = GetI16(r + 35);
    std::int16_t flags = 0;
    if (number % 2 == 0) flags |= akWeiblich;
    // Every class but the first of the file is scored with HLW.
    if (number >= 2) flags |= akHLW;
    d.Eigenschaften = flags;
    int count = 0;
    for (std::size_t i = 0; i < 5; ++i) {
        const std::uint8_t* src = r + 39 + 85 * i;
        if (ShortStrAt(src, 0, 80).empty()) continue;
        TDisziplin& disc = d.Disziplinen[i];
        disc.Bezeichnung.Read(src);
        disc.Berechnungsart = baLinear;
        disc.V[0] = Clamp32(static_cast<long long>(GetI32(src + 81)) * 100);
        disc.V[1] = 100;
        ++count;
    }
    d.Disziplinenanzahl = static_cast<std::int16_t>(count);
}

void ConvertTpnParticipant(const std::uint8_t* r, bool individual, TTeilnehmer& p) {
    if (individual) {
        p.SetName(ShortStrAt(r, 0, 20));
        p.SetVorname(ShortStrAt(r, 21, 20));
        p.SetGeburtsdatum(ShortStrAt(r, 42, 10));
    } else {
        p.SetMannschaft(ShortStrAt(r, 0, 30));
        p.SetZusatz(ShortStrAt(r, 21, 21));
    }
    p.Gliederung.Set(ShortStrAt(r, 61, 5));
    p.Altersklasse.Set(ShortStrAt(r, 65, 30));
    p.Eigenschaften = GetI16(r + 101);
    for (std::size_t i = 0; i < 5; ++i) {
        p.Lauf[i] = GetI16(r + 103 + 2 * i);
        p.Bahn[i] = GetI16(r + 113 + 2 * i);
        p.Zeit[i] = TimeTextAt(r, 123 + 7 * i);
        // Status -2 costs a penalty point, -1 disqualifies; other codes mean nothing here.
        const std::int16_t status = GetI16(r + 158 + 2 * i);
        p.Abzug[i] = status == -2 ? 1 : status == -1 ? PenaltyCode(TStatus::Disq) : 0;
        p.Punkte[i] = GetI16(r + 168 + 2 * i) * 100;
    }
    p.HLWPunkte = GetI16(r + 178) * 100;
    p.Gesamtpunkte = GetI16(r + 180) * 100;
    p.Platz = GetI16(r + 182);
}

// Files a sibling participant; a refused female entry is tried once more as male
// (the sibling program did not always keep the sex of an entry and its class equal).
void AddTpnParticipant(TWettkampf& c, std::unique_ptr<TTeilnehmer> p) {
    if (!p->Has(tnWeiblich)) {
        AddParticipant(c, std::move(p));
        return;
    }
    auto second = CopyParticipant(*p);
    bool filed = false;
    std::vector<std::string> messages;
    {
        TMessageCapture quiet;
        filed = AddParticipant(c, std::move(p));
        messages = quiet.Messages();
    }
    if (filed) {
        for (const auto& m : messages)
            ShowMessage(m);
        return;
    }
    second->SetFlag(tnWeiblich, false);
    AddParticipant(c, std::move(second));
}

} // namespace

std::string TpnTitle(int kind, int level) {
    static const char* const levels[] = {"Ortsgruppenebene ", "Bezirksebene ", "Landesebene ",
                                         "Bundesebene "};
    const bool team = kind == 1 || kind == 3;
    std::string title = team ? "Mannschafts" : "Einzel";
    title += (kind == 2 || kind == 3) ? "wettkämpfe"_oem : "meisterschaften";
    title += " auf ";
    if (level >= 0 && level <= 3) title += levels[level];
    if (title.size() > 80) title.resize(80);
    return title;
}

bool ReadV15(TStream& s, TWettkampf& into) {
    s.Seek(static_cast<std::int64_t>(SignatureSize));
    std::array<std::uint8_t, OldHeaderSize> h{};
    if (s.Status() != stOk || !ReadBlock(s, h)) return false;
    SetOldHeader(into, h.data(), h.size());
    return ReadOldBody(s, into, true);
}

bool ReadV10(TStream& s, TWettkampf& into) {
    s.Seek(static_cast<std::int64_t>(SignatureSize));
    const std::int16_t size = s.ReadI16();
    if (s.Status() != stOk || size < 0) return false;
    std::array<std::uint8_t, OldHeaderSize> h{};
    const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(size), h.size());
    s.Read(h.data(), take);
    if (s.Status() != stOk) return false;
    SetOldHeader(into, h.data(), take);
    s.Seek(static_cast<std::int64_t>(SignatureSize) + 2 + size);
    if (s.Status() != stOk) return false;
    return ReadOldBody(s, into, false);
}

bool ReadTpn(TStream& s, TWettkampf& into) {
    s.Seek(static_cast<std::int64_t>(SignatureSize));
    std::array<std::uint8_t, TpnHeaderSize> h{};
    if (s.Status() != stOk || !ReadBlock(s, h)) return false;
    const int kind = GetI16(h.data() + 0);
    const int level = GetI16(h.data() + 2);

    // Everything behind the HLW stations is cleared.
    TWettkampfHeader& w = into.Header;
    w.reserved1.fill(0);
    w.Optionen = w.HLWDauer = w.HLWMassnahmen = 0;
    w.reserved2.fill(0);
    w.Art = (kind == 1 || kind == 3) ? wkMannschaft : wkEinzel;
    w.Veranstaltung.Set(TpnTitle(kind, level));
    w.Startplaetze = static_cast<std::int16_t>(GetI16(h.data() + 4) + 1);
    w.Beckenlaenge = GetI16(h.data() + 6);
    w.Veranstaltungsstaette.Set(ShortStrAt(h.data(), 8, 80));
    w.Veranstalter.Set(ShortStrAt(h.data(), 89, 80));
    w.Ausrichter.Set(ShortStrAt(h.data(), 89, 80));
    w.Datum.Set(ShortStrAt(h.data(), 170, 80));
    w.HLWStationen = 0;

    into.FreeAll();
    std::array<std::uint8_t, OldAgeClassSize> rec{};
    for (int n = 1; n <= TpnAgeClassCount; ++n) {
        if (!ReadBlock(s, rec)) return false;
        if (ShortStrAt(rec.data(), 0, 30).empty()) continue;
        auto ac = NewAgeClass();
        ConvertTpnAgeClass(rec.data(), n, ac->Data);
        into.InsertAgeClass(std::move(ac));
    }

    const bool individual = IsSingleCompetition(into);
    const std::int64_t size = s.GetSize();
    std::array<std::uint8_t, TpnParticipantSize> prec{};
    while (s.GetPos() < size) {
        // A piece shorter than a record at the end is a truncated file.
        if (!ReadBlock(s, prec)) return false;
        auto p = NewParticipant();
        ConvertTpnParticipant(prec.data(), individual, *p);
        AddTpnParticipant(into, std::move(p));
    }
    return true;
}

bool ReadOldResult(TResultKind kind, TStream& s, TWettkampf& into) {
    switch (kind) {
    case TResultKind::V15:
        return ReadV15(s, into);
    case TResultKind::V10:
        return ReadV10(s, into);
    case TResultKind::TPN:
        return ReadTpn(s, into);
    default:
        return false;
    }
}

} // namespace vm
