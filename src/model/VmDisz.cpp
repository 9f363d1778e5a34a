#include "model/VmDisz.h"

namespace vm {

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

} // namespace vm
