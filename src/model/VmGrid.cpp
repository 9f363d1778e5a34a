#include "model/VmGrid.h"

#include "model/VmBasis.h"

namespace vm {

std::vector<TGridColumn> GridColumns(const TWettkampf& c, const TAltersklasse& ac) {
    std::vector<TGridColumn> cols;
    auto add = [&cols](std::string key, int width) {
        std::string caption = FieldCaption(key);
        cols.push_back({std::move(key), std::move(caption), width});
    };
    add("PLATZ", 4);
    add("GESAMTPKT", 8);
    add("GLIEDERUNG", 6);
    if (IsSingleCompetition(c)) {
        add("JAHRGANG", 2);
        add("NAME", 20);
        add("VORNAME", 20);
    } else {
        add("MANNSCHAFT", 30);
    }
    for (int k = 1; k <= ac.Data.DisciplineCount(); ++k) {
        const std::string d = std::to_string(k);
        add("ZEIT" + d, 7);
        add("STRAFPKT" + d, 4);
        add("PUNKTE" + d, 8);
        add("LAUF" + d, 5);
        add("BAHN" + d, 5);
    }
    if (HasHLW(ac)) add("HLW", 8);
    return cols;
}

const char* CalculationMethodText(int method) {
    switch (method) {
    case baFormel:
        return "benutzerdefiniert (per Formel)";
    case baNeu:
        return "neue Berechnung (Meisterschaften 1999-xxxx)";
    case baLinear:
        return "lineare Berechnung (Meisterschaften 1988-1998)";
    default:
        return "?";
    }
}

std::string AgeClassPropertiesText(const TAltersklasse& ac) {
    std::string props = IsFemale(ac) ? "weiblich" : "männlich";
    if (HasHLW(ac)) props += ", mit HLW - Wertung";
    if (ac.Data.Has(akDirektQualifiziert)) props += ", direkt qualifiziert-Flag berücksichtigen";
    if (ac.Data.Has(akAlphabetisch)) props += ", alphabetisch sortieren";
    return props;
}

std::string DisciplineInfoText(const TDisziplin& d) {
    std::string s =
        OemToUtf8(d.Bezeichnung.Get()) + " | " + CalculationMethodText(d.Berechnungsart);
    if (d.Berechnungsart == baNeu) {
        s += " | Basiszeit " + TimeToText(d.V[0], true);
    } else {
        s += " |";
        for (int v = 0; v < 5; ++v)
            s += " V" + std::to_string(v + 1) + "=" +
                 PointsToText(d.V[static_cast<std::size_t>(v)], 2);
    }
    if (d.Berechnungsart == baFormel) s += " | Formel " + OemToUtf8(d.Formel.Get());
    s += " | " + OemToUtf8(d.Regelwerk.Get());
    return s;
}

} // namespace vm
