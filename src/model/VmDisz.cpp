#include "model/VmDisz.h"

namespace vm {

void TDisziplin::Read(const std::uint8_t* p) {
    Bezeichnung.Read(p + 0);
    Berechnungsart = GetI16(p + 81);
    for (int i = 0; i < 5; ++i)
        V[static_cast<std::size_t>(i)] = GetI32(p + 83 + 4 * i);
    Formel.Read(p + 103);
    RegelwerkCode = GetI16(p + 359);
    Regelwerk.Read(p + 361);
}

void TDisziplin::Write(std::uint8_t* p) const {
    Bezeichnung.Write(p + 0);
    PutI16(p + 81, Berechnungsart);
    for (int i = 0; i < 5; ++i)
        PutI32(p + 83 + 4 * i, V[static_cast<std::size_t>(i)]);
    Formel.Write(p + 103);
    PutI16(p + 359, RegelwerkCode);
    Regelwerk.Write(p + 361);
}

bool TDisziplin::IsEmpty() const {
    std::array<std::uint8_t, Size> bytes{};
    Write(bytes.data());
    for (auto b : bytes)
        if (b) return false;
    return true;
}

bool SameDiscipline(const TDisziplin& a, const TDisziplin& b) {
    return a.Berechnungsart == b.Berechnungsart && a.Bezeichnung.View() == b.Bezeichnung.View();
}

std::string RuleText(int code) {
    static const char* const kYears[] = {"1988", "1992", "1995", "1999", "200x"};
    if (code < 2 || code > 11) return "";
    std::string text = std::string("Regelwerk ") + kYears[(code - 2) / 2];
    if (code % 2 == 1) text = "Meisterschaftsdisziplin " + text;
    return text;
}

void TRekordEintrag::Read(const std::uint8_t* p) {
    VorjahrZeit = GetI32(p + 0);
    VorjahrAbzug = GetI16(p + 4);
    BestZeit = GetI32(p + 6);
    BestAbzug = GetI16(p + 10);
    std::memcpy(reserved.data(), p + 12, reserved.size());
}

void TRekordEintrag::Write(std::uint8_t* p) const {
    PutI32(p + 0, VorjahrZeit);
    PutI16(p + 4, VorjahrAbzug);
    PutI32(p + 6, BestZeit);
    PutI16(p + 10, BestAbzug);
    std::memcpy(p + 12, reserved.data(), reserved.size());
}

} // namespace vm
