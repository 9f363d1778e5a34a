// An age class: its stored data record (2785 bytes), its participants in ranking or
// display order, and the ranking itself.
#pragma once

#include "base/BvBase.h"
#include "model/VmDisz.h"
#include "model/VmTeiln.h"

#include <array>
#include <memory>
#include <string>

namespace vm {

// Age-class properties (Eigenschaften).
enum : std::int16_t {
    akWeiblich = 1,
    akHLW = 2,
    akDirektQualifiziert = 4, // "direkt qualifiziert-Flag berücksichtigen"
    akAlphabetisch = 8,
};

// Stored layout of the age class's data record (2785 bytes; numbers little-endian):
//   offset size field
//        0   31 Bezeichnung          string[30]
//       31    2 JahrgangVon
//       33    2 JahrgangBis
//       35    2 Eigenschaften
//       37    2 Disziplinenanzahl
//       39 2210 Disziplinen[5]       442 bytes each (TDisziplin)
//     2249  450 Rekorde[5]           90 bytes each (TRekordEintrag)
//     2699    4 RekordGesamtpunkte   int32
//     2703    4 BestGesamtpunkte     int32
//     2707   78 reserved
struct TAltersklasseData : TStoredRecord<TAltersklasseData> {
    static constexpr std::size_t Size = 2785;

    TShortStr<30> Bezeichnung;
    std::int16_t JahrgangVon = 0;
    std::int16_t JahrgangBis = 0;
    std::int16_t Eigenschaften = 0;
    std::int16_t Disziplinenanzahl = 0;
    std::array<TDisziplin, 5> Disziplinen{};
    std::array<TRekordEintrag, 5> Rekorde{};
    std::int32_t RekordGesamtpunkte = 0;
    std::int32_t BestGesamtpunkte = 0;
    std::array<std::uint8_t, 78> reserved{};

    template <class Self, class IO> static void Fields(Self& d, IO& io) {
        io.Str(0, d.Bezeichnung).I16(31, d.JahrgangVon).I16(33, d.JahrgangBis);
        io.I16(35, d.Eigenschaften).I16(37, d.Disziplinenanzahl);
        io.Rec(39, d.Disziplinen).Rec(2249, d.Rekorde);
        io.I32(2699, d.RekordGesamtpunkte).I32(2703, d.BestGesamtpunkte).Raw(2707, d.reserved);
    }
    bool Has(std::int16_t flag) const { return (Eigenschaften & flag) != 0; }
    // The discipline count as used for loops: clamped to 0..5.
    int DisciplineCount() const {
        return Disziplinenanzahl < 0 ? 0 : Disziplinenanzahl > 5 ? 5 : Disziplinenanzahl;
    }
};

// An order of the participants of an age class. The ranking order (both switches off)
// puts the higher total first, equal totals by name, and among those without points
// the ones that did not start after the others.
struct TParticipantOrder {
    // Directly qualified participants before all others, each group in ranking order.
    bool directQualifiedFirst = false;
    // By name, equal names by total; takes precedence over the switch above.
    bool alphabetical = false;

    static constexpr TParticipantOrder Ranking() { return {}; }
    static constexpr TParticipantOrder DirectQualifiedFirst() { return {true, false}; }
    static constexpr TParticipantOrder Alphabetical() { return {false, true}; }
    bool operator==(const TParticipantOrder&) const = default;
};

// The order an age class with these properties shows its participants in.
TParticipantOrder DisplayOrder(const TAltersklasseData& data);
// The order of two participants (−1 puts a first); reads numbers and bytes only and
// cannot throw, so that a sort with it cannot stop half way.
int Compare(const TParticipantOrder& order, const TTeilnehmer& a, const TTeilnehmer& b) noexcept;

class TAltersklasse : public TSortedCollection<TTeilnehmer> {
public:
    TAltersklasse(int limit = 10, int delta = 10) : TSortedCollection<TTeilnehmer>(limit, delta) {
        Duplicates = true;
    }

    TAltersklasseData Data;

    std::string Name() const { return Data.Bezeichnung.Get(); }
    const TDisziplin& Discipline(int i) const {
        return Data.Disziplinen[static_cast<std::size_t>(i)];
    }

    // The display order of the participants (−1 puts a first).
    int Compare(const TTeilnehmer& a, const TTeilnehmer& b) const override;

    // Every re-ordering of the participants comes here: a stable sort into `order`,
    // which leaves the properties alone. Equal entries keep their relative order.
    void SortBy(const TParticipantOrder& order);
    // Back into the display order of the properties.
    void Sort() { SortBy(DisplayOrder(Data)); }

    // Recalculates the participant, inserts it at its place and ranks the class.
    bool InsertParticipant(std::unique_ptr<TTeilnehmer> p);
};

std::unique_ptr<TAltersklasse> NewAgeClass();
std::unique_ptr<TAltersklasse> CopyAgeClass(const TAltersklasse& source);
// Replaces the data record and recalculates the class.
void SetAgeClassData(TAltersklasse& ac, const TAltersklasseData& data);
std::string AgeClassTitle(const TAltersklasse& ac, bool withYears);
inline bool IsFemale(const TAltersklasse& ac) {
    return ac.Data.Has(akWeiblich);
}
inline bool HasHLW(const TAltersklasse& ac) {
    return ac.Data.Has(akHLW);
}
bool BelongsTo(const TAltersklasse& ac, const TTeilnehmer& p);

// Scoring and ranking.
void RecalcParticipant(const TAltersklasse& ac, TTeilnehmer& p);
void RecalcAgeClass(TAltersklasse& ac);
// Places by the ranking order, then back into the display order.
void RankAgeClass(TAltersklasse& ac);

// Row 0: the caption of the key; row r (1..count): the field text of the r-th entry.
std::string FieldCell(const TAltersklasse& ac, int row, std::string_view key, bool withHundredths);

} // namespace vm
