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

struct TTeilnehmer {
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

    void Read(const std::uint8_t* p);
    void Write(std::uint8_t* p) const;

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
