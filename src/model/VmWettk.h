// The competition document: header record (701 bytes), age classes in their order,
// the Gliederung statistics list and the organisation list.
#pragma once

#include "base/BvBase.h"
#include "model/VmAk.h"
#include "model/VmGlied.h"
#include "model/VmOrgan.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vm {

enum : std::int16_t {
    wkEinzel = 0,
    wkMannschaft = 1,
};

// Stored layout of the header record (701 bytes; numbers little-endian):
//   offset size field
//        0   81 Veranstaltung          string[80]
//       81    2 Art
//       83   81 Veranstalter           string[80]
//      164   81 Ausrichter             string[80]
//      245   81 Datum                  string[80]
//      326   81 Veranstaltungsstaette  string[80]
//      407    2 Startplaetze
//      409    2 Beckenlaenge
//      411    2 HLWStationen
//      413   81 reserved1
//      494    2 Optionen
//      496    2 HLWDauer
//      498    2 HLWMassnahmen
//      500  201 reserved2
struct TWettkampfHeader : TStoredRecord<TWettkampfHeader> {
    static constexpr std::size_t Size = 701;

    TShortStr<80> Veranstaltung;
    std::int16_t Art = wkEinzel;
    TShortStr<80> Veranstalter;
    TShortStr<80> Ausrichter;
    TShortStr<80> Datum;
    TShortStr<80> Veranstaltungsstaette;
    std::int16_t Startplaetze = 2; // 0..7 stand for 3..10 lanes
    std::int16_t Beckenlaenge = 0; // 0 = 25 m, 1 = 50 m
    std::int16_t HLWStationen = 2; // 0..7 stand for 3..10 stations
    std::array<std::uint8_t, 81> reserved1{};
    std::int16_t Optionen = 0;      // bit 0: times with hundredths
    std::int16_t HLWDauer = 0;      // minutes per HLW pass
    std::int16_t HLWMassnahmen = 0; // HLW measures per participant or team
    std::array<std::uint8_t, 201> reserved2{};

    template <class Self, class IO> static void Fields(Self& h, IO& io) {
        io.Str(0, h.Veranstaltung).I16(81, h.Art).Str(83, h.Veranstalter).Str(164, h.Ausrichter);
        io.Str(245, h.Datum).Str(326, h.Veranstaltungsstaette);
        io.I16(407, h.Startplaetze).I16(409, h.Beckenlaenge).I16(411, h.HLWStationen);
        io.Raw(413, h.reserved1).I16(494, h.Optionen).I16(496, h.HLWDauer);
        io.I16(498, h.HLWMassnahmen).Raw(500, h.reserved2);
    }
};

class TWettkampf : public TSortedCollection<TAltersklasse> {
public:
    TWettkampf() : TSortedCollection<TAltersklasse>(10, 10) { Duplicates = false; }

    TWettkampfHeader Header;
    TGliederungStatList Gliederungen;
    TOrganList Organisation;

    // Youngest classes first, then female before male, then the name.
    int Compare(const TAltersklasse& a, const TAltersklasse& b) const override;

    // Inserts in the order above; an equal age class is refused with its message.
    bool InsertAgeClass(std::unique_ptr<TAltersklasse> ac);
    TAltersklasse* FindAgeClass(std::string_view name, bool female) const;
};

std::unique_ptr<TWettkampf> NewCompetition();
std::unique_ptr<TWettkampf> CopyCompetition(const TWettkampf& source);
inline bool IsSingleCompetition(const TWettkampf& c) {
    return c.Header.Art == wkEinzel;
}
inline bool WithHundredths(const TWettkampf& c) {
    return (c.Header.Optionen & 1) != 0;
}
void ShiftYears(TWettkampf& c, int delta);
// The year of birth of a participant as a four-digit year, or -1 without one: a date
// that ends in four digits gives them; two digits are put into the century where an
// age class of the participant's sex has them in its range (the latest such century
// wins). The automatic age class of AddParticipant reads it so.
int FullBirthYear(const TWettkampf& c, const TTeilnehmer& p);
// Files a participant made outside the competition into its age class.
bool AddParticipant(TWettkampf& c, std::unique_ptr<TTeilnehmer> p);
// Number of lanes (3..10) and HLW stations (3..10) from the stored indices.
int LaneCount(const TWettkampf& c);
int StationCount(const TWettkampf& c);

} // namespace vm
