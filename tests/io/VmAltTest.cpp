// Readers of older result files (versions 1.5 and 1.0, the sibling program's 3.0).
// The fixtures are assembled byte by byte in the older layouts.
#include "io/VmAlt.h"
#include "file/VmErg.h"
#include "io/VmImport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace vm {
namespace {

struct TBytes {
    std::string b;
    TBytes& U8(int v) {
        b += static_cast<char>(v & 0xFF);
        return *this;
    }
    TBytes& I16(int v) {
        const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
        return U8(u & 0xFF).U8(u >> 8);
    }
    TBytes& I32(std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        return I16(static_cast<int>(u & 0xFFFF)).I16(static_cast<int>(u >> 16));
    }
    // string[cap]: a length byte, the text, zeros up to the capacity.
    TBytes& Str(std::string_view text, std::size_t cap) {
        EXPECT_LE(text.size(), cap) << text;
        U8(static_cast<int>(text.size()));
        std::string t(text);
        t.resize(cap, '\0');
        b += t;
        return *this;
    }
    TBytes& Raw(std::string_view bytes) {
        b += bytes;
        return *this;
    }
    TBytes& Fill(std::size_t n, int start) {
        for (std::size_t i = 0; i < n; ++i)
            U8(start + static_cast<int>(i));
        return *this;
    }
    TBytes& Zero(std::size_t n) {
        b.append(n, '\0');
        return *this;
    }
    std::size_t Size() const { return b.size(); }
};

const std::string kSigV15(SignatureV15);
const std::string kSigV10(SignatureV10);
const std::string kSigTpn(SignatureTPN);

// ---- versions 1.5 and 1.0 ----------------------------------------------------------

std::string OldHeader(std::string_view title) {
    TBytes h;
    h.Str(title, 80)
        .I16(0)
        .Str("LV Bayern", 80)
        .Str("OG Musterstadt", 80)
        .Str("1.-2. Mai 1994", 80)
        .Str("Hallenbad", 80)
        .I16(4)
        .I16(1);
    EXPECT_EQ(h.Size(), OldHeaderSize);
    return h.b;
}

struct TOldDisc {
    std::string name;
    int a = 0, b = 0;
};

std::string OldAgeClass(std::string_view name, int von, int bis, int flags,
                        std::vector<TOldDisc> discs, int lengthByte = -1) {
    TBytes r;
    if (lengthByte >= 0) {
        r.U8(lengthByte).Raw(std::string(name)).Zero(30 - name.size());
    } else {
        r.Str(name, 30);
    }
    r.I16(von).I16(bis).I16(flags).I16(static_cast<int>(discs.size()));
    for (std::size_t i = 0; i < 5; ++i) {
        if (i < discs.size())
            r.Str(discs[i].name, 80).I16(discs[i].a).I16(discs[i].b);
        else
            r.Zero(85);
    }
    EXPECT_EQ(r.Size(), OldAgeClassSize);
    return r.b;
}

// A version 1.5 record entry: record time and penalty, best time and penalty, a
// 16-bit value, a string[20], filler, and 50 bytes counting up from `mark`.
std::string RecordEntryV15(std::string_view prev, int prevPen, std::string_view best, int bestPen,
                           int mark) {
    TBytes e;
    e.Str(prev, 6)
        .I16(prevPen)
        .Str(best, 6)
        .I16(bestPen)
        .I16(0x1234)
        .Str("Rekordhalter", 20)
        .Zero(5)
        .Fill(50, mark);
    EXPECT_EQ(e.Size(), 96u);
    return e.b;
}

std::string TotalRecordV15(std::string_view record, std::string_view best) {
    TBytes e;
    e.Str(record, 6)
        .Zero(2)
        .Str(best, 6)
        .Zero(2)
        .I16(0x0203)
        .Str("Gesamtrekord", 20)
        .Zero(1)
        .Fill(53, 100)
        .U8(0xEE);
    EXPECT_EQ(e.Size(), 96u);
    return e.b;
}

// A version 1.0 entry: 53 bytes counting up, the time or integer text at 53, a
// string[20] at 60, filler, an integer text at 91.
std::string EntryV10(std::string_view text, std::string_view number) {
    TBytes e;
    e.Fill(53, 1).Str(text, 6).Str("Halter alt", 20).Zero(10).Str(number, 4);
    EXPECT_EQ(e.Size(), 96u);
    return e.b;
}

struct TOldPart {
    std::string name, first, born, glied, ak;
    int flags = tnMeldet;
    std::array<std::string, 5> times{};
    std::array<int, 5> pen{}, heat{}, lane{}, points{};
    int hlw = 0, total = 0, place = 0;
    int tag = 1000;
};

std::string OldParticipant(const TOldPart& p, bool v15) {
    TBytes r;
    r.Str(p.name, 20).Str(p.first, 20).Str(p.born, 10).Str(p.glied, 5).Str(p.ak, 30).I16(p.flags);
    for (auto& t : p.times)
        r.Str(t, 6);
    for (int v : p.pen)
        r.I16(v);
    for (int v : p.heat)
        r.I16(v);
    for (int v : p.lane)
        r.I16(v);
    r.I16(p.hlw);
    if (v15) r.Fill(8, 0xA0); // not read
    for (int v : p.points)
        r.I16(v);
    r.I16(p.total).I16(p.place);
    EXPECT_EQ(r.Size(), v15 ? OldParticipantSizeV15 : OldParticipantSizeV10);
    return r.b;
}

struct TOldClass {
    std::string record; // 464 bytes
    std::vector<TOldPart> parts;
    int tag = 1001;
};

struct TOldFile {
    bool v15 = true;
    int headerSize = 411; // version 1.0 only
    std::string title = "Bezirksmeisterschaften 1994";
    std::vector<TOldClass> classes;
    std::vector<std::pair<std::string, std::string>> glied;
    std::vector<int> gliedTags;
    int gliedDelta = 0;

    std::string Bytes() const {
        TBytes f;
        if (v15) {
            f.Raw(kSigV15).Raw(OldHeader(title));
        } else {
            f.Raw(kSigV10).I16(headerSize);
            std::string h = OldHeader(title);
            h.resize(static_cast<std::size_t>(headerSize), '\x55');
            f.Raw(h);
        }
        f.I16(static_cast<int>(classes.size())).I16(20).I16(5);
        for (const auto& c : classes) {
            f.I16(c.tag).Raw(c.record);
            for (int i = 0; i < 5; ++i)
                f.Raw(v15 ? RecordEntryV15(i == 0 ? "0:30,5" : "", 2, "0:29,0", 1, 10 * i)
                          : EntryV10(i == 0 ? "0:31,2" : "", "77"));
            f.Raw(v15 ? TotalRecordV15("1800", "1750") : EntryV10("1700", "-5"));
            f.I16(static_cast<int>(c.parts.size())).I16(10).I16(10);
            for (const auto& p : c.parts)
                f.I16(p.tag).Raw(OldParticipant(p, v15));
            f.U8(1);
        }
        f.U8(0);
        f.I16(static_cast<int>(glied.size())).I16(4).I16(gliedDelta);
        for (std::size_t i = 0; i < glied.size(); ++i) {
            TBytes g;
            g.Str(glied[i].first, 5).Str(glied[i].second, 30).I16(3).Zero(60);
            EXPECT_EQ(g.Size(), 99u);
            f.I16(i < gliedTags.size() ? gliedTags[i] : 1002).Raw(g.b);
        }
        f.U8(0);
        return f.b;
    }
};

TOldPart Part(std::string name, std::string first, std::string ak, int flags) {
    TOldPart p;
    p.name = std::move(name);
    p.first = std::move(first);
    p.ak = std::move(ak);
    p.flags = flags;
    p.born = "12.03.91";
    p.glied = "BY";
    return p;
}

TOldFile SampleOld(bool v15) {
    TOldFile f;
    f.v15 = v15;
    TOldClass w;
    w.record = OldAgeClass("AK 13/14w", 1990, 1991, akWeiblich,
                           {{"50m Hindernisschwimmen", 1350, 1}, {"50m Retten", 1500, 1}});
    TOldPart anna = Part("Meier", "Anna", "AK 13/14w", tnWeiblich | tnMeldet);
    anna.times = {"0:35,1", "0:50,0", "", "", ""};
    anna.pen = {2, -1, 0, 0, 0};
    anna.heat = {3, 1, 0, 0, 0};
    anna.lane = {4, 5, 0, 0, 0};
    anna.hlw = 12;
    anna.points = {900, 0, 0, 0, 0};
    anna.total = 999;
    anna.place = 7;
    w.parts = {anna, Part("Schulz", "Eva", "AK 13/14w", tnWeiblich | tnMeldet)};
    TOldClass m;
    m.record = OldAgeClass("AK 13/14m", 1990, 1991, akHLW, {{"50m Freistil", 1400, 1}});
    m.parts = {Part("Weber", "Tom", "AK 13/14m", tnMeldet)};
    f.classes = {w, m};
    f.glied = {{"BY", "Bayern"}, {"BE", "Berlin"}};
    return f;
}

const TTeilnehmer* Find(const TWettkampf& c, std::string_view name) {
    for (const TAltersklasse& ac : c)
        for (const TTeilnehmer& p : ac)
            if (p.NameKey() == name) return &p;
    return nullptr;
}

// Reads through the result file's own dispatch.
bool ReadBytes(const std::string& bytes, TWettkampf& into) {
    InstallImporters();
    TMemoryStream s(bytes);
    return ReadResultStream(s, into);
}

TEST(OldResultV15, ReadsHeaderClassesParticipantsAndGliederungen) {
    TWettkampf c;
    TMessageCapture messages;
    ASSERT_TRUE(ReadBytes(SampleOld(true).Bytes(), c));
    EXPECT_TRUE(messages.Messages().empty());

    EXPECT_EQ(c.Header.Veranstaltung.Get(), "Bezirksmeisterschaften 1994");
    EXPECT_EQ(c.Header.Veranstalter.Get(), "LV Bayern");
    EXPECT_EQ(c.Header.Ausrichter.Get(), "OG Musterstadt");
    EXPECT_EQ(c.Header.Datum.Get(), "1.-2. Mai 1994");
    EXPECT_EQ(c.Header.Veranstaltungsstaette.Get(), "Hallenbad");
    EXPECT_EQ(c.Header.Art, wkEinzel);
    EXPECT_EQ(c.Header.Startplaetze, 4);
    EXPECT_EQ(c.Header.Beckenlaenge, 1);
    EXPECT_EQ(c.Header.HLWStationen, 0);
    EXPECT_EQ(c.Header.Optionen, 0);

    ASSERT_EQ(c.Count(), 2);
    const TAltersklasse& w = *c.At(0);
    EXPECT_EQ(w.Name(), "AK 13/14w");
    EXPECT_EQ(w.Data.JahrgangVon, 1990);
    EXPECT_EQ(w.Data.JahrgangBis, 1991);
    EXPECT_TRUE(IsFemale(w));
    EXPECT_EQ(w.Data.Disziplinenanzahl, 2);
    EXPECT_EQ(w.Discipline(0).Bezeichnung.Get(), "50m Hindernisschwimmen");
    EXPECT_EQ(w.Discipline(1).Berechnungsart, baLinear);
    EXPECT_EQ(w.Discipline(1).V[0], 150000);
    EXPECT_EQ(w.Discipline(1).V[1], 100);
    EXPECT_EQ(w.Discipline(1).V[2], 0);
    EXPECT_TRUE(w.Discipline(2).IsEmpty());
    EXPECT_TRUE(HasHLW(*c.At(1)));

    // Record entry: times from their texts, the rest into the reserved bytes; the
    // three bytes the legacy entry cannot give stay zero.
    const TRekordEintrag& r = w.Data.Rekorde[0];
    EXPECT_EQ(r.VorjahrZeit, 3050);
    EXPECT_EQ(r.VorjahrAbzug, 2);
    EXPECT_EQ(r.reserved[0], 0x34);
    EXPECT_EQ(r.reserved[1], 0x12);
    EXPECT_EQ(r.reserved[2], 12);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.reserved.data() + 3), 12),
              "Rekordhalter");
    EXPECT_EQ(r.reserved[23], 0);
    for (std::size_t i = 0; i < 50; ++i)
        EXPECT_EQ(r.reserved[24 + i], i) << i;
    EXPECT_EQ(r.reserved[74], 0);
    EXPECT_EQ(r.reserved[75], 0);
    EXPECT_EQ(r.reserved[76], 0);
    EXPECT_EQ(r.reserved[77], 49);
    EXPECT_EQ(w.Data.Rekorde[1].reserved[77], 59);
    EXPECT_EQ(w.Data.RekordGesamtpunkte, 180000);
    EXPECT_EQ(w.Data.reserved[0], 0x03);
    EXPECT_EQ(w.Data.reserved[1], 0x02);
    EXPECT_EQ(w.Data.reserved[2], 12);
    EXPECT_EQ(w.Data.reserved[24], 100);
    EXPECT_EQ(w.Data.reserved[76], 152);
    EXPECT_EQ(w.Data.reserved[77], 0xEE);

    const TTeilnehmer* anna = Find(c, "Meier");
    ASSERT_NE(anna, nullptr);
    EXPECT_EQ(anna->Vorname(), "Anna");
    EXPECT_EQ(anna->Geburtsdatum(), "12.03.91");
    EXPECT_EQ(anna->Gliederung.Get(), "BY");
    EXPECT_TRUE(anna->Has(tnWeiblich));
    EXPECT_EQ(anna->Zeit[0], 3510);
    EXPECT_EQ(anna->Zeit[1], 5000);
    EXPECT_EQ(anna->Abzug[0], 2);
    EXPECT_EQ(anna->Abzug[1], -1);
    EXPECT_EQ(anna->Lauf[0], 3);
    EXPECT_EQ(anna->Bahn[1], 5);
    EXPECT_EQ(anna->HLWPunkte, 1200);
    EXPECT_EQ(anna->Startzeit, 0);
    // Points, total and place are computed again: 1350 - 351,0 - 2 = 997,00 plus HLW 12.
    EXPECT_EQ(anna->Punkte[0], 99700);
    EXPECT_EQ(anna->Gesamtpunkte, 99700 + 1200);
    EXPECT_EQ(anna->Platz, 1);
    EXPECT_NE(Find(c, "Schulz"), nullptr);
    EXPECT_NE(Find(c, "Weber"), nullptr);

    ASSERT_EQ(c.Gliederungen.Count(), 2);
    EXPECT_EQ(c.Gliederungen.Delta(), 10); // stored as 0
    EXPECT_EQ(c.Gliederungen.At(0)->Kurz.Get(), "BE");
    EXPECT_EQ(c.Gliederungen.At(1)->Name.Get(), "Bayern");
}

TEST(OldResultV15, WrongTagsKeepWhatWasReadBefore) {
    {
        TOldFile f = SampleOld(true);
        TOldPart bad = Part("Nach", "Falsch", "AK 13/14m", 0);
        bad.tag = 999;
        f.classes[1].parts.push_back(bad);
        f.classes[1].parts.push_back(Part("Nie", "Gelesen", "AK 13/14m", 0));
        TWettkampf c;
        TMessageCapture messages;
        ASSERT_TRUE(ReadBytes(f.Bytes(), c));
        EXPECT_TRUE(messages.Messages().empty());
        ASSERT_EQ(c.Count(), 2);
        EXPECT_EQ(c.At(0)->Count(), 2);
        EXPECT_EQ(c.At(1)->Count(), 1);
        EXPECT_EQ(Find(c, "Nie"), nullptr);
        EXPECT_EQ(c.Gliederungen.Count(), 0);
    }
    {
        TOldFile f = SampleOld(true);
        f.classes[1].tag = 1000;
        TWettkampf c;
        ASSERT_TRUE(ReadBytes(f.Bytes(), c));
        ASSERT_EQ(c.Count(), 1);
        EXPECT_EQ(c.At(0)->Name(), "AK 13/14w");
    }
    {
        TOldFile f = SampleOld(true);
        f.gliedTags = {1002, 1001};
        TWettkampf c;
        ASSERT_TRUE(ReadBytes(f.Bytes(), c));
        EXPECT_EQ(c.Count(), 2);
        ASSERT_EQ(c.Gliederungen.Count(), 1);
        EXPECT_EQ(c.Gliederungen.At(0)->Kurz.Get(), "BY");
    }
}

TEST(OldResultV15, DamagedFilesFail) {
    const std::string good = SampleOld(true).Bytes();
    // Every truncation fails (the last byte belongs to the Gliederung list).
    for (std::size_t n = 0; n < good.size(); ++n) {
        TWettkampf c;
        TMessageCapture quiet;
        EXPECT_FALSE(ReadBytes(good.substr(0, n), c)) << n;
    }
    {
        // An age-class count of -1.
        std::string bytes = SampleOld(true).Bytes();
        bytes[38 + 411] = '\xFF';
        bytes[38 + 412] = '\xFF';
        TWettkampf c;
        EXPECT_FALSE(ReadBytes(bytes, c));
    }
    {
        // A length byte above the capacity is read as the capacity.
        TOldFile f = SampleOld(true);
        f.classes[1].record =
            OldAgeClass("AK 13/14m", 1990, 1991, 0, {{"50m Freistil", 1400, 1}}, 0xFF);
        TWettkampf c;
        ASSERT_TRUE(ReadBytes(f.Bytes(), c));
        EXPECT_EQ(c.At(1)->Name().size(), 30u);
        EXPECT_EQ(c.At(1)->Name().substr(0, 9), "AK 13/14m");
    }
}

TEST(OldResultV10, ReadsItsOwnLayout) {
    TOldFile f = SampleOld(false);
    f.headerSize = 420; // nine bytes of a longer header are skipped
    TWettkampf c;
    TMessageCapture messages;
    ASSERT_TRUE(ReadBytes(f.Bytes(), c));
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(c.Header.Veranstaltung.Get(), "Bezirksmeisterschaften 1994");
    EXPECT_EQ(c.Header.HLWStationen, 0);
    ASSERT_EQ(c.Count(), 2);
    const TAltersklasse& w = *c.At(0);
    EXPECT_EQ(w.Data.Rekorde[0].VorjahrZeit, 3120);
    EXPECT_EQ(w.Data.Rekorde[0].VorjahrAbzug, 0);
    EXPECT_EQ(w.Data.Rekorde[0].reserved[0], 77);
    EXPECT_EQ(w.Data.Rekorde[0].reserved[1], 0);
    EXPECT_EQ(w.Data.Rekorde[0].reserved[2], 10);
    EXPECT_EQ(w.Data.Rekorde[0].reserved[24], 1);
    EXPECT_EQ(w.Data.Rekorde[0].reserved[76], 53);
    EXPECT_EQ(w.Data.Rekorde[0].reserved[77], 0);
    EXPECT_EQ(w.Data.RekordGesamtpunkte, 170000);
    EXPECT_EQ(w.Data.reserved[0], 0xFB); // -5
    EXPECT_EQ(w.Data.reserved[1], 0xFF);
    EXPECT_EQ(w.Data.reserved[24], 1);
    EXPECT_EQ(w.Data.reserved[77], 0);

    const TTeilnehmer* anna = Find(c, "Meier");
    ASSERT_NE(anna, nullptr);
    EXPECT_EQ(anna->Zeit[0], 3510);
    EXPECT_EQ(anna->Abzug[1], -1);
    EXPECT_EQ(anna->HLWPunkte, 1200);
    EXPECT_EQ(anna->Gesamtpunkte, 99700 + 1200);
    EXPECT_EQ(c.Gliederungen.Count(), 2);

    // A header size below 411 takes what there is.
    TOldFile s = SampleOld(false);
    s.headerSize = 0;
    TWettkampf d;
    ASSERT_TRUE(ReadBytes(s.Bytes(), d));
    EXPECT_EQ(d.Header.Veranstaltung.Get(), "");
    EXPECT_EQ(d.Count(), 2);
}

// ---- the sibling program -----------------------------------------------------------

std::string TpnAgeClass(std::string_view name, int von, int bis,
                        std::vector<std::pair<std::string, int>> discs) {
    TBytes r;
    r.Str(name, 30).I16(von).I16(0).I16(bis).I16(0);
    for (std::size_t i = 0; i < 5; ++i) {
        if (i < discs.size())
            r.Str(discs[i].first, 80).I32(discs[i].second);
        else
            r.Zero(85);
    }
    EXPECT_EQ(r.Size(), OldAgeClassSize);
    return r.b;
}

struct TTpnPart {
    std::string name, first, born, glied, ak;
    int flags = tnMeldet;
    std::array<int, 5> heat{}, lane{}, status{}, points{};
    std::array<std::string, 5> times{};
    int hlw = 0, total = 0, place = 0;
};

std::string TpnParticipant(const TTpnPart& p) {
    TBytes r;
    r.Str(p.name, 20)
        .Str(p.first, 20)
        .Str(p.born, 10)
        .Zero(8)
        .Str(p.glied, 3)
        .Str(p.ak, 30)
        .Zero(5)
        .I16(p.flags);
    for (int v : p.heat)
        r.I16(v);
    for (int v : p.lane)
        r.I16(v);
    for (auto& t : p.times)
        r.Str(t, 6);
    for (int v : p.status)
        r.I16(v);
    for (int v : p.points)
        r.I16(v);
    r.I16(p.hlw).I16(p.total).I16(p.place);
    EXPECT_EQ(r.Size(), TpnParticipantSize);
    return r.b;
}

std::string TpnFile(int kind, int level, const std::vector<TTpnPart>& parts) {
    TBytes f;
    f.Raw(kSigTpn)
        .I16(kind)
        .I16(level)
        .I16(3)
        .I16(1)
        .Str("Stadtbad", 80)
        .Str("Velbund Bezirk Nord", 80)
        .Str("3. Juni 1990", 80)
        .Zero(2);
    EXPECT_EQ(f.Size(), 38 + TpnHeaderSize);
    f.Raw(
        TpnAgeClass("Herren", 1950, 1975, {{"100m Retten", 1200}, {"", 0}, {"50m Flossen", 900}}));
    f.Raw(TpnAgeClass("Damen", 1950, 1975, {{"100m Retten", 1300}}));
    for (int n = 3; n <= TpnAgeClassCount; ++n)
        f.Raw(TpnAgeClass("", 0, 0, {}));
    EXPECT_EQ(f.Size(), 7715u);
    for (const auto& p : parts)
        f.Raw(TpnParticipant(p));
    return f.b;
}

TTpnPart TpnPart(std::string name, std::string first, std::string ak, int flags) {
    TTpnPart p;
    p.name = std::move(name);
    p.first = std::move(first);
    p.ak = std::move(ak);
    p.flags = flags;
    p.born = "1970";
    p.glied = "NI";
    return p;
}

std::vector<TTpnPart> TpnParts() {
    TTpnPart hans = TpnPart("Meier", "Hans", "Herren", tnMeldet);
    hans.heat = {2, 0, 1, 0, 0};
    hans.lane = {3, 0, 4, 0, 0};
    hans.times = {"1:05,3", "", "0:40,0", "", ""};
    hans.status = {-2, -1, 5, 0, 0};
    hans.hlw = 40;
    return {hans, TpnPart("Schmidt", "Eva", "Damen", tnMeldet | tnWeiblich),
            TpnPart("Falsch", "Ute", "Herren", tnMeldet | tnWeiblich),
            TpnPart("Fremd", "Udo", "Junioren", tnMeldet)};
}

TEST(OldResultTpn, ReadsHeaderClassesAndParticipants) {
    TWettkampf c;
    TMessageCapture messages;
    ASSERT_TRUE(ReadBytes(TpnFile(0, 1, TpnParts()), c));
    EXPECT_EQ(c.Header.Art, wkEinzel);
    EXPECT_EQ(c.Header.Veranstaltung.Get(), "Einzelmeisterschaften auf Bezirksebene ");
    EXPECT_EQ(c.Header.Startplaetze, 4);
    EXPECT_EQ(c.Header.Beckenlaenge, 1);
    EXPECT_EQ(c.Header.Veranstaltungsstaette.Get(), "Stadtbad");
    EXPECT_EQ(c.Header.Veranstalter.Get(), "Velbund Bezirk Nord");
    EXPECT_EQ(c.Header.Ausrichter.Get(), "Velbund Bezirk Nord");
    EXPECT_EQ(c.Header.Datum.Get(), "3. Juni 1990");
    EXPECT_EQ(c.Header.HLWStationen, 0);

    ASSERT_EQ(c.Count(), 2);
    const TAltersklasse* damen = c.FindAgeClass("Damen", true);
    const TAltersklasse* herren = c.FindAgeClass("Herren", false);
    ASSERT_NE(damen, nullptr);
    ASSERT_NE(herren, nullptr);
    EXPECT_TRUE(HasHLW(*damen));   // class 2
    EXPECT_FALSE(HasHLW(*herren)); // class 1
    EXPECT_EQ(herren->Data.JahrgangVon, 1950);
    EXPECT_EQ(herren->Data.JahrgangBis, 1975);
    EXPECT_EQ(herren->Data.Disziplinenanzahl, 2);
    EXPECT_EQ(herren->Discipline(2).Bezeichnung.Get(), "50m Flossen"); // keeps its slot
    EXPECT_TRUE(herren->Discipline(1).IsEmpty());
    EXPECT_EQ(herren->Discipline(2).Berechnungsart, baLinear);
    EXPECT_EQ(herren->Discipline(2).V[0], 90000);
    EXPECT_EQ(herren->Discipline(2).V[1], 100);

    const TTeilnehmer* hans = Find(c, "Meier");
    ASSERT_NE(hans, nullptr);
    EXPECT_EQ(hans->Vorname(), "Hans");
    EXPECT_EQ(hans->Geburtsdatum(), "1970");
    EXPECT_EQ(hans->Gliederung.Get(), "NI");
    EXPECT_EQ(hans->Lauf[0], 2);
    EXPECT_EQ(hans->Bahn[2], 4);
    EXPECT_EQ(hans->Zeit[0], 6530);
    EXPECT_EQ(hans->Zeit[2], 4000);
    EXPECT_EQ(hans->Abzug[0], 1);
    EXPECT_EQ(hans->Abzug[1], -1);
    EXPECT_EQ(hans->Abzug[2], 0);
    EXPECT_EQ(hans->HLWPunkte, 4000);

    // The female entry in a male class is filed as male, without a message; an
    // unknown class is reported once.
    const TTeilnehmer* ute = Find(c, "Falsch");
    ASSERT_NE(ute, nullptr);
    EXPECT_EQ(ute->Altersklasse.Get(), "Herren");
    EXPECT_FALSE(ute->Has(tnWeiblich));
    EXPECT_NE(Find(c, "Schmidt"), nullptr);
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{
                  "Fremd, Udo (Altersklasse Junioren) konnte nicht eingefügt werden."_oem});
}

TEST(OldResultTpn, TitlesAndTeams) {
    const std::vector<std::tuple<int, int, std::string>> titles = {
        {0, 0, "Einzelmeisterschaften auf Ortsgruppenebene "},
        {1, 1, "Mannschaftsmeisterschaften auf Bezirksebene "},
        {2, 3, "Einzelwettkämpfe auf Bundesebene "_oem},
        {3, 2, "Mannschaftswettkämpfe auf Landesebene "_oem},
        {7, 9, "Einzelmeisterschaften auf "},
    };
    for (const auto& [k, l, t] : titles)
        EXPECT_EQ(TpnTitle(k, l), t) << k << "/" << l;

    TTpnPart team = TpnPart("SG Nord", "", "Herren", 0);
    team.born = "";
    TWettkampf c;
    ASSERT_TRUE(ReadBytes(TpnFile(3, 2, {team}), c));
    EXPECT_EQ(c.Header.Art, wkMannschaft);
    EXPECT_EQ(c.Header.Veranstaltung.Get(), "Mannschaftswettkämpfe auf Landesebene "_oem);
    const TTeilnehmer* t = Find(c, "SG Nord");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Mannschaft(), "SG Nord");
}

TEST(OldResultTpn, DamagedFilesFail) {
    const std::string good = TpnFile(0, 1, TpnParts());
    // A participant record cut short is a truncated file; so is anything shorter
    // than the age classes.
    for (std::size_t n :
         {std::size_t{0}, std::size_t{39}, std::size_t{7714}, good.size() - 1, good.size() - 183}) {
        TWettkampf c;
        TMessageCapture quiet;
        EXPECT_FALSE(ReadBytes(good.substr(0, n), c)) << n;
    }
    TWettkampf c;
    EXPECT_TRUE(ReadBytes(good.substr(0, 7715), c));
    EXPECT_EQ(c.Count(), 2);
}

// Damaged old files never touch the open document and never read out of bounds.
TEST(OldResultRobustness, MutatedFilesAndTheOpenDocument) {
    InstallImporters();
    std::mt19937 rng(1994);
    const std::vector<std::string> seeds = {SampleOld(true).Bytes(), SampleOld(false).Bytes(),
                                            TpnFile(3, 1, TpnParts()), TpnFile(0, 2, TpnParts())};
    for (const auto& seed : seeds) {
        for (int round = 0; round < 150; ++round) {
            std::string bytes = seed;
            const int flips = 1 + static_cast<int>(rng() % 8);
            for (int i = 0; i < flips; ++i)
                bytes[38 + rng() % (bytes.size() - 38)] = static_cast<char>(rng() % 256);
            if (rng() % 3 == 0) bytes.resize(38 + rng() % (bytes.size() - 38));
            TWettkampf c;
            TMessageCapture quiet;
            ReadBytes(bytes, c);
        }
    }

    vmtest::TempDir dir;
    const std::string path = dir.File("ALT.ERG");
    const std::string v15 = SampleOld(true).Bytes();
    vmtest::WriteFileBytes(path, v15.substr(0, v15.size() - 1));
    auto doc = NewCompetition();
    doc->Header.Veranstaltung.Set("offen");
    TMemoryStream before;
    WriteNative(before, *doc);
    TMessageCapture messages;
    EXPECT_FALSE(LoadInto(path, *doc, TLoadFormat::Ergebnis));
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Fehler beim Laden der Datei."});
    TMemoryStream after;
    WriteNative(after, *doc);
    EXPECT_EQ(before.Data(), after.Data());

    vmtest::WriteFileBytes(path, v15);
    EXPECT_TRUE(LoadInto(path, *doc, TLoadFormat::Ergebnis));
    EXPECT_EQ(doc->Header.Veranstaltung.Get(), "Bezirksmeisterschaften 1994");
}

// ---- velmora-cli on older files ----------------------------------------------------

TEST(OldResultCli, InfoAndSaveAs) {
    vmtest::TempDir dir;
    const std::string v15 = dir.File("ALT15.ERG");
    const std::string v10 = dir.File("ALT10.ERG");
    const std::string tpn = dir.File("TPN.ERG");
    vmtest::WriteFileBytes(v15, SampleOld(true).Bytes());
    vmtest::WriteFileBytes(v10, SampleOld(false).Bytes());
    vmtest::WriteFileBytes(tpn, TpnFile(1, 3, {TpnPart("SG Nord", "", "Herren", 0)}));

    auto r = vmtest::RunCli({"info", v15});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Veranstaltung: Bezirksmeisterschaften 1994\n"), std::string::npos);
    EXPECT_NE(r.out.find("Altersklasse AK 13/14w (1990 - 1991)\n"), std::string::npos);
    EXPECT_NE(r.out.find("Meier\tAnna"), std::string::npos) << r.out;

    r = vmtest::RunCli({"info", tpn});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Veranstaltung: Mannschaftsmeisterschaften auf Bundesebene \n"),
              std::string::npos);
    EXPECT_NE(r.out.find("SG Nord"), std::string::npos);

    // Saved in today's layout, the older file reads back the same.
    const std::string out = dir.File("NEU.ERG");
    r = vmtest::RunCli({"save-as", v10, out, "--type", "erg"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(vmtest::ReadFileBytes(out).substr(0, 38), std::string(SignatureV21));
    EXPECT_EQ(vmtest::RunCli({"info", out}).out, vmtest::RunCli({"info", v10}).out);
    EXPECT_EQ(vmtest::ReadFileBytes(v10), SampleOld(false).Bytes());

    const std::string cut = dir.File("KAPUTT.ERG");
    vmtest::WriteFileBytes(cut, TpnFile(0, 0, TpnParts()).substr(0, 7800));
    r = vmtest::RunCli({"info", cut});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Fehler beim Laden der Datei.\n" + cut + ": keine lesbare Ergebnisdatei\n");
}

} // namespace
} // namespace vm
