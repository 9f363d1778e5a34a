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

struct TDisziplin {
    static constexpr std::size_t Size = 442;

    TShortStr<80> Bezeichnung;
    std::int16_t Berechnungsart = 0;
    std::array<std::int32_t, 5> V{}; // value x 100
    TShortStr<255> Formel;
    std::int16_t RegelwerkCode = 0;
    TShortStr<80> Regelwerk;

    void Read(const std::uint8_t* p);
    void Write(std::uint8_t* p) const;
    bool IsEmpty() const;
};

// Same discipline: equal scoring methods and names equal byte for byte.
bool SameDiscipline(const TDisziplin& a, const TDisziplin& b);

// "Regelwerk 1988" .. "Meisterschaftsdisziplin Regelwerk 200x"; empty for other codes.
std::string RuleText(int code);

// Previous years' record and this competition's best of one discipline (90 bytes).
struct TRekordEintrag {
    static constexpr std::size_t Size = 90;

    std::int32_t VorjahrZeit = 0;
    std::int16_t VorjahrAbzug = 0;
    std::int32_t BestZeit = 0;
    std::int16_t BestAbzug = 0;
    std::array<std::uint8_t, 78> reserved{};

    void Read(const std::uint8_t* p);
    void Write(std::uint8_t* p) const;
};

} // namespace vm
