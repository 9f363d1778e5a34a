// A discipline of an age class (442 stored bytes), its record entry (90 bytes) and
// the rule texts of the rule codes.
#pragma once

#include "model/VmBasis.h"
#include "model/VmBytes.h"

#include <array>
#include <cstdint>
#include <string>

namespace vm {

// Scoring methods.
enum : std::int16_t {
    baFormel = 0, // "benutzerdefiniert (per Formel)"
    baNeu = 1,    // "neue Berechnung (Meisterschaften 1999-xxxx)"
    baLinear = 2, // "lineare Berechnung (Meisterschaften 1988-1998)"
};

// Stored layout (442 bytes; numbers little-endian):
//   offset size field
//        0   81 Bezeichnung     string[80]
//       81    2 Berechnungsart
//       83   20 V[5]            int32 each
//      103  256 Formel          string[255]
//      359    2 RegelwerkCode
//      361   81 Regelwerk       string[80]
struct TDisziplin : TStoredRecord<TDisziplin> {
    static constexpr std::size_t Size = 442;

    TShortStr<80> Bezeichnung;
    std::int16_t Berechnungsart = 0;
    std::array<std::int32_t, 5> V{}; // value x 100
    TShortStr<255> Formel;
    std::int16_t RegelwerkCode = 0;
    TShortStr<80> Regelwerk;

    template <class Self, class IO> static void Fields(Self& d, IO& io) {
        io.Str(0, d.Bezeichnung).I16(81, d.Berechnungsart).I32(83, d.V);
        io.Str(103, d.Formel).I16(359, d.RegelwerkCode).Str(361, d.Regelwerk);
    }
    bool IsEmpty() const;
};

// Same discipline: equal scoring methods and names equal byte for byte.
bool SameDiscipline(const TDisziplin& a, const TDisziplin& b);

// "Regelwerk 1988" .. "Meisterschaftsdisziplin Regelwerk 200x"; empty for other codes.
std::string RuleText(int code);

// Previous years' record and this competition's best of one discipline.
// Stored layout (90 bytes; numbers little-endian):
//   offset size field
//        0    4 VorjahrZeit     int32
//        4    2 VorjahrAbzug
//        6    4 BestZeit        int32
//       10    2 BestAbzug
//       12   78 reserved
struct TRekordEintrag : TStoredRecord<TRekordEintrag> {
    static constexpr std::size_t Size = 90;

    std::int32_t VorjahrZeit = 0;
    std::int16_t VorjahrAbzug = 0;
    std::int32_t BestZeit = 0;
    std::int16_t BestAbzug = 0;
    std::array<std::uint8_t, 78> reserved{};

    template <class Self, class IO> static void Fields(Self& r, IO& io) {
        io.I32(0, r.VorjahrZeit).I16(4, r.VorjahrAbzug).I32(6, r.BestZeit).I16(10, r.BestAbzug);
        io.Raw(12, r.reserved);
    }
};

} // namespace vm
