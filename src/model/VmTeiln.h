// A participant or a team (180 stored bytes) and the operations on one entry.
#pragma once

#include "model/VmBasis.h"
#include "model/VmBytes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vm {

// Participant flags (Eigenschaften).
enum : std::int16_t {
    tnWeiblich = 1,
    tnAusserKonkurrenz = 2,
    tnDirektQualifiziert = 4,
    tnMeldet = 8,
    tnStartberechtigt = 16,
};

// Options of MatchParticipant (the find dialog's flags).
enum : int {
    mpWholeField = 2,
    mpCaseSensitive = 4,
    mpIndividualFields = 8,
};

// Stored layout (180 bytes; numbers little-endian):
//   offset size field
//        0   53 head: Name, Vorname, Geburtsdatum or Mannschaft, Zusatz (below)
//       53    6 Gliederung     string[5]
//       59   31 Altersklasse   string[30]
//       90    2 Eigenschaften
//       92   20 Zeit[5]        int32 each
//      112   10 Abzug[5]
//      122   10 Lauf[5]
//      132   10 Bahn[5]
//      142    4 HLWPunkte      int32
//      146    2 Startzeit
//      148    2 HLWBahn
//      150    2 HLWLauf
//      152    2 reserved
//      154   20 Punkte[5]      int32 each
//      174    4 Gesamtpunkte   int32
//      178    2 Platz
struct TTeilnehmer : TStoredRecord<TTeilnehmer> {
    static constexpr std::size_t Size = 180;
    static constexpr std::size_t HeadSize = 53;

    // The first 53 bytes are laid out by the competition's kind: Name string[20],
    // Vorname string[20], Geburtsdatum string[10] for individuals; Mannschaft
    // string[30] and Zusatz string[21] for teams. Both views read the same bytes.
    std::array<std::uint8_t, HeadSize> head{};
    TShortStr<5> Gliederung;
    TShortStr<30> Altersklasse;
    std::int16_t Eigenschaften = tnMeldet;
    std::array<std::int32_t, 5> Zeit{};
    std::array<std::int16_t, 5> Abzug{};
    std::array<std::int16_t, 5> Lauf{};
    std::array<std::int16_t, 5> Bahn{};
    std::int32_t HLWPunkte = 0;
    std::int16_t Startzeit = 0;
    std::int16_t HLWBahn = 0;
    std::int16_t HLWLauf = 0;
    std::int16_t reserved = 0;
    std::array<std::int32_t, 5> Punkte{};
    std::int32_t Gesamtpunkte = 0;
    std::int16_t Platz = 0;

    // Run-time selection mark of the list views; never stored.
    std::uint8_t Selected = 0;

    template <class Self, class IO> static void Fields(Self& t, IO& io) {
        io.Raw(0, t.head).Str(53, t.Gliederung).Str(59, t.Altersklasse).I16(90, t.Eigenschaften);
        io.I32(92, t.Zeit).I16(112, t.Abzug).I16(122, t.Lauf).I16(132, t.Bahn);
        io.I32(142, t.HLWPunkte).I16(146, t.Startzeit).I16(148, t.HLWBahn).I16(150, t.HLWLauf);
        io.I16(152, t.reserved).I32(154, t.Punkte).I32(174, t.Gesamtpunkte).I16(178, t.Platz);
    }

    std::string_view Name() const { return ShortStrAt(head.data(), 0, 20); }
    std::string_view Vorname() const { return ShortStrAt(head.data(), 21, 20); }
    std::string_view Geburtsdatum() const { return ShortStrAt(head.data(), 42, 10); }
    std::string_view Mannschaft() const { return ShortStrAt(head.data(), 0, 30); }
    std::string_view Zusatz() const { return ShortStrAt(head.data(), 31, 21); }
    // The name field as it is compared and sorted: Name or Mannschaft.
    std::string_view NameKey() const { return ShortStrAt(head.data(), 0, 30); }

    void SetName(std::string_view s) { SetShortStrAt(head.data(), 0, 20, s); }
    void SetVorname(std::string_view s) { SetShortStrAt(head.data(), 21, 20, s); }
    void SetGeburtsdatum(std::string_view s) { SetShortStrAt(head.data(), 42, 10, s); }
    void SetMannschaft(std::string_view s) { SetShortStrAt(head.data(), 0, 30, s); }
    void SetZusatz(std::string_view s) { SetShortStrAt(head.data(), 31, 21, s); }

    bool Has(std::int16_t flag) const { return (Eigenschaften & flag) != 0; }
    void SetFlag(std::int16_t flag, bool on) {
        Eigenschaften =
            static_cast<std::int16_t>(on ? (Eigenschaften | flag) : (Eigenschaften & ~flag));
    }
};

std::unique_ptr<TTeilnehmer> NewParticipant();
std::unique_ptr<TTeilnehmer> CopyParticipant(const TTeilnehmer& source);

std::string ParticipantDisplayName(const TTeilnehmer& p, bool firstNameFirst);
int BirthYear(const TTeilnehmer& p);
inline bool IsFemaleParticipant(const TTeilnehmer& p) {
    return p.Has(tnWeiblich);
}
bool HasNoStart(const TTeilnehmer& p);
bool HasNoTimes(const TTeilnehmer& p);
bool IsPresent(const TTeilnehmer& p);
void MarkAbsent(TTeilnehmer& p);
bool MatchParticipant(const TTeilnehmer& p, std::string_view text, int options);

// The text of one field ("PLATZ", "GESAMTPKT", …, "ZEIT1" … "BAHN5", "HLW").
std::string FieldText(const TTeilnehmer& p, std::string_view key, bool withHundredths);
// The column caption of a field key ("Pl.", "GesPkt", …); empty for unknown keys.
std::string FieldCaption(std::string_view key);

} // namespace vm
