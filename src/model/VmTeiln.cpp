#include "model/VmTeiln.h"

namespace vm {

std::unique_ptr<TTeilnehmer> NewParticipant() {
    auto p = std::make_unique<TTeilnehmer>();
    p->Eigenschaften = tnMeldet;
    return p;
}

std::unique_ptr<TTeilnehmer> CopyParticipant(const TTeilnehmer& source) {
    auto p = std::make_unique<TTeilnehmer>(source);
    p->Selected = 0;
    return p;
}

std::string ParticipantDisplayName(const TTeilnehmer& p, bool firstNameFirst) {
    if (firstNameFirst) return std::string(p.Vorname()) + " " + std::string(p.Name());
    return std::string(p.Name());
}

int BirthYear(const TTeilnehmer& p) {
    std::string_view d = p.Geburtsdatum();
    if (d.size() < 2) return static_cast<int>(TextToInt(d));
    return static_cast<int>(TextToInt(d.substr(d.size() - 2)));
}

namespace {
bool HlwNoStart(std::int32_t h) {
    return h == 0 || IsHlwNotStarted(h);
}
} // namespace

bool HasNoStart(const TTeilnehmer& p) {
    for (auto a : p.Abzug)
        if (!IsNotStarted(a)) return false;
    return HlwNoStart(p.HLWPunkte) && p.Gesamtpunkte == 0;
}

bool HasNoTimes(const TTeilnehmer& p) {
    for (auto t : p.Zeit)
        if (t != 0) return false;
    return HlwNoStart(p.HLWPunkte) && p.Gesamtpunkte == 0;
}

bool IsPresent(const TTeilnehmer& p) {
    for (auto a : p.Abzug)
        if (IsNotStarted(a)) return false;
    return !IsHlwNotStarted(p.HLWPunkte);
}

void MarkAbsent(TTeilnehmer& p) {
    for (auto& a : p.Abzug)
        a = PenaltyCode(TStatus::NichtAngetreten);
    p.HLWPunkte = HlwCode(TStatus::NichtAngetreten);
}

bool MatchParticipant(const TTeilnehmer& p, std::string_view text, int options) {
    const bool whole = (options & mpWholeField) != 0;
    const bool caseSensitive = (options & mpCaseSensitive) != 0;
    std::string needle = caseSensitive ? std::string(text) : UpperText(text);
    auto matches = [&](std::string_view field) {
        std::string hay = caseSensitive ? std::string(field) : UpperText(field);
        return whole ? hay == needle : hay.find(needle) != std::string::npos;
    };
    if (options & mpIndividualFields) {
        if (matches(p.Vorname()) || matches(p.Name())) return true;
    } else {
        if (matches(p.Mannschaft()) || matches(p.Zusatz())) return true;
    }
    return matches(p.Gliederung.View());
}

namespace {
// "ZEIT3" -> 3 for the given prefix; 0 when the key is not prefix + 1..5.
int SlotOf(std::string_view key, std::string_view prefix) {
    if (key.size() != prefix.size() + 1 || key.substr(0, prefix.size()) != prefix) return 0;
    char d = key.back();
    return (d >= '1' && d <= '5') ? d - '0' : 0;
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

std::string FieldText(const TTeilnehmer& p, std::string_view key, bool withHundredths) {
    if (key == "PLATZ") {
        if (p.Gesamtpunkte <= 0) return "";
        if (p.Has(tnAusserKonkurrenz)) return "AK";
        return IntToText(p.Platz) + ".";
    }
    if (key == "GESAMTPKT") return PointsToText(p.Gesamtpunkte, 2);
    if (key == "GLIEDERUNG") return p.Gliederung.Get();
    if (key == "JAHRGANG") {
        std::string_view d = p.Geburtsdatum();
        if (d.size() < 2) return "";
        std::string_view yy = d.substr(d.size() - 2);
        if (!IsDigit(yy[0]) || !IsDigit(yy[1])) return "";
        return std::string(yy);
    }
    if (key == "NAME") return std::string(p.NameKey());
    if (key == "VORNAME") return std::string(p.Vorname());
    if (key == "MANNSCHAFT") return std::string(p.Mannschaft());
    if (key == "HLW") return PointsOrStatusToText(p.HLWPunkte, 2);
    if (int i = SlotOf(key, "ZEIT"))
        return TimeToText(p.Zeit[static_cast<std::size_t>(i - 1)], withHundredths);
    if (int i = SlotOf(key, "STRAFPKT"))
        return PenaltyToText(p.Abzug[static_cast<std::size_t>(i - 1)]);
    if (int i = SlotOf(key, "PUNKTE")) {
        auto k = static_cast<std::size_t>(i - 1);
        return PointsToText(p.Abzug[k] < 0 ? 0 : p.Punkte[k], 2);
    }
    if (int i = SlotOf(key, "LAUF")) return IntToText(p.Lauf[static_cast<std::size_t>(i - 1)]);
    if (int i = SlotOf(key, "BAHN")) return IntToText(p.Bahn[static_cast<std::size_t>(i - 1)]);
    return "";
}

std::string FieldCaption(std::string_view key) {
    if (key == "PLATZ") return "Pl.";
    if (key == "GESAMTPKT") return "GesPkt";
    if (key == "GLIEDERUNG") return "Glied.";
    if (key == "JAHRGANG") return "Jg";
    if (key == "NAME") return "Name";
    if (key == "VORNAME") return "Vorname";
    if (key == "MANNSCHAFT") return "Mannschaft";
    if (key == "HLW") return "HLW";
    static const std::pair<const char*, const char*> kSlots[] = {{"ZEIT", "Zeit"},
                                                                 {"STRAFPKT", "Abz"},
                                                                 {"PUNKTE", "Pkt"},
                                                                 {"LAUF", "Lauf"},
                                                                 {"BAHN", "Bahn"}};
    for (auto& [prefix, caption] : kSlots)
        if (int i = SlotOf(key, prefix)) return std::string(caption) + static_cast<char>('0' + i);
    return "";
}

} // namespace vm
