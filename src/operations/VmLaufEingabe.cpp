#include "operations/VmLaufEingabe.h"

#include "operations/VmPruefung.h"

#include <algorithm>

namespace vm {

namespace {

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

bool AllDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), IsDigit);
}

int DigitsValue(std::string_view s) {
    int v = 0;
    for (char ch : s)
        v = v * 10 + (ch - '0');
    return v;
}

// Minutes, seconds and hundredths to a time; false outside 0:00,00 .. 9:59,99.
bool Compose(int minutes, int seconds, int hundredths, TZeit& time) {
    if (minutes > 9 || seconds > 59) return false;
    time = minutes * 6000 + seconds * 100 + hundredths;
    return true;
}

} // namespace

bool ParseTimeEntry(std::string_view text, bool withHundredths, TZeit& time) {
    text = TrimBlanks(text);
    if (text.empty()) {
        time = 0;
        return true;
    }
    const std::size_t colon = text.find(':');
    const std::size_t comma = text.find_first_of(",.");
    if (colon == std::string_view::npos && comma == std::string_view::npos) {
        // Stopwatch style: the digits fill m:ss,hh (or m:ss,t) from the right.
        const std::size_t places = withHundredths ? 5 : 4;
        if (!AllDigits(text) || text.size() > places) return false;
        const std::string digits = std::string(places - text.size(), '0') + std::string(text);
        const std::string_view d = digits;
        const int fraction = withHundredths ? DigitsValue(d.substr(3, 2)) : 10 * (d[3] - '0');
        return Compose(d[0] - '0', DigitsValue(d.substr(1, 2)), fraction, time);
    }
    if (colon != std::string_view::npos && comma != std::string_view::npos && comma < colon)
        return false;
    const std::string_view minutesPart =
        colon == std::string_view::npos ? std::string_view{} : text.substr(0, colon);
    const std::size_t secondsFrom = colon == std::string_view::npos ? 0 : colon + 1;
    const std::string_view secondsPart =
        text.substr(secondsFrom,
                    comma == std::string_view::npos ? std::string_view::npos : comma - secondsFrom);
    const std::string_view fractionPart =
        comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    if (!AllDigits(minutesPart) || !AllDigits(secondsPart) || !AllDigits(fractionPart))
        return false;
    if (minutesPart.empty() && secondsPart.empty() && fractionPart.empty()) return false;
    if (fractionPart.size() > (withHundredths ? 2u : 1u)) return false;
    int fraction = DigitsValue(fractionPart);
    if (fractionPart.size() == 1) fraction *= 10;
    if (colon != std::string_view::npos) {
        if (minutesPart.size() > 1 || secondsPart.size() > 2) return false;
        return Compose(DigitsValue(minutesPart), DigitsValue(secondsPart), fraction, time);
    }
    // Seconds before the comma; a third digit in front of them is the minute.
    if (secondsPart.size() > 3) return false;
    const int whole = DigitsValue(secondsPart);
    return Compose(whole / 100, whole % 100, fraction, time);
}

bool ParsePenaltyEntry(std::string_view text, TAbzug& penalty) {
    text = TrimBlanks(text);
    if (text.empty()) {
        penalty = 0;
        return true;
    }
    const std::string upper = UpperText(text);
    struct TMark {
        const char* text;
        TStatus code;
    };
    static const TMark marks[] = {{"D", TStatus::Disq},
                                  {"A", TStatus::NichtAngetreten},
                                  {"E", TStatus::NichtErreicht},
                                  {"DISQ.", TStatus::Disq},
                                  {"N.A.", TStatus::NichtAngetreten},
                                  {"N.ER.", TStatus::NichtErreicht}};
    for (const TMark& m : marks) {
        if (upper == m.text) {
            penalty = PenaltyCode(m.code);
            return true;
        }
    }
    std::string_view digits = text;
    const bool negative = digits.front() == '-';
    if (negative || digits.front() == '+') digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 4 || !AllDigits(digits)) return false;
    const int v = negative ? -DigitsValue(digits) : DigitsValue(digits);
    if (v < PenaltyCode(TStatus::NichtErreicht)) return false;
    penalty = static_cast<TAbzug>(v);
    return true;
}

std::vector<TLaufPlatz> HeatRows(const TWettkampf& c, int heat, int discipline) {
    std::vector<TLaufPlatz> rows;
    if (discipline < 1 || discipline > 5) return rows;
    const auto k = static_cast<std::size_t>(discipline - 1);
    std::vector<TLaufPlatz> in;
    for (int a = 0; a < c.Count(); ++a) {
        TAltersklasse* ac = c.At(a);
        if (heat == 0 && ac->Data.DisciplineCount() < discipline) continue;
        for (int i = 0; i < ac->Count(); ++i) {
            TTeilnehmer* p = ac->At(i);
            if (p->Lauf[k] == heat) in.push_back({p->Bahn[k], ac, p});
        }
    }
    auto byLane = [](const TLaufPlatz& x, const TLaufPlatz& y) {
        if (x.lane != y.lane) return x.lane < y.lane;
        return CompareBytes(x.participant->NameKey(), y.participant->NameKey()) < 0;
    };
    if (heat == 0) {
        std::stable_sort(in.begin(), in.end(), byLane);
        return in;
    }
    const int lanes = LaneCount(c);
    std::vector<TLaufPlatz> outside;
    for (const TLaufPlatz& r : in)
        if (r.lane < 1 || r.lane > lanes) outside.push_back(r);
    for (int lane = 1; lane <= lanes; ++lane) {
        const std::size_t before = rows.size();
        for (const TLaufPlatz& r : in)
            if (r.lane == lane) rows.push_back(r);
        if (rows.size() == before) rows.push_back({lane, nullptr, nullptr});
    }
    std::stable_sort(outside.begin(), outside.end(), byLane);
    rows.insert(rows.end(), outside.begin(), outside.end());
    return rows;
}

std::map<int, TLaufStand> HeatProgress(const TWettkampf& c, int discipline) {
    std::map<int, TLaufStand> progress;
    if (discipline < 1 || discipline > 5) return progress;
    const auto k = static_cast<std::size_t>(discipline - 1);
    for (const TAltersklasse& ac : c) {
        const bool hasDiscipline = ac.Data.DisciplineCount() >= discipline;
        for (const TTeilnehmer& p : ac) {
            const int heat = p.Lauf[k];
            if (heat == 0 && !hasDiscipline) continue;
            TLaufStand& s = progress[heat];
            ++s.participants;
            if (LacksResult(p, discipline)) ++s.missing;
        }
    }
    return progress;
}

bool ApplyHeatResults(const std::vector<TLaufErgebnis>& results) {
    std::vector<TAltersklasse*> touched;
    for (const TLaufErgebnis& r : results) {
        if (!r.ageClass || !r.participant || r.discipline < 1 || r.discipline > 5) continue;
        const auto k = static_cast<std::size_t>(r.discipline - 1);
        TTeilnehmer& p = *r.participant;
        if (p.Zeit[k] == r.time && p.Abzug[k] == r.penalty) continue;
        p.Zeit[k] = r.time;
        p.Abzug[k] = r.penalty;
        RecalcParticipant(*r.ageClass, p);
        if (std::find(touched.begin(), touched.end(), r.ageClass) == touched.end())
            touched.push_back(r.ageClass);
    }
    for (TAltersklasse* ac : touched)
        RankAgeClass(*ac);
    return !touched.empty();
}

} // namespace vm
