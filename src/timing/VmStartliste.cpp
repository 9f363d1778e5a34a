#include "timing/VmStartliste.h"

#include "base/BvBase.h"
#include "file/VmErg.h"
#include "operations/VmPruefung.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <tuple>

namespace vm {

namespace {

// A value with the separator, a quote or a line break goes in quotes, a quote doubled.
std::string Field(std::string_view oem) {
    const std::string v = OemToUtf8(TrimBlanks(oem));
    if (v.find_first_of(";\"\r\n") == std::string::npos) return v;
    std::string q = "\"";
    for (char ch : v) {
        if (ch == '"') q += '"';
        q += ch;
    }
    return q + "\"";
}

} // namespace

TStartliste StartListText(const TWettkampf& c, int discipline) {
    TStartliste list;
    list.text = "\xEF\xBB\xBF";
    const bool single = IsSingleCompetition(c);
    list.text += single ? "Lauf;Bahn;Name;Vorname;Gliederung;Altersklasse\r\n"
                        : "Lauf;Bahn;Mannschaft;Gliederung;Altersklasse\r\n";
    if (discipline < 1 || discipline > 5) return list;
    const auto k = static_cast<std::size_t>(discipline - 1);
    struct TLine {
        int heat, lane;
        const TAltersklasse* ac;
        const TTeilnehmer* p;
    };
    std::vector<TLine> lines;
    for (const TAltersklasse& ac : c)
        for (const TTeilnehmer& p : ac)
            if (p.Lauf[k] > 0) lines.push_back({p.Lauf[k], p.Bahn[k], &ac, &p});
    std::stable_sort(lines.begin(), lines.end(), [](const TLine& a, const TLine& b) {
        if (a.heat != b.heat) return a.heat < b.heat;
        if (a.lane != b.lane) return a.lane < b.lane;
        return CompareBytes(a.p->NameKey(), b.p->NameKey()) < 0;
    });
    std::set<int> heats;
    for (const TLine& l : lines) {
        list.text += IntToText(l.heat) + ";" + IntToText(l.lane) + ";";
        if (single)
            list.text += Field(l.p->Name()) + ";" + Field(l.p->Vorname()) + ";";
        else
            list.text += Field(l.p->Mannschaft()) + ";";
        list.text +=
            Field(l.p->Gliederung.View()) + ";" + Field(l.ac->Data.Bezeichnung.View()) + "\r\n";
        heats.insert(l.heat);
    }
    list.entries = static_cast<int>(lines.size());
    list.heats = static_cast<int>(heats.size());
    return list;
}

bool WriteStartList(const std::string& fileName, const TWettkampf& c, int discipline,
                    TStartliste& list, std::string& error) {
    error.clear();
    if (IsResultFile(fileName)) {
        error = fileName + ": eine Ergebnisdatei wird nicht mit einer Startliste überschrieben.";
        return false;
    }
    list = StartListText(c, discipline);
    ResetSystemError();
    const bool ok = WriteFileSafely(
        fileName,
        [&](TStream& s) {
            s.WriteText(list.text);
            return !s.WriteFailed();
        },
        false);
    if (!ok) {
        const int e = LastSystemError();
        error = fileName + ": " + (e != 0 ? std::string(std::strerror(e)) : "nicht geschrieben");
    }
    return ok;
}

} // namespace vm
